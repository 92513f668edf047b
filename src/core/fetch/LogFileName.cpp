#include "fetch/LogFileName.h"

#include "io/PlainFileName.h"
#include "text/Cp932.h"
#include "text/Errors.h"

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
    std::string suffix(name.substr(dot + 1));
    for (char& c : suffix)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return suffix == "gz" || suffix == "bz2" || suffix == "xz" || suffix == "zst";
}

}  // namespace pomurina
