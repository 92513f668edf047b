#include "archive/DatedLines.h"

#include "insight/AccessLine.h"

namespace pomurina {

std::vector<DatedLine> DateLines(const std::vector<std::string_view>& lines) {
    std::vector<DatedLine> dated(lines.size());
    AccessLineReader reader;
    std::size_t undated = 0;  // the lines before the first with a time
    bool found = false;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        dated[i].text = lines[i];
        WrittenTime time;
        if (reader.ReadTimeOnly(lines[i], time)) {
            dated[i].seconds = time.Seconds();
            dated[i].day = time.day;
            if (!found) {
                for (std::size_t j = 0; j < undated; ++j) {
                    dated[j].seconds = dated[i].seconds;
                    dated[j].day = dated[i].day;
                }
                found = true;
            }
        } else if (found) {
            dated[i].seconds = dated[i - 1].seconds;
            dated[i].day = dated[i - 1].day;
        } else {
            ++undated;
        }
    }
    if (!found) dated.clear();
    return dated;
}

std::vector<std::string_view> SplitDayLines(std::string_view text) {
    std::vector<std::string_view> lines;
    std::size_t begin = 0;
    while (begin < text.size()) {
        std::size_t end = text.find('\n', begin);
        if (end == std::string_view::npos) end = text.size();
        lines.push_back(text.substr(begin, end - begin));
        begin = end + 1;
    }
    return lines;
}

}  // namespace pomurina
