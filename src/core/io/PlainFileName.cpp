#include "io/PlainFileName.h"

namespace pomurina {

bool IsPlainFileName(std::string_view name) {
    if (name.empty() || name == "." || name == "..") return false;
    for (std::size_t i = 0; i < name.size(); ++i) {
        const auto b = static_cast<unsigned char>(name[i]);
        if (b < 0x20 || b == 0x7F || b == '/' || b == '\\') return false;
        // U+0080 to U+009F in UTF-8.
        if (b == 0xC2 && i + 1 < name.size() && static_cast<unsigned char>(name[i + 1]) < 0xA0 &&
            static_cast<unsigned char>(name[i + 1]) >= 0x80)
            return false;
    }
    return true;
}

}  // namespace pomurina
