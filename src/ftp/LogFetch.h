#pragma once
// The fetch of a log as the FTP window's connect button makes it, shared by
// the window and the report tool's --fetch: the stored settings, a session,
// the trust in the server, and the local copy in logs/.
#include <functional>
#include <string>

#include "FtpSession.h"
#include "fetch/FetchFailure.h"
#include "fetch/FetchSettings.h"

namespace pomurina {

struct FetchPlaces {
    // The data folder, which holds logs/; made the current directory.
    std::string dataFolder;
    // The folder of the known servers' file: relative to the data folder, or absolute.
    std::string materiaDirectory = "materia";
};

// Asked when the server shows a host key or certificate that nobody has
// trusted yet (report.fingerprint): whether to trust it from now on.
using TrustDecision = std::function<bool(const FetchReport& report)>;

// How a fetch ended: success is a report without a failure.
struct FetchOutcome {
    // "logs/" + the file name, relative to the data folder.
    std::string localPath;
    // Why it failed (failure None after a success).
    FetchReport report;

    bool Ok() const { return report.failure == FetchFailure::None; }
};

// Fetches fileName (Shift-JIS) in settings.directory, joined by RemotePath,
// into logs/fileName:
// - a file name that would put the copy anywhere but directly in logs/
//   throws Error before any connection;
// - names ending in .gz, .bz2, .xz or .zst travel in binary over FTP and
//   FTPS, others as text; SFTP moves bytes as they are;
// - the server is trusted when the system's store vouches for its
//   certificate or its fingerprint is in the known servers' file; an unknown
//   one is put to decide, and when it is trusted it is remembered there
//   (FileCreateError when the file can't be written) and the fetch is made
//   again; a changed one fails, and so does an unknown one when the file
//   was not read whole (KnownServersUnread: it may be there).
// The old copy is replaced only by a whole transfer, and a transfer stops
// (TooLarge) before the copy would take the disk's last free space
// (FetchSizeLimit).
FetchOutcome FetchLog(TFtpManager& ftp, const FetchSettings& settings, const std::string& fileName,
                      const FetchPlaces& places, const TrustDecision& decide);

}  // namespace pomurina
