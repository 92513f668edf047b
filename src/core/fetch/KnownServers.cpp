#include "fetch/KnownServers.h"

#include <cerrno>
#include <string_view>

#include "io/FileIo.h"
#include "lists/ReferenceListFile.h"
#include "text/CaseFold.h"
#include "Errors.h"

namespace pomurina {
namespace {

// The protocol and address part of a server's line, host names in lower case
// (they name the same server in any case).
std::string ServerKey(FetchProtocol protocol, const ServerAddress& address) {
    ServerAddress folded = address;
    folded.host = AsciiLower(address.host);
    return std::string(ProtocolName(protocol)) + " " + folded.Text() + " ";
}

}  // namespace

KnownServers::KnownServers(std::string path) : m_path(std::move(path)) {
    std::string bytes;
    const int error = ReadWholeFile(m_path, bytes);
    if (error == ENOENT) return;
    if (error != 0) throw FileOpenFailure(m_path, error);
    // A zero byte ends the text: the servers after it are in the file only,
    // and writing the list back would lose them.
    if (!m_lines.SetText(bytes)) m_unreadPath = PathText(FullPath(m_path));
}

std::optional<std::string> KnownServers::Find(FetchProtocol protocol,
                                              const ServerAddress& address) const {
    const std::string key = ServerKey(protocol, address);
    for (const std::string& line : m_lines.Lines()) {
        if (!line.starts_with(key)) continue;
        const std::string fingerprint = line.substr(key.size());
        if (!fingerprint.empty() && fingerprint.find(' ') == std::string::npos) return fingerprint;
    }
    return std::nullopt;
}

void KnownServers::Remember(FetchProtocol protocol, const ServerAddress& address,
                            const std::string& fingerprint) {
    if (!m_unreadPath.empty()) throw Error(NotLoadedErrorText(m_unreadPath));
    const std::string key = ServerKey(protocol, address);
    TextList lines;
    for (const std::string& line : m_lines.Lines())
        if (!line.starts_with(key)) lines.Add(line);
    lines.Add(key + fingerprint);
    lines.SaveToFile(m_path);
    m_lines = std::move(lines);
}

}  // namespace pomurina
