#pragma once
// The servers the user has trusted, materia/KnownServers.dat: one line per
// server, "protocol host:port fingerprint" (for example
// "sftp example.jp:22 SHA256:..." or "ftps [2001:db8::1]:21 AB:CD:..."), so
// that a host key or certificate accepted once is recognised, and a changed
// one is noticed.  Other lines (comments, anything unreadable) are kept as
// they are.
//
// A line names its server in whatever form a hand or an editor left it:
// blanks and tabs anywhere, a protocol or host in capitals, the default port
// left out, a line end of any kind.  A server named by any line is known, so
// a changed key is refused and never offered for trust as a new one.
#include <optional>
#include <string>

#include "fetch/FetchSettings.h"
#include "fetch/ServerAddress.h"
#include "text/TextList.h"

namespace pomurina {

// The name of the file inside materia/.
inline constexpr char kKnownServersFile[] = "KnownServers.dat";

class KnownServers {
public:
    // Reads the file (up to 1 MiB; a larger one is not read at all); a
    // missing file is an empty list.  A file that is there but can't be
    // opened throws FileOpenError: nothing is known for sure then.
    explicit KnownServers(std::string path);

    // The fingerprint remembered for the server, if any ("" when its line
    // holds none, which no server's fingerprint matches).
    std::optional<std::string> Find(FetchProtocol protocol, const ServerAddress& address) const;
    // Why the file was not read whole (Shift-JIS: a zero byte, a line too
    // long, the size, a read error), or "": a server that Find doesn't know
    // may then be in the part not read.
    const std::string& Unread() const { return m_unread; }
    // Adds or replaces the server's lines and writes the file whole
    // (FileCreateError when it can't be written; the file is then unchanged).
    // A file not read whole is never written: Error (NotLoadedErrorText
    // naming it), the file unchanged.
    void Remember(FetchProtocol protocol, const ServerAddress& address,
                  const std::string& fingerprint);

private:
    std::string m_path;
    TextList m_lines;
    std::string m_unread;
};

}  // namespace pomurina
