#pragma once
// Trust in the server, judged before anything of the account is sent: an SFTP
// server's host key, or an FTPS server's certificate, as the TLS handshake
// shows it (the login follows the handshake).  A certificate that the
// system's certificate store vouches for, with the server's name in it,
// passes as in every careful client; anything else passes only when its
// SHA-256 fingerprint is the one the user trusted for this server.
#include <optional>
#include <string>

#include "fetch/FetchFailure.h"

namespace pomurina {

struct ServerCheck {
    // The host connected to: the name a vouched-for certificate must carry.
    std::string host;
    // The fingerprint trusted for this server, if any.
    std::optional<std::string> trusted;

    // What the server showed, once it did.
    std::string seen;
    // Unknown or changed when the server was refused; None otherwise.
    FetchFailure verdict = FetchFailure::None;

    // Judges a fingerprint the server showed (vouched: by the system's store);
    // returns whether to go on.
    bool Judge(const std::string& fingerprint, bool vouched, bool hostKey);
};

// Installs the host-key check on a libcurl handle (an SFTP transfer); false
// when the library offers no such hook (nothing may be sent then).
bool InstallHostKeyCheck(void* curl, ServerCheck& check);
// Installs the certificate check on a libcurl handle (an FTPS transfer);
// false when the library's TLS is not OpenSSL (nothing may be sent then).
bool InstallCertificateCheck(void* curl, ServerCheck& check);

}  // namespace pomurina
