// OpenSSL's functions that the server check calls, passed on to the
// library's own (LaterLibrary.h).  They are called only within libcurl's
// handshakes, so libcurl has loaded OpenSSL by then.
#include <openssl/evp.h>
#include <openssl/ssl.h>
#include <openssl/x509.h>
#include <openssl/x509_vfy.h>

#include "LaterLibrary.h"

#define POMURINA_SSL(name) POMURINA_PASS_ON("libssl.so.3", name)
#define POMURINA_CRYPTO(name) POMURINA_PASS_ON("libcrypto.so.3", name)

extern "C" {

int SSL_CTX_set_default_verify_paths(SSL_CTX* context) {
    POMURINA_SSL(SSL_CTX_set_default_verify_paths) return 0;
    return real(context);
}
X509_VERIFY_PARAM* SSL_CTX_get0_param(SSL_CTX* context) {
    POMURINA_SSL(SSL_CTX_get0_param) return nullptr;
    return real(context);
}
void SSL_CTX_set_verify(SSL_CTX* context, int mode, SSL_verify_cb callback) {
    POMURINA_SSL(SSL_CTX_set_verify) return;
    real(context, mode, callback);
}
void SSL_CTX_set_cert_verify_callback(SSL_CTX* context, int (*callback)(X509_STORE_CTX*, void*),
                                      void* data) {
    POMURINA_SSL(SSL_CTX_set_cert_verify_callback) return;
    real(context, callback, data);
}
int EVP_Digest(const void* data, size_t count, unsigned char* md, unsigned int* size,
               const EVP_MD* type, ENGINE* impl) {
    POMURINA_CRYPTO(EVP_Digest) return 0;
    return real(data, count, md, size, type, impl);
}
const EVP_MD* EVP_sha256() {
    POMURINA_CRYPTO(EVP_sha256) return nullptr;
    return real();
}
X509* X509_STORE_CTX_get0_cert(const X509_STORE_CTX* store) {
    POMURINA_CRYPTO(X509_STORE_CTX_get0_cert) return nullptr;
    return real(store);
}
void X509_STORE_CTX_set_error(X509_STORE_CTX* store, int error) {
    POMURINA_CRYPTO(X509_STORE_CTX_set_error) return;
    real(store, error);
}
int X509_verify_cert(X509_STORE_CTX* store) {
    POMURINA_CRYPTO(X509_verify_cert) return 0;
    return real(store);
}
int X509_digest(const X509* certificate, const EVP_MD* type, unsigned char* md,
                unsigned int* length) {
    POMURINA_CRYPTO(X509_digest) return 0;
    return real(certificate, type, md, length);
}
int X509_VERIFY_PARAM_set1_host(X509_VERIFY_PARAM* param, const char* name, size_t length) {
    POMURINA_CRYPTO(X509_VERIFY_PARAM_set1_host) return 0;
    return real(param, name, length);
}
int X509_VERIFY_PARAM_set1_ip_asc(X509_VERIFY_PARAM* param, const char* address) {
    POMURINA_CRYPTO(X509_VERIFY_PARAM_set1_ip_asc) return 0;
    return real(param, address);
}

}  // extern "C"
