#include "fetch/LogFileName.h"

#include <algorithm>
#include <iterator>

#include "io/CompressionFormat.h"
#include "io/PlainFileName.h"
#include "text/CaseFold.h"
#include "text/Cp932.h"
#include "Errors.h"

namespace pomurina {

std::string DefaultLogFileName(std::time_t when) {
    std::tm local{};
    ::localtime_r(&when, &local);
    char date[16];
    std::strftime(date, sizeof date, "%Y%m%d", &local);
    return std::string("access_log_") + date;
}

void CheckLogFileName(std::string_view name) {
    if (!IsPlainFileName(name))
        throw Error(
            Utf8ToCp932("ファイル名が正しくありません。空の名前、\".\"、\"..\"、"
                        "\"/\" や \"\\\" や制御文字を含む名前はログの保存に使えません"));
}

bool IsCompressedLogName(std::string_view name) {
    const auto dot = name.rfind('.');
    if (dot == std::string_view::npos) return false;
    const std::string suffix = AsciiLower(name.substr(dot));
    return std::ranges::find(kCompressedSuffixes, suffix) != std::end(kCompressedSuffixes);
}

}  // namespace pomurina
