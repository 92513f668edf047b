#include "archive/SiteName.h"

#include "io/FileIo.h"
#include "io/PlainFileName.h"
#include "text/Cp932.h"

namespace pomurina {

std::optional<std::string> SiteNameProblem(std::string_view name) {
    if (name.empty()) return Utf8ToCp932("サイト名が空です。サイトの名前を指定してください");
    if (name.size() > kLongestSiteName)
        return Utf8ToCp932("サイト名が長すぎます (" + std::to_string(kLongestSiteName) +
                           " バイトまで)。短い名前を指定してください");
    // The name is shown as the program shows a path; the tool makes its
    // control bytes visible.
    const std::string quoted = Utf8ToCp932("サイト名 \"") + PathText(name) + "\" ";
    if (name.find("..") != std::string_view::npos || name.front() == '.')
        return quoted +
               Utf8ToCp932("は使えません (\".\" で始まる名前と \"..\" を含む名前は使えません)");
    if (!IsPlainFileName(name))
        return quoted + Utf8ToCp932("は使えません (\"/\"、\"\\\" と制御文字は使えません)");
    return std::nullopt;
}

}  // namespace pomurina
