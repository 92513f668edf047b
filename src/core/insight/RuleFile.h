#pragma once
// The rule files the user may edit (the agent rules, the search engines):
// UTF-8 text, a byte-order mark at the start ignored, the first zero byte
// ends the file, lines split as every text list is (CR, LF, CR LF).  A rule
// is a line of exactly three fields separated by TABs; lines starting with
// '#' and lines of another shape are ignored, and nothing is trimmed.
#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace pomurina {

using RuleFields = std::array<std::string, 3>;

// The rules of a file's text, in file order.
std::vector<RuleFields> ReadRuleLines(std::string_view text);

// The rules of the file at path; a file that isn't there has none.  Any other
// failure to read it throws FileOpenError naming the file.
std::vector<RuleFields> LoadRuleFile(const std::string& path);

}  // namespace pomurina
