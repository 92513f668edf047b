#include "filter/LineFilter.h"

#include "insight/CalendarDay.h"

namespace pomurina {

std::optional<std::int32_t> ParseDayText(std::string_view text) {
    const auto digits = [&](std::size_t from, std::size_t count, int& out) {
        out = 0;
        for (std::size_t i = from; i < from + count; ++i) {
            if (text[i] < '0' || text[i] > '9') return false;
            out = out * 10 + (text[i] - '0');
        }
        return true;
    };
    CivilDate date;
    if (text.size() != 10 || text[4] != '-' || text[7] != '-' || !digits(0, 4, date.year) ||
        !digits(5, 2, date.month) || !digits(8, 2, date.day))
        return std::nullopt;
    return DayNumber(date);
}

std::optional<std::uint8_t> ParseStatusClasses(std::string_view text) {
    std::uint8_t classes = 0;
    for (;;) {
        const std::size_t comma = text.find(',');
        const std::string_view item = text.substr(0, comma);
        if (item.size() != 3 || item[0] < '2' || item[0] > '5' || (item[1] | 0x20) != 'x' ||
            (item[2] | 0x20) != 'x')
            return std::nullopt;
        classes = static_cast<std::uint8_t>(classes | 1u << (item[0] - '0'));
        if (comma == std::string_view::npos) return classes;
        text.remove_prefix(comma + 1);
    }
}

std::string StatusClassesText(std::uint8_t classes) {
    std::string text;
    for (int c = 2; c <= 5; ++c) {
        if (!(classes & 1u << c)) continue;
        if (!text.empty()) text += ',';
        text += static_cast<char>('0' + c);
        text += "xx";
    }
    return text;
}

bool IsVirtualHostName(std::string_view text) {
    if (text.empty() || text.size() > 253) return false;
    for (const char c : text)
        if (!((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
              c == '.' || c == '-' || c == '_'))
            return false;
    return true;
}

std::string LineFilter::Description() const {
    std::string text;
    const auto add = [&](const std::string& part) {
        if (!text.empty()) text += "・";
        text += part;
    };
    if (firstDay || lastDay)
        add("期間 " + (firstDay ? DayText(*firstDay) : std::string()) + "〜" +
            (lastDay ? DayText(*lastDay) : std::string()));
    if (excludedHosts) add("除外ホストを除く");
    if (humansOnly) add("ロボットを除く");
    if (!pathPrefix.empty()) add("パス " + pathPrefix);
    if (statusClasses) add("ステータス " + StatusClassesText(statusClasses));
    if (!vhost.empty()) add("バーチャルホスト " + vhost);
    return text;
}

}  // namespace pomurina
