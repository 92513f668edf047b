#pragma once
// The hosts a filter leaves out (ExcludeHosts.dat): one entry a line, an
// exact host or an address range in CIDR form ("203.0.113.0/24",
// "2001:db8::/32").  An entry that is an address is a range of one, so that
// "2001:db8::1" also leaves out a line written "2001:0db8:0:0::1"; a host
// written as an IPv4 address mapped into IPv6 ("::ffff:203.0.113.7") is
// the IPv4 address.  Other hosts are compared byte for byte.
#include <array>
#include <functional>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

namespace pomurina {

class HostList {
public:
    // An entry of the list that isn't one: its line (from 1) and text.
    struct BadEntry {
        std::size_t line;
        std::string text;
    };

    // Reads a list file's text: it ends at its first zero byte; lines end at
    // CR, LF or CR LF; blanks and TABs around an entry are not part of it;
    // empty lines are skipped.  An entry with a '/' that is no address range
    // (a prefix longer than the address, a wrong address) is kept in
    // BadEntries() and leaves nothing out.
    static HostList Parse(std::string_view text);

    // Takes other's entries too.
    void Add(const HostList& other);

    bool Empty() const { return m_exact.empty() && m_ranges.empty(); }
    std::size_t Size() const { return m_exact.size() + m_ranges.size(); }
    const std::vector<BadEntry>& BadEntries() const { return m_bad; }

    // Whether the list leaves a line's host out.
    bool Contains(std::string_view host) const;

private:
    // An address as 16 bytes (IPv4 as IPv4-mapped IPv6) and the bits that count.
    struct Range {
        std::array<std::uint8_t, 16> address{};
        unsigned bits = 0;
    };
    static bool ParseAddress(std::string_view text, std::array<std::uint8_t, 16>& out,
                             bool& isV4);
    static bool InRange(const Range& range, const std::array<std::uint8_t, 16>& address);

    // Looks a host's view up without making a string of it.
    struct TextHash {
        using is_transparent = void;
        std::size_t operator()(std::string_view text) const {
            return std::hash<std::string_view>{}(text);
        }
    };
    std::unordered_set<std::string, TextHash, std::equal_to<>> m_exact;
    std::vector<Range> m_ranges;
    std::vector<BadEntry> m_bad;
};

}  // namespace pomurina
