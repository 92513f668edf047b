#include "FtpSession.h"

#include <curl/curl.h>

#include <algorithm>
#include <cstdint>
#include <deque>
#include <limits>
#include <memory>

#include "Errors.h"
#include "FailureCause.h"
#include "ServerCheck.h"
#include "io/FileReplacement.h"
#include "text/Cp932.h"

namespace pomurina {
namespace {

const char kAgentName[] = "Mozilla/4.0 (compatible; MSIE 5.5; Windows 98)";

void InitialiseLibraryOnce() {
    static const bool initialised = curl_global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK;
    static_cast<void>(initialised);
}

struct UrlDeleter {
    void operator()(CURLU* url) const { curl_url_cleanup(url); }
};
using UrlHandle = std::unique_ptr<CURLU, UrlDeleter>;

// The URL of the remote file: ftp:// (for FTPS too: explicit TLS starts on
// the plain port) or sftp://, then the remote name with every byte but the
// unreserved ones escaped, so the server receives the name exactly as given,
// slashes and all, and no character can end a command early.  A name that
// starts with "~/" is taken from the login directory, as a shell takes it,
// like a name without a leading "/" (which SFTP names as "/~/").
UrlHandle RemoteUrl(CURL* handle, FetchProtocol protocol, std::string host, int port,
                    std::string remote) {
    UrlHandle url(curl_url());
    if (!url) return nullptr;
    if (host.find(':') != std::string::npos && host.front() != '[') host = "[" + host + "]";
    const bool sftp = protocol == FetchProtocol::Sftp;
    if (remote.starts_with("~/")) remote.erase(0, 2);
    if (remote.empty()) return nullptr;
    const bool absolute = remote.front() == '/';
    const std::string name = sftp && absolute ? remote.substr(1) : remote;
    char* escaped = curl_easy_escape(handle, name.data(), static_cast<int>(name.size()));
    if (!escaped) return nullptr;
    const std::string path = (sftp && !absolute ? "/~/" : "/") + std::string(escaped);
    curl_free(escaped);
    const std::string portText = std::to_string(port);
    const bool ok =
        curl_url_set(url.get(), CURLUPART_SCHEME, sftp ? "sftp" : "ftp", 0) == CURLUE_OK &&
        curl_url_set(url.get(), CURLUPART_HOST, host.c_str(), 0) == CURLUE_OK &&
        curl_url_set(url.get(), CURLUPART_PORT, portText.c_str(), 0) == CURLUE_OK &&
        curl_url_set(url.get(), CURLUPART_PATH, path.c_str(), 0) == CURLUE_OK;
    return ok ? std::move(url) : nullptr;
}

// libcurl from 7.87.0 until 8.0.0 never starts TLS on an active-mode data
// connection: the transfer would hang until the server gives up.
bool ActiveFtpsBroken() {
    const unsigned version = curl_version_info(CURLVERSION_NOW)->version_num;
    return version >= 0x075700 && version < 0x080000;
}

// A transfer ends when less than the speed floor allows has arrived over the
// last stall limit: nothing at all (a silent server) or a drip of a byte every
// few seconds (a server that would hold the window for ever).  The library's
// own low-speed check looks at the speed of the last few seconds only.
class SpeedWatch {
public:
    SpeedWatch(std::chrono::milliseconds window, long floorBytesPerSecond)
        : m_window(window),
          m_least(static_cast<double>(floorBytesPerSecond) *
                  std::chrono::duration<double>(window).count()) {}

