#pragma once
// Logs fetched from the web host are kept in the archive of the server's
// site, unless the user turned that off in the FTP window: one setting for
// the window and the report tool's --fetch, so a cron job builds the history
// as the window would.
#include <string>
#include <string_view>

namespace pomurina {

// The key in materia/window.ini ("0": off; anything else or none: on).
inline constexpr std::string_view kImportFetchedSetting = "FtpImportToArchive";

// Whether fetched logs are imported, as the window.ini in materiaFolder says.
bool ImportsFetchedLogs(const std::string& materiaFolder);
// Writes that choice there.
void SetImportsFetchedLogs(const std::string& materiaFolder, bool on);

// The site of a fetch setting's server: its host, without port or brackets.
std::string SiteOfServer(const std::string& server);

}  // namespace pomurina
