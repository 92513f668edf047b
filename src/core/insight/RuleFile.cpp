#include "insight/RuleFile.h"

#include <cerrno>

#include "Errors.h"
#include "io/FileIo.h"
#include "text/LineSplit.h"

namespace pomurina {

std::vector<RuleFields> ReadRuleLines(std::string_view text) {
    if (text.empty()) return {};  // a view of nothing may have no bytes at all
    text = UpToFirstZero(text);
    if (text.starts_with("\xEF\xBB\xBF")) text.remove_prefix(3);
    std::vector<RuleFields> rules;
    SplitLines(text, [&](std::size_t offset, std::size_t length) {
        const std::string_view line = text.substr(offset, length);
        if (line.starts_with('#')) return;
        const std::size_t first = line.find('\t');
        if (first == std::string_view::npos) return;
        const std::size_t second = line.find('\t', first + 1);
        if (second == std::string_view::npos ||
            line.find('\t', second + 1) != std::string_view::npos)
            return;
        rules.push_back({std::string(line.substr(0, first)),
                         std::string(line.substr(first + 1, second - first - 1)),
                         std::string(line.substr(second + 1))});
    });
    return rules;
}

std::vector<RuleFields> LoadRuleFile(const std::string& path) {
    std::string bytes;
    const int error = ReadWholeFile(path, bytes);
    if (error == ENOENT) return {};
    if (error != 0) throw FileOpenFailure(path, error);
    return ReadRuleLines(bytes);
}

}  // namespace pomurina
