#include "io/TextSink.h"

#include <algorithm>
#include <cstring>

namespace pomurina {

void TextSink::Append(std::string_view bytes) {
    while (!bytes.empty()) {
        char* room = Room(bytes.size());
        const std::size_t n = std::min(bytes.size(), RoomSize());
        std::memcpy(room, bytes.data(), n);
        Commit(n);
        bytes.remove_prefix(n);
    }
}

}  // namespace pomurina
