#include "FtpSession.h"

#include <curl/curl.h>

#include <deque>
#include <memory>

#include "io/FileReplacement.h"

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

// ftp://server:port/ followed by the remote name with every byte but the
// unreserved ones escaped: the server then receives the name exactly as
// given, slashes and all, and no character can end the command early.
UrlHandle RemoteUrl(CURL* handle, std::string host, int port, const std::string& remote) {
    UrlHandle url(curl_url());
    if (!url) return nullptr;
    if (host.find(':') != std::string::npos && host.front() != '[') host = "[" + host + "]";
    char* escaped = curl_easy_escape(handle, remote.data(), static_cast<int>(remote.size()));
    if (!escaped) return nullptr;
    const std::string path = std::string("/") + escaped;
    curl_free(escaped);
    const std::string portText = std::to_string(port);
    const bool ok = curl_url_set(url.get(), CURLUPART_SCHEME, "ftp", 0) == CURLUE_OK &&
                    curl_url_set(url.get(), CURLUPART_HOST, host.c_str(), 0) == CURLUE_OK &&
                    curl_url_set(url.get(), CURLUPART_PORT, portText.c_str(), 0) == CURLUE_OK &&
                    curl_url_set(url.get(), CURLUPART_PATH, path.c_str(), 0) == CURLUE_OK;
    return ok ? std::move(url) : nullptr;
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

size_t WriteToFile(char* data, size_t size, size_t count, void* file) {
    const size_t bytes = size * count;
    return static_cast<FileReplacement*>(file)->Write({data, bytes}) == 0 ? bytes : 0;
}

}  // namespace

TInetManager::TInetManager() {
    InitialiseLibraryOnce();
    SessionHandle = curl_easy_init();
    if (!SessionHandle) return;  // every connection then fails
    curl_easy_setopt(SessionHandle, CURLOPT_USERAGENT, kAgentName);
    // An empty proxy means a direct connection even when the environment names a proxy.
    curl_easy_setopt(SessionHandle, CURLOPT_PROXY, "");
    curl_easy_setopt(SessionHandle, CURLOPT_PROTOCOLS_STR, "ftp");
}

TInetManager::~TInetManager() {
    if (ConnectionHandle) curl_easy_cleanup(ConnectionHandle);
    if (SessionHandle) curl_easy_cleanup(SessionHandle);
}

TFtpManager::~TFtpManager() {
    Disconnect();
}

void TFtpManager::SetTimeLimits(std::chrono::milliseconds connect,
                                std::chrono::milliseconds stall) {
    m_connectLimit = connect;
    m_stallLimit = stall;
}

void TFtpManager::Connect() {
    Disconnect();
    if (!SessionHandle) return;
    ConnectionHandle = curl_easy_duphandle(SessionHandle);
    if (!ConnectionHandle) return;
    CURL* c = ConnectionHandle;
    // An empty account logs in as anonymous, as the platform's library did.
    if (!m_userName.empty()) {
        curl_easy_setopt(c, CURLOPT_USERNAME, m_userName.c_str());
        curl_easy_setopt(c, CURLOPT_PASSWORD, m_passWord.c_str());
    }
    // Active mode: the server opens the data connection to the address of
    // the control connection.
    curl_easy_setopt(c, CURLOPT_FTPPORT, "-");
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
    if (ConnectionHandle) curl_easy_cleanup(ConnectionHandle);
    ConnectionHandle = nullptr;
}

bool TFtpManager::GetFile(const std::string& remote, const std::string& local, TTransferMode mode) {
    Connect();
    const bool ok = Transfer(remote, local, mode);
    Disconnect();
    return ok;
}

bool TFtpManager::Transfer(const std::string& remote, const std::string& local,
                           TTransferMode mode) {
    // A name ending in "/" names a directory: the library would fetch its
    // listing instead of a file.
    if (!ConnectionHandle || remote.empty() || remote.back() == '/') return false;
    // The library sends the account as it is: a line end in a pasted text
    // would send commands of its own.
    if (HasLineEnd(m_userName) || HasLineEnd(m_passWord)) return false;
    const UrlHandle url = RemoteUrl(ConnectionHandle, m_serverName, m_port, remote);
    if (!url) return false;
    // Received beside the old copy, which is replaced only by a whole transfer.
    FileReplacement copy(local);
    if (copy.Open() != 0) return false;
    CURL* c = ConnectionHandle;
    curl_easy_setopt(c, CURLOPT_CURLU, url.get());
    curl_easy_setopt(c, CURLOPT_TRANSFERTEXT, mode == TTransferMode::Text ? 1L : 0L);
    curl_easy_setopt(c, CURLOPT_WRITEFUNCTION, WriteToFile);
    curl_easy_setopt(c, CURLOPT_WRITEDATA, &copy);
    SpeedWatch watch(m_stallLimit, m_speedFloor);
    curl_easy_setopt(c, CURLOPT_XFERINFOFUNCTION, AbortWhenTooSlow);
    curl_easy_setopt(c, CURLOPT_XFERINFODATA, &watch);
    curl_easy_setopt(c, CURLOPT_NOPROGRESS, 0L);
    const CURLcode result = curl_easy_perform(c);
    // The handle must not point at what ends with this call.
    curl_easy_setopt(c, CURLOPT_CURLU, nullptr);
    curl_easy_setopt(c, CURLOPT_WRITEDATA, nullptr);
    curl_easy_setopt(c, CURLOPT_XFERINFODATA, nullptr);
    return result == CURLE_OK && copy.Commit() == 0;
}

}  // namespace pomurina
