#pragma once
// Sums of sizes are exact up to 2^63 - 1 and stay there: a sum of sums stops
// at the same place whatever the order, so the parts of a run add up exactly.
#include <cstdint>

namespace pomurina {

inline constexpr std::int64_t kMaxByteSum = 0x7FFFFFFFFFFFFFFF;

inline std::int64_t AddBytes(std::int64_t sum, std::int64_t size) {
    return size > kMaxByteSum - sum ? kMaxByteSum : sum + size;
}

}  // namespace pomurina
