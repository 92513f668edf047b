#pragma once
// Why a fetch failed, and the message the user gets: the message the
// program always gave, followed by the cause and what to check.
#include <string>

#include "fetch/FetchSettings.h"

namespace pomurina {

enum class FetchFailure {
    None,
    BadServer,              // the server field names no host or port
    LineEnd,                // a CR or LF in a field (it would end a command)
    ActiveFtpsUnsupported,  // the library on this system can't do active FTPS
    HostNotFound,
    ConnectionRefused,
    ConnectFailed,     // unreachable, or no answer in time
    TimedOut,          // the server stopped answering or sending
    NoDataConnection,  // active mode: the server's data connection never came
    WrongPassword,
    TlsNotOffered,       // FTPS asked for, AUTH TLS refused
    TlsFailed,           // the TLS handshake broke for another reason
    CertificateUnknown,  // neither vouched for by the system's store nor trusted
    CertificateChanged,  // differs from the one trusted before
    HostKeyUnknown,
    HostKeyChanged,
    KnownServersUnread,  // unknown, and the trusted servers' file was not read whole
    FileNotFound,
    PermissionDenied,
    LocalWrite,  // the copy could not be written in logs/
    TooLarge,    // the log grew past what the disk can take (detail: the limit)
    Other,
};

// Whether the failure is a server nobody has trusted yet (a certificate or a
// host key): the user may then be asked to trust it.
inline bool IsUnknownServer(FetchFailure failure) {
    return failure == FetchFailure::CertificateUnknown || failure == FetchFailure::HostKeyUnknown;
}

// What a failure message names.
struct FetchReport {
    FetchFailure failure = FetchFailure::None;
    FetchProtocol protocol = FetchProtocol::Ftp;
    std::string server;       // the server field as typed (Shift-JIS)
    std::string address;      // host:port connected to
    std::string remote;       // the remote name asked for (Shift-JIS)
    std::string local;        // the local copy's path (file-system bytes)
    std::string fingerprint;  // the server's, when the failure is about trust
    std::string detail;       // the library's or the system's own words, or why a file wasn't read
};

// "ダウンロードに失敗しました。" and "接続設定、ファイル名設定を見直してください。"
// joined by a carriage return: the message of every failed download.
std::string DownloadFailureText();

// The message of a failed fetch: the download failure message, a carriage
// return, then the cause (lines joined by carriage returns).
std::string FetchFailureText(const FetchReport& report);

// The question asked before a server's certificate or host key is trusted:
// the server, its SHA-256 fingerprint and what to compare it with.
std::string TrustQuestionText(const FetchReport& report);

}  // namespace pomurina
