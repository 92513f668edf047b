#include "fetch/KnownServers.h"

#include <arpa/inet.h>

#include <algorithm>
#include <cerrno>
#include <string_view>
#include <vector>

#include "Errors.h"
#include "io/FileIo.h"
#include "lists/ReferenceListFile.h"
#include "text/CaseFold.h"
#include "text/Cp932.h"

namespace pomurina {
namespace {

// A file larger than this is not read: the list is a few lines per server.
constexpr std::size_t kLargestFile = std::size_t{1} << 20;
// Longer lines are no server's (a host name has at most 253 bytes).
constexpr std::size_t kLongestLine = 1024;

// The host as one server has it whatever its form: letters in lower case,
// no final full stop, an IP address in its shortest form.
std::string CanonicalHost(const std::string& host) {
    std::string folded = AsciiLower(host);
    if (folded.size() > 1 && folded.back() == '.') folded.pop_back();
    unsigned char binary[16];
    char text[INET6_ADDRSTRLEN];
    if (::inet_pton(AF_INET6, folded.c_str(), binary) == 1 &&
        ::inet_ntop(AF_INET6, binary, text, sizeof text))
        return text;
    return folded;
}

// The protocol and address part of a server's line as it is written.
std::string ServerKey(FetchProtocol protocol, const ServerAddress& address) {
    const ServerAddress canonical{CanonicalHost(address.host), address.port};
    return std::string(ProtocolName(protocol)) + " " + canonical.Text() + " ";
}

// The words of a line: what stands between blanks and control characters.
std::vector<std::string_view> Words(std::string_view line) {
    std::vector<std::string_view> words;
    const auto blank = [](char c) { return static_cast<unsigned char>(c) <= ' ' || c == 0x7F; };
    for (auto at = line.begin(); at != line.end();) {
        at = std::find_if_not(at, line.end(), blank);
        const auto end = std::find_if(at, line.end(), blank);
        if (at != end) words.emplace_back(at, end);
        at = end;
    }
    return words;
}

// Whether the line names the server; its third word is then the fingerprint.
bool Names(std::string_view line, FetchProtocol protocol, const ServerAddress& address,
           std::string* fingerprint = nullptr) {
    const std::vector<std::string_view> words = Words(line);
    if (words.size() < 2 || AsciiLower(words[0]) != ProtocolName(protocol)) return false;
    const auto named = ParseServerAddress(words[1], DefaultPort(protocol));
    if (!named || named->port != address.port ||
        CanonicalHost(named->host) != CanonicalHost(address.host))
        return false;
    if (fingerprint) *fingerprint = words.size() > 2 ? std::string(words[2]) : std::string();
    return true;
}

std::string TooLargeText() {
    return std::to_string(kLargestFile) + Utf8ToCp932(" バイトを超えています");
}

// Reads the file's first bytes, at most one more than kLargestFile; returns
// the open's error number.  A read that fails keeps the whole lines before
// it and says why in unread.
int ReadStart(const std::string& path, std::string& bytes, std::string& unread) {
    const FileIo& io = CurrentFileIo();
    int fd = -1;
    std::size_t size = 0;
    if (const int error = OpenRegularFile(path, fd, size)) return error;
    char buffer[65536];
    while (size <= kLargestFile && bytes.size() <= kLargestFile) {
        const ssize_t n = io.read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            unread = SystemErrorText(errno);
            bytes.erase(std::min(bytes.size(), bytes.find_last_of("\r\n") + 1));
            break;
        }
        if (n == 0) break;
        bytes.append(buffer, static_cast<std::size_t>(n));
    }
    io.close(fd);
    if (size > kLargestFile || bytes.size() > kLargestFile) {
        unread = TooLargeText();
        bytes.clear();
    }
    return 0;
}

}  // namespace

KnownServers::KnownServers(std::string path) : m_path(std::move(path)) {
    std::string bytes;
    const int error = ReadStart(m_path, bytes, m_unread);
    if (error == ENOENT) return;
    if (error != 0) throw FileOpenFailure(m_path, error);
    // A zero byte is where something was lost (a crash leaves zeros in place
    // of a block): the lines around it are read, but what it replaced is gone.
    if (m_unread.empty() && bytes.find('\0') != std::string::npos)
        m_unread = Utf8ToCp932("ゼロのバイトがあります");
    std::replace(bytes.begin(), bytes.end(), '\0', '\n');
    m_lines.SetText(bytes);
    const auto tooLong = [](const std::string& line) { return line.size() > kLongestLine; };
    if (m_unread.empty() && std::any_of(m_lines.Lines().begin(), m_lines.Lines().end(), tooLong))
        m_unread = Utf8ToCp932("長すぎる行があります");
}

std::optional<std::string> KnownServers::Find(FetchProtocol protocol,
                                              const ServerAddress& address) const {
    std::string fingerprint;
    for (const std::string& line : m_lines.Lines())
        if (line.size() <= kLongestLine && Names(line, protocol, address, &fingerprint))
            return fingerprint;
    return std::nullopt;
}

void KnownServers::Remember(FetchProtocol protocol, const ServerAddress& address,
                            const std::string& fingerprint) {
    if (!m_unread.empty()) throw Error(NotLoadedErrorText(PathText(FullPath(m_path))));
    TextList lines;
    for (const std::string& line : m_lines.Lines())
        if (!Names(line, protocol, address)) lines.Add(line);
    lines.Add(ServerKey(protocol, address) + fingerprint);
    lines.SaveToFile(m_path);
    m_lines = std::move(lines);
}

}  // namespace pomurina
