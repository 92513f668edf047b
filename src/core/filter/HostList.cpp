#include "filter/HostList.h"

#include <arpa/inet.h>

#include <charconv>
#include <cstring>

#include "text/LineSplit.h"

namespace pomurina {
namespace {

std::string_view Trimmed(std::string_view text) {
    const std::size_t first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) return {};
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

}  // namespace

bool HostList::ParseAddress(std::string_view text, std::array<std::uint8_t, 16>& out, bool& isV4) {
    // inet_pton wants a terminated string; no address is longer than this.
    char buffer[64];
    if (text.empty() || text.size() >= sizeof buffer) return false;
    std::memcpy(buffer, text.data(), text.size());
    buffer[text.size()] = '\0';
    out = {};
    if (::inet_pton(AF_INET, buffer, out.data() + 12) == 1) {
        out[10] = out[11] = 0xFF;
        isV4 = true;
        return true;
    }
    if (::inet_pton(AF_INET6, buffer, out.data()) != 1) return false;
    static constexpr std::uint8_t kMapped[12] = {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0xFF, 0xFF};
    isV4 = std::memcmp(out.data(), kMapped, sizeof kMapped) == 0;
    return true;
}

bool HostList::InRange(const Range& range, const std::array<std::uint8_t, 16>& address) {
    const unsigned whole = range.bits / 8, rest = range.bits % 8;
    if (std::memcmp(range.address.data(), address.data(), whole) != 0) return false;
    if (rest == 0) return true;
    const auto mask = static_cast<std::uint8_t>(0xFF00u >> rest);
    return ((range.address[whole] ^ address[whole]) & mask) == 0;
}

HostList HostList::Parse(std::string_view text) {
    HostList list;
    text = UpToFirstZero(text);
    std::size_t lineNumber = 0;
    SplitLines(text, [&](std::size_t offset, std::size_t length) {
        ++lineNumber;
        const std::string_view entry = Trimmed(text.substr(offset, length));
        if (entry.empty()) return;
        const std::size_t slash = entry.find('/');
        Range range;
        bool isV4 = false;
        if (!ParseAddress(entry.substr(0, slash), range.address, isV4)) {
            if (slash == std::string_view::npos)
                list.m_exact.emplace(entry);
            else
                list.m_bad.push_back({lineNumber, std::string(entry)});
            return;
        }
        range.bits = 128;
        if (slash != std::string_view::npos) {
            const std::string_view digits = entry.substr(slash + 1);
            unsigned bits = 0;
            const auto [end, error] =
                std::from_chars(digits.data(), digits.data() + digits.size(), bits);
            const unsigned most = isV4 ? 32 : 128;
            if (digits.empty() || error != std::errc{} || end != digits.data() + digits.size() ||
                bits > most) {
                list.m_bad.push_back({lineNumber, std::string(entry)});
                return;
            }
            range.bits = isV4 ? bits + 96 : bits;
        }
        list.m_ranges.push_back(range);
    });
    return list;
}

void HostList::Add(const HostList& other) {
    m_exact.insert(other.m_exact.begin(), other.m_exact.end());
    m_ranges.insert(m_ranges.end(), other.m_ranges.begin(), other.m_ranges.end());
    m_bad.insert(m_bad.end(), other.m_bad.begin(), other.m_bad.end());
}

bool HostList::Contains(std::string_view host) const {
    if (!m_exact.empty() && m_exact.contains(host)) return true;
    if (m_ranges.empty()) return false;
    std::array<std::uint8_t, 16> address{};
    bool isV4 = false;
    if (!ParseAddress(host, address, isV4)) return false;
    for (const Range& range : m_ranges)
        if (InRange(range, address)) return true;
    return false;
}

}  // namespace pomurina
