// libcurl's functions that this program calls, passed on to the library's
// own (LaterLibrary.h).  Without the library, a session can't be made (no
// handle) and the version asked for reads as none.
#define CURL_DISABLE_TYPECHECK
#include <curl/curl.h>

#include <cstdarg>

#include "LaterLibrary.h"

#define POMURINA_CURL(name) POMURINA_PASS_ON("libcurl.so.4", name)

namespace {

// A callback option's value, passed on as it came.
using AnyFunction = void (*)();

template <typename Value, typename Function>
CURLcode PassOn(Function* real, CURL* curl, CURLoption option, va_list& values) {
    return real(curl, option, va_arg(values, Value));
}

}  // namespace

// The options and infos are enumerations, as the library declares them.
#if defined(__clang__)
#pragma clang diagnostic ignored "-Wvarargs"
#endif

extern "C" {

CURLcode curl_global_init(long flags) {
    POMURINA_CURL(curl_global_init) return CURLE_FAILED_INIT;
    return real(flags);
}
CURL* curl_easy_init() {
    POMURINA_CURL(curl_easy_init) return nullptr;
    return real();
}
CURL* curl_easy_duphandle(CURL* curl) {
    POMURINA_CURL(curl_easy_duphandle) return nullptr;
    return real(curl);
}
void curl_easy_cleanup(CURL* curl) {
    POMURINA_CURL(curl_easy_cleanup) return;
    real(curl);
}
CURLcode curl_easy_perform(CURL* curl) {
    POMURINA_CURL(curl_easy_perform) return CURLE_FAILED_INIT;
    return real(curl);
}
CURLcode curl_easy_setopt(CURL* curl, CURLoption option, ...) {
    POMURINA_CURL(curl_easy_setopt) return CURLE_FAILED_INIT;
    va_list values;
    va_start(values, option);
    CURLcode result;
    // The value's type follows from the range the option's number lies in.
    if (option < CURLOPTTYPE_OBJECTPOINT)
        result = PassOn<long>(real, curl, option, values);
    else if (option >= CURLOPTTYPE_FUNCTIONPOINT && option < CURLOPTTYPE_OFF_T)
        result = PassOn<AnyFunction>(real, curl, option, values);
    else if (option >= CURLOPTTYPE_OFF_T && option < CURLOPTTYPE_BLOB)
        result = PassOn<curl_off_t>(real, curl, option, values);
    else
        result = PassOn<void*>(real, curl, option, values);  // an object or a blob
    va_end(values);
    return result;
}
CURLcode curl_easy_getinfo(CURL* curl, CURLINFO info, ...) {
    POMURINA_CURL(curl_easy_getinfo) return CURLE_FAILED_INIT;
    va_list values;
    va_start(values, info);
    const CURLcode result = real(curl, info, va_arg(values, void*));
    va_end(values);
    return result;
}
const char* curl_easy_strerror(CURLcode code) {
    POMURINA_CURL(curl_easy_strerror) return "libcurl";
    return real(code);
}
char* curl_easy_escape(CURL* curl, const char* text, int length) {
    POMURINA_CURL(curl_easy_escape) return nullptr;
    return real(curl, text, length);
}
void curl_free(void* p) {
    POMURINA_CURL(curl_free) return;
    real(p);
}
CURLU* curl_url() {
    POMURINA_CURL(curl_url) return nullptr;
    return real();
}
CURLUcode curl_url_set(CURLU* url, CURLUPart part, const char* text, unsigned int flags) {
    POMURINA_CURL(curl_url_set) return CURLUE_OUT_OF_MEMORY;
    return real(url, part, text, flags);
}
void curl_url_cleanup(CURLU* url) {
    POMURINA_CURL(curl_url_cleanup) return;
    real(url);
}
curl_version_info_data* curl_version_info(CURLversion version) {
    POMURINA_CURL(curl_version_info) return nullptr;
    return real(version);
}

}  // extern "C"
