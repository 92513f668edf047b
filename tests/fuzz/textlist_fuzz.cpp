// The text list's line rules: entries joined with CR LF and split again are the same entries.
#include <cstdint>
#include <string>

#include "FuzzCheck.h"
#include "text/TextList.h"

using namespace pomurina;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    TextList list;
    list.SetText(text);
    std::size_t bytes = 0;
    for (const auto& line : list.Lines()) {
        FUZZ_CHECK(line.find_first_of(std::string("\r\n\0", 3)) == std::string::npos);
        bytes += line.size();
    }
    FUZZ_CHECK(bytes <= size);
    TextList again;
    again.SetText(list.Text());
    FUZZ_CHECK(again.Lines() == list.Lines());
    FUZZ_CHECK(again.Text() == list.Text());
    return 0;
}
