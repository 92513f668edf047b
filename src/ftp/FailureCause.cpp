#include "FailureCause.h"

#include <curl/curl.h>

#include <cerrno>

#include "text/CaseFold.h"

namespace pomurina {
namespace {

// FTP servers answer 550 both for a missing file and for one the account may
// not read; only the words of the reply tell them apart.
bool SaysNotPermitted(const std::string& text) {
    const std::string reply = AsciiLower(text);
    for (const char* word : {"denied", "permission", "privilege", "not allowed"})
        if (reply.find(word) != std::string::npos) return true;
    return false;
}

}  // namespace

FetchFailure FailureCause(const TransferTrace& trace) {
    switch (static_cast<CURLcode>(trace.code)) {
        case CURLE_OK:
            return FetchFailure::None;
        case CURLE_COULDNT_RESOLVE_HOST:
            return FetchFailure::HostNotFound;
        case CURLE_COULDNT_CONNECT:
            return trace.systemError == ECONNREFUSED ? FetchFailure::ConnectionRefused
                                                     : FetchFailure::ConnectFailed;
        case CURLE_OPERATION_TIMEDOUT:
        case CURLE_ABORTED_BY_CALLBACK:  // below the speed floor
            return trace.connected ? FetchFailure::TimedOut : FetchFailure::ConnectFailed;
        case CURLE_FTP_ACCEPT_FAILED:
        case CURLE_FTP_ACCEPT_TIMEOUT:
        case CURLE_FTP_PORT_FAILED:
            return trace.passive ? FetchFailure::Other : FetchFailure::NoDataConnection;
        case CURLE_LOGIN_DENIED:
            return FetchFailure::WrongPassword;
        case CURLE_USE_SSL_FAILED:
            return FetchFailure::TlsNotOffered;
        case CURLE_SSL_CONNECT_ERROR:
        case CURLE_PEER_FAILED_VERIFICATION:
        case CURLE_SSL_CERTPROBLEM:
        case CURLE_SSL_CIPHER:
        case CURLE_SSL_CACERT_BADFILE:
        case CURLE_SSL_SHUTDOWN_FAILED:
        case CURLE_SSL_CRL_BADFILE:
        case CURLE_SSL_ISSUER_ERROR:
            return trace.protocol == FetchProtocol::Ftps ? FetchFailure::TlsFailed
                                                         : FetchFailure::Other;
        case CURLE_REMOTE_FILE_NOT_FOUND:
        case CURLE_FTP_COULDNT_RETR_FILE:
            if (trace.protocol != FetchProtocol::Sftp && SaysNotPermitted(trace.lastRefusal))
                return FetchFailure::PermissionDenied;
            return trace.code == CURLE_REMOTE_FILE_NOT_FOUND ? FetchFailure::FileNotFound
                                                             : FetchFailure::Other;
        case CURLE_REMOTE_ACCESS_DENIED:
            return FetchFailure::PermissionDenied;
        default:
            return FetchFailure::Other;
    }
}

}  // namespace pomurina
