// A line of any bytes as a JSON value: always valid UTF-8 without raw control
// characters; a plain string only when its text converts back to exactly the
// line, otherwise an object whose base64 gives the line back.
#include <cstdint>
#include <string>

#include "FuzzCheck.h"
#include "report/JsonText.h"
#include "text/Cp932.h"
#include "text/Utf8Text.h"

using namespace pomurina;

namespace {

// The text of a JSON string that starts at json[at] (the quote); at ends past it.
std::string Unquote(const std::string& json, std::size_t& at) {
    FUZZ_CHECK(json[at] == '"');
    std::string text;
    for (++at; json[at] != '"'; ++at) {
        if (json[at] != '\\') {
            text += json[at];
            continue;
        }
        const char kind = json[++at];
        if (kind == 'u') {
            text += static_cast<char>(std::stoi(json.substr(at + 1, 4), nullptr, 16));
            at += 4;
        } else {
            text += kind == 'n' ? '\n' : kind == 'r' ? '\r' : kind == 't' ? '\t' : kind;
        }
    }
    ++at;
    return text;
}

std::string FromBase64(const std::string& text) {
    static const std::string alphabet =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string bytes;
    unsigned group = 0;
    int bits = 0;
    for (const char c : text) {
        if (c == '=') break;
        const std::size_t value = alphabet.find(c);
        FUZZ_CHECK(value != std::string::npos);
        group = group << 6 | static_cast<unsigned>(value);
        bits += 6;
        if (bits >= 8) {
            bits -= 8;
            bytes += static_cast<char>((group >> bits) & 0xFF);
        }
    }
    return bytes;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string line(reinterpret_cast<const char*>(data), size);
    std::string json;
    AppendJsonLine(line, json);
    FUZZ_CHECK(IsValidUtf8(json));
    for (const char c : json) FUZZ_CHECK(static_cast<unsigned char>(c) >= 0x20);
    std::size_t at = 0;
    if (json[0] == '"') {
        FUZZ_CHECK(Utf8ToCp932(Unquote(json, at)) == line);
    } else {
        const std::string prefix = "{\"text\": ";
        FUZZ_CHECK(json.compare(0, prefix.size(), prefix) == 0);
        at = prefix.size();
        const std::string text = Unquote(json, at);
        FUZZ_CHECK(Utf8ToCp932(text) != line);
        FUZZ_CHECK(json.compare(at, 11, ", \"bytes\": ") == 0);
        at += 11;
        FUZZ_CHECK(FromBase64(Unquote(json, at)) == line);
        FUZZ_CHECK(json.substr(at) == "}");
    }
    FUZZ_CHECK(at == json.size() || json[0] != '"');
    return 0;
}
