#pragma once
// Base64 (the standard alphabet, with padding): exact bytes carried inside text.
#include <string>
#include <string_view>

namespace pomurina {

// Appends the base64 form of bytes to out.
void AppendBase64(std::string_view bytes, std::string& out);

}  // namespace pomurina
