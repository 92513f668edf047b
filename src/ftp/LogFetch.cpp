#include "LogFetch.h"

#include <utility>

#include "fetch/FetchSizeLimit.h"
#include "fetch/KnownServers.h"
#include "fetch/LogFileName.h"
#include "fetch/RemotePath.h"
#include "fetch/ServerAddress.h"
#include "io/DataFolder.h"
#include "io/FileIo.h"
#include "text/Cp932.h"

namespace pomurina {

FetchOutcome FetchLog(TFtpManager& ftp, const FetchSettings& settings, const std::string& fileName,
                      const FetchPlaces& places, const TrustDecision& decide) {
    // The name becomes the local copy's name in logs/: it must not lead
    // anywhere else.
    const std::string localName = Cp932ToUtf8(fileName);
    CheckLogFileName(localName);

    FetchOutcome outcome;
    FetchReport& report = outcome.report;
    report.protocol = settings.protocol;
    report.server = settings.server;
    report.remote = RemotePath(settings.directory, fileName);
    // Every data file is named relative to the data folder.
    EnterFolder(places.dataFolder);
    outcome.localPath = "logs/" + localName;
    report.local = FullPath(outcome.localPath);

    const auto address = ParseServerAddress(settings.server, DefaultPort(settings.protocol));
    if (!address) {
        report.failure = FetchFailure::BadServer;
        return outcome;
    }
    report.address = address->Text();
    KnownServers known(places.materiaDirectory + "/" + kKnownServersFile);

    ftp.SetServerName(address->host);
    ftp.SetPort(address->port);
    ftp.SetUserName(settings.account);
    ftp.SetPassWord(settings.password);
    ftp.SetProtocol(settings.protocol);
    ftp.SetPassive(settings.passive);
    ftp.SetTrustedFingerprint(known.Find(settings.protocol, *address));
    // The copy may not fill the disk that holds it.
    ftp.SetSizeLimit(FetchSizeLimit("logs"));
    // A compressed log must arrive byte for byte; SFTP never converts.
    const TTransferMode mode =
        settings.protocol != FetchProtocol::Sftp && !IsCompressedLogName(fileName)
            ? TTransferMode::Text
            : TTransferMode::Binary;

    const auto fetch = [&] {
        TransferOutcome transfer = ftp.GetFile(report.remote, outcome.localPath, mode);
        report.failure = transfer.failure;
        report.fingerprint = std::move(transfer.fingerprint);
        report.detail = std::move(transfer.detail);
    };
    fetch();
    // A server the file doesn't name may be in the part not read: it is
    // neither offered for trust nor remembered over what wasn't read.
    if (IsUnknownServer(report.failure) && !known.Unread().empty()) {
        report.failure = FetchFailure::KnownServersUnread;
        report.detail = known.Unread();
    } else if (IsUnknownServer(report.failure) && decide && decide(report)) {
        known.Remember(settings.protocol, *address, report.fingerprint);
        ftp.SetTrustedFingerprint(report.fingerprint);
        fetch();
    }
    return outcome;
}

}  // namespace pomurina
