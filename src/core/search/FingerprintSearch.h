#pragma once
// A short list of search texts looked for in one pass over a text: the
// places where three bytes of an entry could stand are picked out sixteen at
// a time by tables of the entries' half-bytes, and only there are entries
// compared.  A place passes when, for each of its three bytes, both halves
// are among the halves of the same group of entries at that offset, so hardly
// any place that holds no entry is ever compared.  Each entry is looked for
// by its three bytes that are rarest in log text ("leb" of "Applebot", not
// the "App" of every "AppleWebKit").  Where the processor has them, 32-byte
// shuffles take 32 places at a time.
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace pomurina {

class FingerprintSearch {
public:
    // Whether this processor has the byte shuffle the search is built on.
    static bool Available();

    // entries: non-empty texts, at most a few dozen for the search to pay;
    // wide: 32 places at a time (only where ProcessorHasAvx2()).
    explicit FingerprintSearch(const std::vector<std::string>& entries, bool wide = true);

    // How many entries (counted once each, as listed) occur in text; with
    // stopAtFirst, 1 as soon as one does.
    std::size_t Scan(std::string_view text, bool stopAtFirst) const;

private:
    // Where the three bytes of entry whose ranks add up least begin.
    static std::size_t RarestWindow(std::string_view entry);
    std::size_t ScanNarrow(std::string_view text, bool stopAtFirst) const;
    std::size_t ScanWide(std::string_view text, bool stopAtFirst) const;
    // Compares the entries of the groups byPlace names at each place in
    // places (bit k: place at + k), each with its three bytes there; true
    // when the scan is to stop.
    bool Compare(std::string_view text, std::size_t at, std::uint64_t places,
                 const std::uint8_t* byPlace, bool stopAtFirst, std::vector<bool>& found,
                 std::size_t& count) const;

    static constexpr std::size_t kGroups = 8;  // one bit of a table byte each
    static constexpr std::size_t kPrefix = 3;  // the bytes looked at per place
    // For offset k of a place: the groups whose entries allow each low and
    // each high half-byte there (every half-byte past an entry's end).
    std::array<std::array<std::uint8_t, 16>, kPrefix> m_low{}, m_high{};
    std::vector<std::string> m_entries;
    std::vector<std::size_t> m_windows;  // where in each entry its three bytes start
    std::array<std::vector<std::size_t>, kGroups> m_groups;  // entries by group
    bool m_wide;
};

}  // namespace pomurina
