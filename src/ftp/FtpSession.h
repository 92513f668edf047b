#pragma once
// TInetManager and TFtpManager, the FTP session component: an internet
// session opened once at creation, and the fetching of one remote file to a
// local path, over a fresh connection per call (libcurl): plain FTP, FTPS
// (FTP with explicit TLS, "AUTH TLS") or SFTP.
#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "fetch/FetchFailure.h"
#include "fetch/FetchSettings.h"

namespace pomurina {

// How the file travels: text is the ASCII type (TYPE A), binary the image type (TYPE I).
enum class TTransferMode { Text, Binary };

// How one GetFile ended.
struct TransferOutcome {
    // Why it failed; None after a success.
    FetchFailure failure = FetchFailure::None;
    // The fingerprint the server showed ("" when it showed none).
    std::string fingerprint;
    // The library's or the system's own words on the failure (Shift-JIS).
    std::string detail;

    bool Ok() const { return failure == FetchFailure::None; }
};

// Frees a libcurl easy handle (defined where curl is seen).
struct CurlHandleDeleter {
    void operator()(void* handle) const;
};

// Owns the internet session: the settings every connection starts from
// (the agent name, no proxy whatever the environment says).
class TInetManager {
public:
    TInetManager();
    virtual ~TInetManager();
    TInetManager(const TInetManager&) = delete;
    TInetManager& operator=(const TInetManager&) = delete;

protected:
    // libcurl's handles, owned; held as void (what its CURL is), so the
    // windows that include this header never see curl.
    using Handle = std::unique_ptr<void, CurlHandleDeleter>;
    // The session; each connection is a copy of it.
    Handle SessionHandle;
    // The connection of the transfer under way; none between transfers.
    Handle ConnectionHandle;
};

// An FTP account and the fetching of one file per call.
class TFtpManager : public TInetManager {
public:
    const std::string& UserName() const { return m_userName; }
    void SetUserName(std::string value) { m_userName = std::move(value); }
    const std::string& PassWord() const { return m_passWord; }
    void SetPassWord(std::string value) { m_passWord = std::move(value); }
    const std::string& ServerName() const { return m_serverName; }
    void SetServerName(std::string value) { m_serverName = std::move(value); }
    int Port() const { return m_port; }
    void SetPort(int value) { m_port = value; }
    void SetProtocol(FetchProtocol value) { m_protocol = value; }
    // Passive mode: the client opens the data connections (FTP and FTPS;
    // SFTP has none).  Active mode by default, as the platform's library did.
    void SetPassive(bool value) { m_passive = value; }
    // The SHA-256 fingerprint of the host key (SFTP) or certificate (FTPS)
    // the user trusts for this server; without one only a certificate that
    // the system's store vouches for passes, and no host key does.
    void SetTrustedFingerprint(std::optional<std::string> value) { m_trusted = std::move(value); }

    // How long a connection may take to open (and the server to open the
    // data connection), and how long a transfer may move no data, before it
    // ends as a failure.
    void SetTimeLimits(std::chrono::milliseconds connect, std::chrono::milliseconds stall);
    // The average speed below which a transfer fails: over every stretch of
    // the stall limit at least this many bytes a second must arrive.
    void SetSpeedFloor(long bytesPerSecond) { m_speedFloor = bytesPerSecond; }
    // The most bytes a transfer may bring (none: no limit); a file that
    // grows past it fails as TooLarge, the limit in its detail.
    void SetSizeLimit(std::optional<std::uint64_t> bytes) { m_sizeLimit = bytes; }

    // Opens a connection with the current account (the login itself happens
    // with the transfer); an open one is closed first.
    void Connect();
    // Closes the connection, if any.
    void Disconnect();
    // Fetches remote (sent to the server exactly as given, but that a name
    // without a leading "/", or after a leading "~/", is taken from the login
    // directory) into local,
    // replacing it only when the whole file arrived.  Logs in anew each call,
    // and only once the server is trusted.
    TransferOutcome GetFile(const std::string& remote, const std::string& local,
                            TTransferMode mode);

private:
    TransferOutcome Transfer(const std::string& remote, const std::string& local,
                             TTransferMode mode);

    std::string m_userName;
    std::string m_passWord;
    std::string m_serverName;
    int m_port = 21;
    FetchProtocol m_protocol = FetchProtocol::Ftp;
    bool m_passive = false;
    std::optional<std::string> m_trusted;
    std::chrono::milliseconds m_connectLimit{30000};
    std::chrono::milliseconds m_stallLimit{60000};
    long m_speedFloor = 100;
    std::optional<std::uint64_t> m_sizeLimit;
};

}  // namespace pomurina
