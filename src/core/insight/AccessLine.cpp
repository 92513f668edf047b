#include "insight/AccessLine.h"

#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "insight/ByteScan.h"
#include "insight/CalendarDay.h"

namespace pomurina {
namespace {

// A cursor over the line; every step checks the bytes left.
class Reader {
public:
    explicit Reader(std::string_view line) : m_at(line.data()), m_end(line.data() + line.size()) {}

    const char* Place() const { return m_at; }
    const char* End() const { return m_end; }
    void MoveTo(const char* at) { m_at = at; }

    bool Take(char c) {
        if (m_at == m_end || *m_at != c) return false;
        ++m_at;
        return true;
    }
    // A run of one or more non-blank bytes, then one blank.
    bool Word(std::string_view& word) {
        // Most identities and users are "-": no search for those.
        if (m_end - m_at >= 2 && m_at[0] != ' ' && m_at[1] == ' ') {
            word = std::string_view(m_at, 1);
            m_at += 2;
            return true;
        }
        const char* blank = FindByte(m_at, m_end, ' ');
        if (blank == m_end || blank == m_at) return false;
        word = std::string_view(m_at, static_cast<std::size_t>(blank - m_at));
        m_at = blank + 1;
        return true;
    }
    // A quoted field, quotes taken; its content goes to field raw.
    bool Quoted(std::string_view& field) {
        if (!Take('"')) return false;
        const char* const start = m_at;
        for (const char* from = start;;) {
            const char* quote = FindByte(from, m_end, '"');
            if (quote == m_end) return false;
            // A backslash escapes the byte after it: the quote is escaped
            // when an odd run of backslashes stands before it.
            const char* run = quote;
            while (run > start && run[-1] == '\\') --run;
            if ((quote - run) % 2 == 0) {
                field = std::string_view(start, static_cast<std::size_t>(quote - start));
                m_at = quote + 1;
                return true;
            }
            from = quote + 1;
        }
    }
    std::size_t Left() const { return static_cast<std::size_t>(m_end - m_at); }

private:
    const char* m_at;
    const char* m_end;
};

inline bool IsDigit(char c) {
    return static_cast<unsigned char>(c - '0') <= 9;
}

// The value of two digits; notDigits gets a bit set when one isn't a digit
// (a byte below '0' wraps to a large value).
inline int TwoDigits(const char* text, unsigned& notDigits) {
    const unsigned high = static_cast<unsigned char>(text[0] - '0');
    const unsigned low = static_cast<unsigned char>(text[1] - '0');
    notDigits |= (high > 9) | (low > 9);
    return static_cast<int>(high * 10 + low);
}

inline int MonthNumber(const char* name) {
    const auto byte = [&](int i) { return std::uint32_t{static_cast<unsigned char>(name[i])}; };
    switch (byte(0) << 16 | byte(1) << 8 | byte(2)) {
        case 'J' << 16 | 'a' << 8 | 'n':
            return 1;
        case 'F' << 16 | 'e' << 8 | 'b':
            return 2;
        case 'M' << 16 | 'a' << 8 | 'r':
            return 3;
        case 'A' << 16 | 'p' << 8 | 'r':
            return 4;
        case 'M' << 16 | 'a' << 8 | 'y':
            return 5;
        case 'J' << 16 | 'u' << 8 | 'n':
            return 6;
        case 'J' << 16 | 'u' << 8 | 'l':
            return 7;
        case 'A' << 16 | 'u' << 8 | 'g':
            return 8;
        case 'S' << 16 | 'e' << 8 | 'p':
            return 9;
        case 'O' << 16 | 'c' << 8 | 't':
            return 10;
        case 'N' << 16 | 'o' << 8 | 'v':
            return 11;
        case 'D' << 16 | 'e' << 8 | 'c':
            return 12;
        default:
            return 0;
    }
}

// [DD/Mon/YYYY:HH:MM:SS ZONE] and the blank after it: 29 bytes in fixed places.
constexpr std::size_t kTimeLength = 29;

// Whether the sixteen bytes "HH:MM:SS +ZZZZ] " after the date (from t + 13)
// have their digits and separators where they belong.
bool ClockIsWellFormed(const char* t) {
#if defined(__SSE2__)
    const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(t + 13));
    // A byte below '0' wraps to a large value, so one bound tells the digits.
    const __m128i values = _mm_sub_epi8(bytes, _mm_set1_epi8('0'));
    const __m128i digits = _mm_cmpeq_epi8(_mm_min_epu8(values, _mm_set1_epi8(9)), values);
    const __m128i separators = _mm_cmpeq_epi8(
        bytes, _mm_setr_epi8(0, 0, ':', 0, 0, ':', 0, 0, ' ', 0, 0, 0, 0, 0, ']', ' '));
    constexpr unsigned kDigits = 0x3CDB;      // places 0 1, 3 4, 6 7, 10 to 13
    constexpr unsigned kSeparators = 0xC124;  // places 2, 5, 8, 14, 15
    if ((static_cast<unsigned>(_mm_movemask_epi8(digits)) & kDigits) != kDigits ||
        (static_cast<unsigned>(_mm_movemask_epi8(separators)) & kSeparators) != kSeparators)
        return false;
#else
    unsigned notDigits = 0;
    for (const int at : {13, 16, 19, 23, 25}) TwoDigits(t + at, notDigits);
    if (notDigits || t[15] != ':' || t[18] != ':' || t[21] != ' ' || t[27] != ']' || t[28] != ' ')
        return false;
#endif
    return t[22] == '+' || t[22] == '-';
}

// STATUS SIZE: three digits 100-599, a blank, 1 to 15 digits or "-", then a
// blank or the line's end (left unread).
bool ReadStatusAndSize(Reader& r, int& status, std::int64_t& size) {
    if (r.Left() < 5) return false;
    const char* t = r.Place();
    if (!IsDigit(t[0]) || !IsDigit(t[1]) || !IsDigit(t[2]) || t[3] != ' ') return false;
    status = (t[0] - '0') * 100 + (t[1] - '0') * 10 + (t[2] - '0');
    if (status < 100 || status > 599) return false;
    const char* const end = r.End();
    const char* at = t + 4;
    if (*at == '-') {
        size = 0;
        ++at;
    } else {
        const char* const start = at;
        const char* const last = end - start > 16 ? start + 16 : end;
        std::int64_t value = 0;
        while (at < last && IsDigit(*at)) value = value * 10 + (*at++ - '0');
        if (at == start || at - start > 15) return false;
        size = value;
    }
    if (at < end && *at != ' ') return false;
    r.MoveTo(at);
    return true;
}

// The second word of a request split at each single blank, and its path.
void ReadTarget(std::string_view request, AccessLine& out) {
    const char* const end = request.data() + request.size();
    const char* first = FindByte(request.data(), end, ' ');
    if (first == end) {
        out.target = out.path = {};
        return;
    }
    ++first;
    const char* pathEnd = FindFirstOf(first, end, ' ', '?', '#');
    out.path = std::string_view(first, static_cast<std::size_t>(pathEnd - first));
    const char* targetEnd =
        pathEnd == end || *pathEnd == ' ' ? pathEnd : FindByte(pathEnd, end, ' ');
    out.target = std::string_view(first, static_cast<std::size_t>(targetEnd - first));
}

}  // namespace

