#include "fetch/FetchSettings.h"

#include <optional>

#include "io/FileIo.h"
#include "text/CaseFold.h"
#include "text/Cp932.h"
#include "Errors.h"

namespace pomurina {
namespace {

// The text of a line without surrounding blanks, in ASCII lower case.
std::string Folded(std::string_view text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) return {};
    return AsciiLower(text.substr(first, text.find_last_not_of(" \t") - first + 1));
}

std::optional<FetchProtocol> ProtocolNamed(const std::string& name) {
    for (const FetchProtocolNames& p : kFetchProtocols)
        if (name == p.name) return p.protocol;
    return std::nullopt;
}

const FetchProtocolNames& NamesOf(FetchProtocol protocol) {
    for (const FetchProtocolNames& p : kFetchProtocols)
        if (p.protocol == protocol) return p;
    return kFetchProtocols[0];
}

[[noreturn]] void ThrowBadLine(const std::string& file, std::size_t line, const std::string& text,
                               const char* allowed) {
    throw Error(Utf8ToCp932("接続設定ファイル \"") + PathText(FullPath(file)) +
                Utf8ToCp932("\" の " + std::to_string(line) + " 行目 \"") + text +
                Utf8ToCp932(std::string("\" が正しくありません (") + allowed + " のどれか)"));
}

}  // namespace

std::string_view ProtocolName(FetchProtocol protocol) {
    return NamesOf(protocol).name;
}

std::string_view ProtocolCaption(FetchProtocol protocol) {
    return NamesOf(protocol).caption;
}

int DefaultPort(FetchProtocol protocol) {
    return protocol == FetchProtocol::Sftp ? 22 : 21;
}

void ReadFetchSettings(const TextList& lines, const std::string& file, FetchSettings& settings) {
    settings.server = lines.Get(0);
    settings.account = lines.Get(1);
    settings.password = lines.Get(2);
    settings.directory = lines.Get(3);
    // Written by the older program: plain FTP, active, as it always was.
    settings.protocol = FetchProtocol::Ftp;
    settings.passive = false;
    if (lines.Count() > 4) {
        const std::string name = Folded(lines.Get(4));
        if (!name.empty()) {
            const auto protocol = ProtocolNamed(name);
            if (!protocol) ThrowBadLine(file, 5, lines.Get(4), "ftp、ftps、sftp");
            settings.protocol = *protocol;
        }
    }
    if (lines.Count() > 5) {
        const std::string mode = Folded(lines.Get(5));
        if (mode == "passive") {
            settings.passive = true;
        } else if (!mode.empty() && mode != "active") {
            ThrowBadLine(file, 6, lines.Get(5), "active、passive");
        }
    }
}

namespace {

// The six lines of settings.
TextList FetchSettingLines(const FetchSettings& settings) {
    return TextList({settings.server, settings.account, settings.password, settings.directory,
                     std::string(ProtocolName(settings.protocol)),
                     settings.passive ? "passive" : "active"});
}

}  // namespace

FetchSettings LoadFetchSettings(const std::string& file) {
    TextList lines;
    lines.LoadFromFile(file);
    FetchSettings settings;
    ReadFetchSettings(lines, file, settings);
    return settings;
}

void SaveFetchSettings(const std::string& file, const FetchSettings& settings) {
    FetchSettingLines(settings).SaveToFile(file, 0600);
}

}  // namespace pomurina
