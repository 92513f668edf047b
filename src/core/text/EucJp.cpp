#include "text/EucJp.h"

#include <iconv.h>

#include <array>
#include <stdexcept>
#include <vector>

namespace pomurina {
namespace {

bool InRow(unsigned b) {
    return b >= 0xA1 && b <= 0xFE;
}

// The code points of every two- and three-byte code, asked of the system's
// converter once.
class EucJpTable {
public:
    EucJpTable()
        : m_pairs(std::size_t{94} * 94, EucJpUnit::kInvalid),
          m_triples(std::size_t{94} * 94, EucJpUnit::kInvalid) {
        const iconv_t cd = iconv_open("UTF-32LE", "EUC-JP");
        if (cd == reinterpret_cast<iconv_t>(-1))
            throw std::runtime_error("iconv cannot convert EUC-JP to UTF-32LE");
        for (unsigned first = 0xA1; first <= 0xFE; ++first) {
            for (unsigned second = 0xA1; second <= 0xFE; ++second) {
                const std::size_t index = (first - 0xA1) * 94 + (second - 0xA1);
                const char pair[] = {static_cast<char>(first), static_cast<char>(second)};
                const char triple[] = {'\x8F', static_cast<char>(first), static_cast<char>(second)};
                m_pairs[index] = Convert(cd, pair, sizeof pair);
                m_triples[index] = Convert(cd, triple, sizeof triple);
            }
        }
        iconv_close(cd);
    }
    std::uint32_t Pair(unsigned first, unsigned second) const {
        return m_pairs[(first - 0xA1) * 94 + (second - 0xA1)];
    }
    std::uint32_t Triple(unsigned first, unsigned second) const {
        return m_triples[(first - 0xA1) * 94 + (second - 0xA1)];
    }

private:
    static std::uint32_t Convert(iconv_t cd, const char* code, std::size_t size) {
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
        char* in = const_cast<char*>(code);
        std::size_t inLeft = size;
        std::array<unsigned char, 16> out{};
        char* to = reinterpret_cast<char*>(out.data());
        std::size_t outLeft = out.size();
        if (iconv(cd, &in, &inLeft, &to, &outLeft) == static_cast<std::size_t>(-1) || inLeft != 0 ||
            out.size() - outLeft != 4)
            return EucJpUnit::kInvalid;
        return std::uint32_t{out[0]} | std::uint32_t{out[1]} << 8 | std::uint32_t{out[2]} << 16 |
               std::uint32_t{out[3]} << 24;
    }

    std::vector<std::uint32_t> m_pairs, m_triples;
};

const EucJpTable& Table() {
    static const EucJpTable table;
    return table;
}

}  // namespace

EucJpUnit DecodeEucJp(std::string_view text, std::size_t at) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned first = byte(at);
    const std::size_t left = text.size() - at;
    if (first < 0x80) return {first, 1};
    if (first == 0x8E && left >= 2 && byte(at + 1) >= 0xA1 && byte(at + 1) <= 0xDF)
        return {0xFF61 + (byte(at + 1) - 0xA1u), 2};
    if (first == 0x8F && left >= 3 && InRow(byte(at + 1)) && InRow(byte(at + 2))) {
        const std::uint32_t cp = Table().Triple(byte(at + 1), byte(at + 2));
        if (cp != EucJpUnit::kInvalid) return {cp, 3};
    } else if (InRow(first) && left >= 2 && InRow(byte(at + 1))) {
        const std::uint32_t cp = Table().Pair(first, byte(at + 1));
        if (cp != EucJpUnit::kInvalid) return {cp, 2};
    }
    return {EucJpUnit::kInvalid, 1};
}

}  // namespace pomurina