bool AccessLineReader::ReadTime(const char* t, WrittenTime& time) {
    if (t[0] != '[' || t[12] != ':' || !ClockIsWellFormed(t)) return false;
    unsigned notDigits = 0;
    const int hour = TwoDigits(t + 13, notDigits), minute = TwoDigits(t + 16, notDigits),
              second = TwoDigits(t + 19, notDigits);
    if (hour > 23 || minute > 59 || second > 60) return false;
    // The date's eleven bytes, compared with the last valid date's.
    std::uint64_t head;
    std::uint32_t tail;
    std::memcpy(&head, t + 1, 8);
    std::memcpy(&tail, t + 8, 4);
    if (!m_known || head != m_dateHead || tail != m_dateTail) {
        if (t[3] != '/' || t[7] != '/') return false;
        CivilDate date;
        date.day = TwoDigits(t + 1, notDigits);
        date.year = TwoDigits(t + 8, notDigits) * 100 + TwoDigits(t + 10, notDigits);
        date.month = MonthNumber(t + 4);
        const auto day = notDigits ? std::nullopt : DayNumber(date);
        if (!day) return false;
        m_day = *day;
        m_dateHead = head;
        m_dateTail = tail;
        m_known = true;
    }
    time.day = m_day;
    time.hour = static_cast<std::uint8_t>(hour);
    time.minute = static_cast<std::uint8_t>(minute);
    time.second = static_cast<std::uint8_t>(second);
    return true;
}

bool AccessLineReader::Read(std::string_view line, AccessLine& out) {
    Reader r(line);
    std::string_view ident, user, request;
    if (!r.Word(out.host) || !r.Word(ident) || !r.Word(user) || r.Left() < kTimeLength ||
        !ReadTime(r.Place(), out.time))
        return false;
    out.vhost = ident.size() > kVirtualHostIdent.size() && ident[0] == 'v' &&
                        ident.starts_with(kVirtualHostIdent)
                    ? ident.substr(kVirtualHostIdent.size())
                    : std::string_view();
    r.MoveTo(r.Place() + kTimeLength);
    if (!r.Quoted(request) || !r.Take(' ') || !ReadStatusAndSize(r, out.status, out.size))
        return false;
    ReadTarget(request, out);
    // The referrer and the agent, or the common format.
    const char* const afterSize = r.Place();
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

bool AccessLineReader::ReadTimeOnly(std::string_view line, WrittenTime& out) {
    Reader r(line);
    std::string_view host, ident, user;
    return r.Word(host) && r.Word(ident) && r.Word(user) && r.Left() >= kTimeLength &&
           ReadTime(r.Place(), out);
}

bool ReadAccessLine(std::string_view line, AccessLine& out) {
    AccessLineReader reader;
    return reader.Read(line, out);
}

std::string_view PathOfTarget(std::string_view target) {
    const char* const end = target.data() + target.size();
    return std::string_view(
        target.data(),
        static_cast<std::size_t>(FindFirstOf(target.data(), end, '?', '#', '#') - target.data()));
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
        "css", "js",  "mjs", "map",  "png",  "jpg",  "jpeg",  "gif", "webp", "avif",
        "svg", "ico", "bmp", "tif",  "tiff", "woff", "woff2", "ttf", "otf",  "eot",
        "mp3", "mp4", "m4a", "webm", "ogg",  "wav",  "mov",   "avi"};
    const std::string_view folded(lower, extension.size());
    for (const std::string_view known : kStatic)
        if (folded == known) return true;
    return false;
}

}  // namespace pomurina
