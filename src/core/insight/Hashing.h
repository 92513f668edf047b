#pragma once
// The hashes of the insight's tables: of byte strings (hosts, paths, agents)
// and of 64-bit keys (two numbers side by side).  Fast rather than hard to
// attack: the tables grow by doubling and probe linearly, so a bad spread
// costs time but never changes a count.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

#include "text/SameBytes.h"

namespace pomurina {

// A 64-bit key mixed so that every bit of it moves the low bits.
inline std::uint64_t MixKey(std::uint64_t key) {
    key ^= key >> 32;
    key *= 0xD6E8FEB86659FD93ull;
    key ^= key >> 32;
    key *= 0xD6E8FEB86659FD93ull;
    key ^= key >> 32;
    return key;
}

// The hash of a byte string: two lanes of eight bytes at a time.
inline std::uint64_t HashBytes(std::string_view text) {
    constexpr std::uint64_t kOdd1 = 0x9E3779B97F4A7C15ull, kOdd2 = 0xC2B2AE3D27D4EB4Full;
    const char* p = text.data();
    std::size_t left = text.size();
    std::uint64_t a = kOdd1 ^ left, b = kOdd2;
    const auto step = [](std::uint64_t h, std::uint64_t word) {
        h ^= word * kOdd2;
        return ((h << 31) | (h >> 33)) * kOdd1;
    };
    while (left >= 16) {
        std::uint64_t w1, w2;
        std::memcpy(&w1, p, 8);
        std::memcpy(&w2, p + 8, 8);
        a = step(a, w1);
        b = step(b, w2);
        p += 16;
        left -= 16;
    }
    // The last 1 to 15 bytes in at most two loads (overlapping ones when 9 to 15).
    std::uint64_t first = 0, last = 0;
    if (left >= 8) {
        std::memcpy(&first, p, 8);
        std::memcpy(&last, p + left - 8, 8);
    } else if (left >= 4) {
        std::uint32_t low, high;
        std::memcpy(&low, p, 4);
        std::memcpy(&high, p + left - 4, 4);
        first = low;
        last = high;
    } else if (left > 0) {
        first = static_cast<unsigned char>(p[0]) |
                std::uint64_t{static_cast<unsigned char>(p[left / 2])} << 8 |
                std::uint64_t{static_cast<unsigned char>(p[left - 1])} << 16;
    }
    a = step(a, first);
    b = step(b, last ^ left);
    return MixKey(a ^ (b * kOdd1));
}

// The size of a table of slots (a power of two, at least 16) that holds
// count keys at most half full.
inline std::size_t SlotsFor(std::size_t count) {
    std::size_t size = 16;
    while (size < count * 2) size *= 2;
    return size;
}

// Two 32-bit numbers as one key.
inline std::uint64_t PairKey(std::uint32_t first, std::uint32_t second) {
    return std::uint64_t{first} << 32 | second;
}

}  // namespace pomurina
