#pragma once
// The servers the user has trusted, materia/KnownServers.dat: one line per
// server, "protocol host:port fingerprint" (for example
// "sftp example.jp:22 SHA256:..." or "ftps [2001:db8::1]:21 AB:CD:..."), so
// that a host key or certificate accepted once is recognised, and a changed
// one is noticed.  Other lines (comments, anything unreadable) are kept as
// they are.
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
    // Reads the file; a missing file is an empty list.  A file that is there
    // but can't be read throws FileOpenError: nothing is known for sure then.
    explicit KnownServers(std::string path);

    // The fingerprint remembered for the server, if any.
    std::optional<std::string> Find(FetchProtocol protocol, const ServerAddress& address) const;
    // Adds or replaces the server's line and writes the file whole
    // (FileCreateError when it can't be written; the file is then unchanged).
    // A file read only up to a zero byte is never written: Error
    // (NotLoadedErrorText naming it), the file unchanged.
    void Remember(FetchProtocol protocol, const ServerAddress& address,
                  const std::string& fingerprint);

private:
    std::string m_path;
    TextList m_lines;
    std::string m_unreadPath;  // the full path (as shown) of a file cut short at a zero byte
};

}  // namespace pomurina
