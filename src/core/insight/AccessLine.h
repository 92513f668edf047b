#pragma once
// The fields of an access-log line read by position, as the web server wrote
// them: HOST IDENT USER [DD/Mon/YYYY:HH:MM:SS ZONE] "REQUEST" STATUS SIZE,
// optionally followed by "REFERRER" "AGENT", then anything.  Fields are
// separated by one blank (0x20; a TAB is no blank).  A quoted field runs to
// the first quote that no backslash escapes and is kept raw, escapes
// included.  The day and the clock are taken as written; the zone is
// ignored.  The referrer and the agent come as a pair or not at all.
#include <cstdint>
#include <string_view>

namespace pomurina {

// The time stamp of a line as written.
struct WrittenTime {
    std::int32_t day = 0;                           // see CalendarDay.h
    std::uint8_t hour = 0, minute = 0, second = 0;  // second may be 60

    // Seconds from the start of day 0: the day's number × 86,400 plus the
    // seconds of the day as written (so 12:34:60 equals 12:35:00).
    std::int64_t Seconds() const {
        return std::int64_t{day} * 86400 + std::int64_t{hour} * 3600 +
               std::int64_t{minute} * 60 + second;
    }
};

// The prefix of an identity that names the line's virtual host: a line of a
// log whose lines name one (a virtual-host prefix, LTSV's vhost, W3C's
// cs-host) is read as combined with "vhost=NAME" in the identity's place.
inline constexpr std::string_view kVirtualHostIdent = "vhost=";

// One line read by its fields; every view points into the line.
struct AccessLine {
    std::string_view host;
    // The virtual host the identity names (see kVirtualHostIdent); empty for none.
    std::string_view vhost;
    WrittenTime time;
    // The request's second word (empty when it has none): split at each single blank.
    std::string_view target;
    std::string_view path;  // of the target (see PathOfTarget)
    int status = 0;         // 100..599
    std::int64_t size = 0;  // "-" is 0
    // "-" and no agent when the line has no referrer and agent (the common format).
    std::string_view referrer;
    std::string_view agent;
    bool hasAgent = false;
};

// Reads the lines of a log one after another: the lines of a day come
// together, so the date of the last line is kept and the next line's date
// is read only when its text differs.
class AccessLineReader {
public:
    // Reads line into out; false when the line doesn't have the fields (out
    // is then unspecified).
    bool Read(std::string_view line, AccessLine& out);
    // Reads only the time stamp (after host, identity and user) into out;
    // false when it isn't there as Read would take it.
    bool ReadTimeOnly(std::string_view line, WrittenTime& out);

private:
    bool ReadTime(const char* time, WrittenTime& out);

    std::uint64_t m_dateHead = 0;  // the last valid date's text "DD/Mon/YYYY"
    std::uint32_t m_dateTail = 0;  // in two overlapping loads
    std::int32_t m_day = 0;
    bool m_known = false;
};

// Reads one line on its own (see AccessLineReader::Read).
bool ReadAccessLine(std::string_view line, AccessLine& out);

// The path of a request's target: up to its first '?' or '#'.
std::string_view PathOfTarget(std::string_view target);

// Whether a path names a file the pages only load (style sheets, scripts,
// images, fonts, sound and video), by the extension of its last part.
bool IsStaticPath(std::string_view path);

}  // namespace pomurina
