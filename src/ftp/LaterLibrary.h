#pragma once
// Libraries only a fetch needs are loaded when it first needs them, not when
// a program starts: libcurl brings some thirty libraries with it, OpenSSL
// two large ones, and loading them cost every start of the report tool
// (which starts twice) about fifteen milliseconds each time.  The functions
// this program calls are defined in CurlLibrary.cpp and OpenSslLibrary.cpp
// and passed on to the library's own.
#include <dlfcn.h>

namespace pomurina::later {

// The function name of library (a soname), looked up once a call; null when
// the library or the function is missing.
template <typename Function>
Function* Find(const char* library, const char* name) {
    void* const loaded = ::dlopen(library, RTLD_NOW | RTLD_LOCAL);
    return loaded ? reinterpret_cast<Function*>(::dlsym(loaded, name)) : nullptr;
}

}  // namespace pomurina::later

// In a function defined in place of library's own: real is the library's
// function of the same name, found at the first call; the statement after
// the macro runs when there is none.
#define POMURINA_PASS_ON(library, name)                                              \
    static auto* const real = pomurina::later::Find<decltype(name)>(library, #name); \
    if (!real)
