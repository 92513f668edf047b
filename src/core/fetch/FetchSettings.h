#pragma once
// The stored connection settings of the log fetch, materia/FTPSetting.dat:
// server, account, password and remote directory on lines 1 to 4, as the
// older program wrote them, then the protocol (line 5: ftp, ftps or sftp) and
// the mode (line 6: active or passive).  A four-line file means plain FTP in
// active mode; the older program reading a six-line file still finds its
// four lines.
#include <string>
#include <string_view>

#include "text/TextList.h"

namespace pomurina {

// The name of the file inside materia/.
inline constexpr char kFetchSettingsFile[] = "FTPSetting.dat";

// How the log travels: plain FTP, FTP with explicit TLS (AUTH TLS), or SFTP.
enum class FetchProtocol { Ftp, Ftps, Sftp };

struct FetchSettings {
    std::string server;  // host, host:port or [IPv6 address]:port
    std::string account;
    std::string password;
    std::string directory;  // joined to the file name by RemotePath
    FetchProtocol protocol = FetchProtocol::Ftp;
    bool passive = false;  // FTP and FTPS only
};

// The protocols in the order the window offers them.
struct FetchProtocolNames {
    FetchProtocol protocol;
    std::string_view name;     // "ftp", "ftps", "sftp": the names of line 5
    std::string_view caption;  // "FTP", "FTPS", "SFTP": the names the user sees
};
inline constexpr FetchProtocolNames kFetchProtocols[] = {
    {FetchProtocol::Ftp, "ftp", "FTP"},
    {FetchProtocol::Ftps, "ftps", "FTPS"},
    {FetchProtocol::Sftp, "sftp", "SFTP"},
};

// The protocol's names in kFetchProtocols.
std::string_view ProtocolName(FetchProtocol protocol);
std::string_view ProtocolCaption(FetchProtocol protocol);
// 21 for FTP and FTPS, 22 for SFTP.
int DefaultPort(FetchProtocol protocol);

// Fills settings from the lines in order: the four text lines (a missing one
// throws ListIndexError, leaving the lines before it in place), then the
// protocol and the mode when present.  A fifth or sixth line that says
// nothing known throws Error naming file (its full path), the line and what
// it may say; letter case and surrounding blanks are ignored, and an empty
// line counts as absent.
void ReadFetchSettings(const TextList& lines, const std::string& file, FetchSettings& settings);

// Reads the settings file (FileOpenError, then as ReadFetchSettings).
FetchSettings LoadFetchSettings(const std::string& file);
// Writes the six lines whole, owner-only (it holds the password); throws FileCreateError.
void SaveFetchSettings(const std::string& file, const FetchSettings& settings);

}  // namespace pomurina