    // Whether the transfer, having received bytes in all by now, is too slow.
    bool TooSlow(curl_off_t received) {
        const auto now = std::chrono::steady_clock::now();
        if (m_samples.empty() || now - m_samples.back().at >= m_window / 16)
            m_samples.push_back({now, received});
        // The front stays the newest sample that is at least a window old.
        while (m_samples.size() > 1 && now - m_samples[1].at >= m_window) m_samples.pop_front();
        const Sample& start = m_samples.front();
        return now - start.at >= m_window &&
               static_cast<double>(received - start.received) < m_least;
    }

private:
    struct Sample {
        std::chrono::steady_clock::time_point at;
        curl_off_t received;
    };
    std::chrono::milliseconds m_window;
    double m_least;  // bytes that must arrive within every window
    std::deque<Sample> m_samples;
};

int AbortWhenTooSlow(void* watch, curl_off_t, curl_off_t received, curl_off_t, curl_off_t) {
    return static_cast<SpeedWatch*>(watch)->TooSlow(received) ? 1 : 0;
}

bool HasLineEnd(const std::string& text) {
    return text.find_first_of("\r\n") != std::string::npos;
}

// Where the received bytes go, how many may come, and the first error in
// writing them.
struct LocalCopy {
    FileReplacement file;
    std::uint64_t room = UINT64_MAX;  // bytes that may still come
    bool tooLarge = false;
    int error = 0;
};

size_t WriteToFile(char* data, size_t size, size_t count, void* copy) {
    const size_t bytes = size * count;
    auto& local = *static_cast<LocalCopy*>(copy);
    // A server that sends without end must not fill the disk.
    if (bytes > local.room) {
        local.tooLarge = true;
        return 0;
    }
    local.room -= bytes;
    local.error = local.file.Write({data, bytes});
    return local.error == 0 ? bytes : 0;
}

// Every reply of an FTP server comes here; the last refusal tells a file
// that may not be read from one that is missing (the goodbye may follow it).
size_t KeepLastRefusal(char* data, size_t size, size_t count, void* reply) {
    const size_t bytes = size * count;
    if (bytes > 0 && (data[0] == '4' || data[0] == '5')) {
        std::string& last = *static_cast<std::string*>(reply);
        last.assign(data, bytes);
        while (!last.empty() && (last.back() == '\n' || last.back() == '\r')) last.pop_back();
    }
    return bytes;
}

TransferOutcome Failed(FetchFailure failure, std::string detail = {}) {
    return {failure, {}, std::move(detail)};
}

}  // namespace

void CurlHandleDeleter::operator()(void* handle) const {
    curl_easy_cleanup(handle);
}

TInetManager::TInetManager() {
    InitialiseLibraryOnce();
    SessionHandle.reset(curl_easy_init());
    CURL* session = SessionHandle.get();
    if (!session) return;  // every connection then fails
    curl_easy_setopt(session, CURLOPT_USERAGENT, kAgentName);
    // An empty proxy means a direct connection even when the environment names a proxy.
    curl_easy_setopt(session, CURLOPT_PROXY, "");
    curl_easy_setopt(session, CURLOPT_PROTOCOLS_STR, "ftp,sftp");
}

TInetManager::~TInetManager() = default;

void TFtpManager::SetTimeLimits(std::chrono::milliseconds connect,
                                std::chrono::milliseconds stall) {
    m_connectLimit = connect;
    m_stallLimit = stall;
}

void TFtpManager::Connect() {
    Disconnect();
    if (!SessionHandle) return;
    ConnectionHandle.reset(curl_easy_duphandle(SessionHandle.get()));
    CURL* c = ConnectionHandle.get();
    if (!c) return;
    // An empty account logs in as anonymous, as the platform's library did.
    if (!m_userName.empty()) {
        curl_easy_setopt(c, CURLOPT_USERNAME, m_userName.c_str());
        curl_easy_setopt(c, CURLOPT_PASSWORD, m_passWord.c_str());
    }
    // Only the protocol chosen, whatever a URL would say.
    curl_easy_setopt(c, CURLOPT_PROTOCOLS_STR, m_protocol == FetchProtocol::Sftp ? "sftp" : "ftp");
    // Active mode: the server opens the data connection to the address of
    // the control connection.  Passive mode is the library's own (EPSV, then
    // PASV, to the address of the control connection).
    if (!m_passive) curl_easy_setopt(c, CURLOPT_FTPPORT, "-");
    if (m_protocol == FetchProtocol::Ftps) {
        // AUTH TLS before the account, and every data connection in TLS too;
        // a server that refuses TLS is left before anything is sent.
        curl_easy_setopt(c, CURLOPT_USE_SSL, static_cast<long>(CURLUSESSL_ALL));
        curl_easy_setopt(c, CURLOPT_FTPSSLAUTH, static_cast<long>(CURLFTPAUTH_TLS));
    }
    // The password alone: no keys or agent of whoever runs the program.
    curl_easy_setopt(c, CURLOPT_SSH_AUTH_TYPES,
                     static_cast<long>(CURLSSH_AUTH_PASSWORD | CURLSSH_AUTH_KEYBOARD));
    // The remote name is asked for whole; changing directories first would
    // change what a relative name means.
    curl_easy_setopt(c, CURLOPT_FTP_FILEMETHOD, static_cast<long>(CURLFTPMETHOD_NOCWD));
    curl_easy_setopt(c, CURLOPT_FRESH_CONNECT, 1L);
    curl_easy_setopt(c, CURLOPT_FORBID_REUSE, 1L);
    // An unreachable or silent server must not hold the window for minutes.
    // The server's answers to commands are held to the stall limit too
    // (whole seconds, rounded up).
    const long connectMs = static_cast<long>(m_connectLimit.count());
    const long stallSeconds = static_cast<long>((m_stallLimit.count() + 999) / 1000);
    curl_easy_setopt(c, CURLOPT_CONNECTTIMEOUT_MS, connectMs);
    curl_easy_setopt(c, CURLOPT_ACCEPTTIMEOUT_MS, connectMs);
    curl_easy_setopt(c, CURLOPT_SERVER_RESPONSE_TIMEOUT, stallSeconds);
}

void TFtpManager::Disconnect() {
    ConnectionHandle.reset();
}

TransferOutcome TFtpManager::GetFile(const std::string& remote, const std::string& local,
                                     TTransferMode mode) {
    Connect();
    TransferOutcome outcome = Transfer(remote, local, mode);
    Disconnect();
    return outcome;
}

TransferOutcome TFtpManager::Transfer(const std::string& remote, const std::string& local,
                                      TTransferMode mode) {
    CURL* c = ConnectionHandle.get();
    if (!c)
        return Failed(FetchFailure::Other,
                      Utf8ToCp932("libcurl.so.4 を読み込めないか、初期化できません"));
    // A name ending in "/" names a directory: the library would fetch its
    // listing instead of a file.
    if (remote.empty() || remote.back() == '/') return Failed(FetchFailure::FileNotFound);
    // The library sends the account as it is: a line end in a pasted text
    // would send commands of its own.
    for (const std::string* text : std::initializer_list<const std::string*>{
             &m_userName, &m_passWord, &m_serverName, &remote})
        if (HasLineEnd(*text)) return Failed(FetchFailure::LineEnd);
    if (m_serverName.empty()) return Failed(FetchFailure::BadServer);
    if (m_protocol == FetchProtocol::Ftps && !m_passive && ActiveFtpsBroken())
        return Failed(FetchFailure::ActiveFtpsUnsupported,
                      curl_version_info(CURLVERSION_NOW)->version);
    const UrlHandle url = RemoteUrl(c, m_protocol, m_serverName, m_port, remote);
    if (!url) return Failed(FetchFailure::BadServer);
    // The server is judged before the account is sent; where the library
    // can't let it be judged, nothing is sent at all.
    ServerCheck check;
    check.host = m_serverName;
    check.trusted = m_trusted;
    if (m_protocol == FetchProtocol::Ftps && !InstallCertificateCheck(c, check))
        return Failed(FetchFailure::TlsFailed, "OpenSSL");
    if (m_protocol == FetchProtocol::Sftp && !InstallHostKeyCheck(c, check))
        return Failed(FetchFailure::Other, "CURLOPT_SSH_HOSTKEYFUNCTION");
    // Received beside the old copy, which is replaced only by a whole transfer.
    LocalCopy copy{FileReplacement(local)};
    if (const int error = copy.file.Open())
        return Failed(FetchFailure::LocalWrite, SystemErrorText(error));
    // A size the server announces is refused at once; others at the limit.
    if (m_sizeLimit) {
        copy.room = *m_sizeLimit;
        constexpr auto kLargest =
            static_cast<std::uint64_t>(std::numeric_limits<curl_off_t>::max());
        curl_easy_setopt(c, CURLOPT_MAXFILESIZE_LARGE,
                         static_cast<curl_off_t>(std::min(copy.room, kLargest)));
    }
    curl_easy_setopt(c, CURLOPT_CURLU, url.get());
    curl_easy_setopt(c, CURLOPT_TRANSFERTEXT, mode == TTransferMode::Text ? 1L : 0L);
    curl_easy_setopt(c, CURLOPT_WRITEFUNCTION, WriteToFile);
    curl_easy_setopt(c, CURLOPT_WRITEDATA, &copy);
    std::string lastRefusal;
    curl_easy_setopt(c, CURLOPT_HEADERFUNCTION, KeepLastRefusal);
    curl_easy_setopt(c, CURLOPT_HEADERDATA, &lastRefusal);
    char errorText[CURL_ERROR_SIZE] = "";
    curl_easy_setopt(c, CURLOPT_ERRORBUFFER, errorText);
    SpeedWatch watch(m_stallLimit, m_speedFloor);
    curl_easy_setopt(c, CURLOPT_XFERINFOFUNCTION, AbortWhenTooSlow);
    curl_easy_setopt(c, CURLOPT_XFERINFODATA, &watch);
    curl_easy_setopt(c, CURLOPT_NOPROGRESS, 0L);
    const CURLcode result = curl_easy_perform(c);
    TransferTrace trace;
    trace.code = result;
    trace.protocol = m_protocol;
    trace.passive = m_passive;
    curl_off_t connectTime = 0;
    curl_easy_getinfo(c, CURLINFO_CONNECT_TIME_T, &connectTime);
    curl_easy_getinfo(c, CURLINFO_OS_ERRNO, &trace.systemError);
    trace.connected = connectTime > 0;
    trace.lastRefusal = lastRefusal;
    // The handle must not point at what ends with this call.
    curl_easy_setopt(c, CURLOPT_CURLU, nullptr);
    curl_easy_setopt(c, CURLOPT_WRITEDATA, nullptr);
    curl_easy_setopt(c, CURLOPT_HEADERDATA, nullptr);
    curl_easy_setopt(c, CURLOPT_ERRORBUFFER, nullptr);
    curl_easy_setopt(c, CURLOPT_XFERINFODATA, nullptr);
    curl_easy_setopt(c, CURLOPT_SSL_CTX_DATA, nullptr);
    curl_easy_setopt(c, CURLOPT_SSH_HOSTKEYDATA, nullptr);
    TransferOutcome outcome;
    outcome.fingerprint = check.seen;
    if (result == CURLE_OK) {
        if (const int error = copy.file.Commit()) {
            outcome.failure = FetchFailure::LocalWrite;
            outcome.detail = SystemErrorText(error);
        }
    } else if (check.verdict != FetchFailure::None) {
        outcome.failure = check.verdict;
    } else if (copy.tooLarge || result == CURLE_FILESIZE_EXCEEDED) {
        outcome.failure = FetchFailure::TooLarge;
        outcome.detail = std::to_string(m_sizeLimit.value_or(0));
    } else if (copy.error != 0) {
        outcome.failure = FetchFailure::LocalWrite;
        outcome.detail = SystemErrorText(copy.error);
    } else {
        outcome.failure = FailureCause(trace);
        outcome.detail = *errorText ? errorText : curl_easy_strerror(result);
    }
    return outcome;
}

}  // namespace pomurina
