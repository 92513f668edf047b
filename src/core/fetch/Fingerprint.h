#pragma once
// SHA-256 fingerprints of servers, written as their own tools write them: an
// SSH host key as OpenSSH prints it ("SHA256:" and base64 without padding), a
// TLS certificate as OpenSSL prints it (upper-case hex pairs joined by ":").
#include <string>
#include <string_view>

namespace pomurina {

// The fingerprint of an SSH host key from the SHA-256 digest of its blob.
std::string HostKeyFingerprint(std::string_view digest);
// The fingerprint of a certificate from the SHA-256 digest of its DER form.
std::string CertificateFingerprint(std::string_view digest);

// Whether given (typed by a user, copied from a tool's output) names the
// fingerprint actual as written above.  A host key's form may lack the
// "SHA256:" prefix or carry base64 padding; its base64 is compared exactly.
// A certificate's hex may be in either case, with or without colons, and may
// follow OpenSSL's "sha256 Fingerprint=".
bool SameFingerprint(std::string_view given, std::string_view actual);

}  // namespace pomurina
