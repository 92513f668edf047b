#include "ServerCheck.h"

#include <arpa/inet.h>
#include <curl/curl.h>
#include <openssl/evp.h>
#include <openssl/ssl.h>
#include <openssl/x509.h>
#include <openssl/x509_vfy.h>

#include <string_view>

#include "fetch/Fingerprint.h"

namespace pomurina {
namespace {

std::string_view Bytes(const unsigned char* data, unsigned int size) {
    return {reinterpret_cast<const char*>(data), size};
}

// libcurl calls this once the server has shown its host key, before the
// account is sent.
int CheckHostKey(void* data, int, const char* key, size_t length) {
    auto& check = *static_cast<ServerCheck*>(data);
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int size = 0;
    if (!EVP_Digest(key, length, digest, &size, EVP_sha256(), nullptr)) return CURLKHMATCH_MISMATCH;
    const bool go = check.Judge(HostKeyFingerprint(Bytes(digest, size)), false, true);
    return go ? CURLKHMATCH_OK : CURLKHMATCH_MISMATCH;
}

// OpenSSL calls this in place of its own verification of the server's chain,
// within the handshake: refusing ends the handshake, so the login never
// starts.
int VerifyCertificate(X509_STORE_CTX* store, void* data) {
    auto& check = *static_cast<ServerCheck*>(data);
    X509* const leaf = X509_STORE_CTX_get0_cert(store);
    if (!leaf) return 0;
    // Chain up to the system's store, validity dates and the server's name.
    const bool vouched = X509_verify_cert(store) == 1;
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int size = 0;
    if (!X509_digest(leaf, EVP_sha256(), digest, &size)) return 0;
    if (!check.Judge(CertificateFingerprint(Bytes(digest, size)), vouched, false)) return 0;
    X509_STORE_CTX_set_error(store, X509_V_OK);
    return 1;
}

bool IsIpAddress(const std::string& host) {
    unsigned char address[16];
    return ::inet_pton(AF_INET, host.c_str(), address) == 1 ||
           ::inet_pton(AF_INET6, host.c_str(), address) == 1;
}

// libcurl calls this for each TLS connection (the commands' and the data's)
// before its handshake.
CURLcode PrepareTls(CURL*, void* sslContext, void* data) {
    auto* context = static_cast<SSL_CTX*>(sslContext);
    auto& check = *static_cast<ServerCheck*>(data);
    // The system's certificate store (SSL_CERT_FILE and SSL_CERT_DIR may
    // name others, as for every OpenSSL program).
    SSL_CTX_set_default_verify_paths(context);
    X509_VERIFY_PARAM* const param = SSL_CTX_get0_param(context);
    const int named = IsIpAddress(check.host)
                          ? X509_VERIFY_PARAM_set1_ip_asc(param, check.host.c_str())
                          : X509_VERIFY_PARAM_set1_host(param, check.host.c_str(), 0);
    if (named != 1) return CURLE_SSL_CERTPROBLEM;
    SSL_CTX_set_verify(context, SSL_VERIFY_PEER, nullptr);
    SSL_CTX_set_cert_verify_callback(context, VerifyCertificate, &check);
    return CURLE_OK;
}

}  // namespace

bool ServerCheck::Judge(const std::string& fingerprint, bool vouched, bool hostKey) {
    seen = fingerprint;
    if (vouched || (trusted && SameFingerprint(*trusted, fingerprint))) return true;
    if (trusted)
        verdict = hostKey ? FetchFailure::HostKeyChanged : FetchFailure::CertificateChanged;
    else
        verdict = hostKey ? FetchFailure::HostKeyUnknown : FetchFailure::CertificateUnknown;
    return false;
}

bool InstallHostKeyCheck(void* curl, ServerCheck& check) {
    return curl_easy_setopt(curl, CURLOPT_SSH_HOSTKEYFUNCTION, CheckHostKey) == CURLE_OK &&
           curl_easy_setopt(curl, CURLOPT_SSH_HOSTKEYDATA, &check) == CURLE_OK;
}

bool InstallCertificateCheck(void* curl, ServerCheck& check) {
    // The check above decides alone; libcurl's own checks would refuse a
    // certificate the user trusted.
    curl_easy_setopt(curl, CURLOPT_SSL_VERIFYPEER, 0L);
    curl_easy_setopt(curl, CURLOPT_SSL_VERIFYHOST, 0L);
    return curl_easy_setopt(curl, CURLOPT_SSL_CTX_FUNCTION, PrepareTls) == CURLE_OK &&
           curl_easy_setopt(curl, CURLOPT_SSL_CTX_DATA, &check) == CURLE_OK;
}

}  // namespace pomurina
