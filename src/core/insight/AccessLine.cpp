#include "insight/AccessLine.h"

#include <array>
#include <cstring>

#include "insight/CalendarDay.h"

namespace pomurina {
namespace {

// A cursor over the line; every step checks the bytes left.
class Reader {
public:
    explicit Reader(std::string_view line) : m_line(line) {}

    bool AtEnd() const { return m_at == m_line.size(); }
    std::size_t Place() const { return m_at; }
    void MoveTo(std::size_t at) { m_at = at; }

    bool Take(char c) {
        if (m_at >= m_line.size() || m_line[m_at] != c) return false;
        ++m_at;
        return true;
    }
    // A run of one or more non-blank bytes, then one blank.
    bool Word(std::string_view& word) {
        const void* blank = std::memchr(m_line.data() + m_at, ' ', m_line.size() - m_at);
        if (!blank) return false;
        const auto end = static_cast<std::size_t>(static_cast<const char*>(blank) - m_line.data());
        if (end == m_at) return false;
        word = m_line.substr(m_at, end - m_at);
        m_at = end + 1;
        return true;
    }
    // count decimal digits.
    bool Digits(int count, int& value) {
        if (m_line.size() - m_at < static_cast<std::size_t>(count)) return false;
        value = 0;
        for (int i = 0; i < count; ++i) {
            const auto digit = static_cast<unsigned char>(m_line[m_at] - '0');
            if (digit > 9) return false;
            value = value * 10 + digit;
            ++m_at;
        }
        return true;
    }
    // A quoted field, quotes taken; its content goes to field raw.
    bool Quoted(std::string_view& field) {
        if (!Take('"')) return false;
        const std::size_t start = m_at;
        std::size_t from = start;
        for (;;) {
            const void* quote = std::memchr(m_line.data() + from, '"', m_line.size() - from);
            if (!quote) return false;
            const auto at = static_cast<std::size_t>(static_cast<const char*>(quote) - m_line.data());
            // A backslash escapes the byte after it: the quote is escaped
            // when an odd run of backslashes stands before it.
            std::size_t backslashes = 0;
            while (at - backslashes > start && m_line[at - backslashes - 1] == '\\') ++backslashes;
            if (backslashes % 2 == 0) {
                field = m_line.substr(start, at - start);
                m_at = at + 1;
                return true;
            }
            from = at + 1;
        }
    }

private:
    std::string_view m_line;
    std::size_t m_at = 0;
};

int MonthNumber(std::string_view name) {
    static constexpr std::array<std::string_view, 12> kMonths = {
        "Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    for (std::size_t m = 0; m < kMonths.size(); ++m)
        if (kMonths[m] == name) return static_cast<int>(m) + 1;
    return 0;
}

// [DD/Mon/YYYY:HH:MM:SS ZONE], with the blank after it.
bool ReadTime(Reader& r, std::string_view line, WrittenTime& time) {
    CivilDate date;
    int hour = 0, minute = 0, second = 0, zone = 0;
    if (!r.Take('[') || !r.Digits(2, date.day) || !r.Take('/')) return false;
    const std::size_t at = r.Place();
    if (line.size() - at < 3) return false;
    date.month = MonthNumber(line.substr(at, 3));
    r.MoveTo(at + 3);
    if (date.month == 0 || !r.Take('/') || !r.Digits(4, date.year) || !r.Take(':') ||
        !r.Digits(2, hour) || !r.Take(':') || !r.Digits(2, minute) || !r.Take(':') ||
        !r.Digits(2, second) || !r.Take(' ') || !(r.Take('+') || r.Take('-')) ||
        !r.Digits(4, zone) || !r.Take(']') || !r.Take(' '))
        return false;
    if (hour > 23 || minute > 59 || second > 60) return false;
    const auto day = DayNumber(date);
    if (!day) return false;
    time.day = *day;
    time.hour = static_cast<std::uint8_t>(hour);
    time.minute = static_cast<std::uint8_t>(minute);
    time.second = static_cast<std::uint8_t>(second);
    return true;
}

// 1 to 15 digits or "-", then a blank or the line's end (left unread).
bool ReadSize(Reader& r, std::string_view line, std::int64_t& size) {
    std::size_t at = r.Place();
    if (at < line.size() && line[at] == '-') {
        size = 0;
        ++at;
    } else {
        std::int64_t value = 0;
        const std::size_t start = at;
        while (at < line.size() && at - start <= 15 &&
               static_cast<unsigned char>(line[at] - '0') <= 9)
            value = value * 10 + (line[at++] - '0');
        if (at == start || at - start > 15) return false;
        size = value;
    }
    if (at < line.size() && line[at] != ' ') return false;
    r.MoveTo(at);
    return true;
}

// The second word of a request split at each single blank.
std::string_view TargetOf(std::string_view request) {
    const std::size_t first = request.find(' ');
    if (first == std::string_view::npos) return {};
    const std::string_view rest = request.substr(first + 1);
    return rest.substr(0, rest.find(' '));
}

}  // namespace

bool ReadAccessLine(std::string_view line, AccessLine& out) {
    Reader r(line);
    std::string_view ident, user, request;
    int status = 0;
    if (!r.Word(out.host) || !r.Word(ident) || !r.Word(user) || !ReadTime(r, line, out.time) ||
        !r.Quoted(request) || !r.Take(' ') || !r.Digits(3, status) || !r.Take(' ') ||
        !ReadSize(r, line, out.size))
        return false;
    if (status < 100 || status > 599) return false;
    out.status = status;
    out.target = TargetOf(request);
    // The referrer and the agent, or the common format.
    const std::size_t afterSize = r.Place();
    if (r.Take(' ') && r.Quoted(out.referrer) && r.Take(' ') && r.Quoted(out.agent)) {
        out.hasAgent = true;
    } else {
        r.MoveTo(afterSize);
        out.referrer = "-";
        out.agent = {};
        out.hasAgent = false;
    }
    return true;
}

std::string_view PathOfTarget(std::string_view target) {
    return target.substr(0, target.find_first_of("?#"));
}

bool IsStaticPath(std::string_view path) {
    const std::string_view last = path.substr(path.rfind('/') + 1);
    const std::size_t dot = last.rfind('.');
    if (dot == std::string_view::npos) return false;
    const std::string_view extension = last.substr(dot + 1);
    if (extension.empty() || extension.size() > 5) return false;
    char lower[5];
    for (std::size_t i = 0; i < extension.size(); ++i) {
        const char c = extension[i];
        lower[i] = c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
    }
    static constexpr std::string_view kStatic[] = {
        "css", "js",   "mjs",  "map",  "png", "jpg",   "jpeg", "gif", "webp", "avif",
        "svg", "ico",  "bmp",  "tif",  "tiff", "woff", "woff2", "ttf", "otf",  "eot",
        "mp3", "mp4",  "m4a",  "webm", "ogg", "wav",   "mov",  "avi"};
    const std::string_view folded(lower, extension.size());
    for (const std::string_view known : kStatic)
        if (folded == known) return true;
    return false;
}

}  // namespace pomurina
