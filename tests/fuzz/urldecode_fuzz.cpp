// The URL decoder on any bytes: it never crashes, its only error is
// "不正なURL", and text without "%" or high bytes comes back unchanged.
#include <cstdint>
#include <string>

#include "FuzzCheck.h"
#include "text/Cp932.h"
#include "Errors.h"
#include "urlconv/UrlDecoding.h"

using namespace pomurina;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    static const std::string invalid = Utf8ToCp932("不正なURL");
    try {
        const std::string decoded = URLDecode(text);
        bool plain = text.find('%') == std::string::npos;
        for (const char c : text) plain = plain && static_cast<unsigned char>(c) < 0x80;
        if (plain) FUZZ_CHECK(decoded == text);
        FUZZ_CHECK(decoded.size() <= 2 * text.size());
    } catch (const ConvertError& e) {
        FUZZ_CHECK(e.Message() == invalid);
        FUZZ_CHECK(text.find('%') != std::string::npos);
    }
    return 0;
}
