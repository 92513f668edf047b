#pragma once
// EUC-JP, the other encoding Japanese pages and search forms used: single
// bytes 00-7F (ASCII), pairs A1-FE A1-FE (JIS X 0208), 8E A1-DF (half-width
// katakana) and 8F A1-FE A1-FE (JIS X 0212), with the system's mapping.
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace pomurina {

// One decoded unit of EUC-JP text.
struct EucJpUnit {
    static constexpr std::uint32_t kInvalid = 0xFFFFFFFFu;
    std::uint32_t codePoint;  // kInvalid for a byte that starts no mapped code
    std::size_t length;       // bytes consumed: 1 for an invalid byte
};

// Decodes the unit that starts at text[at] (at < text.size()).
EucJpUnit DecodeEucJp(std::string_view text, std::size_t at);

}  // namespace pomurina
