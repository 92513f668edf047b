#include "report/CsvText.h"

namespace pomurina {

void AppendCsvField(std::string_view text, std::string& out) {
    const bool formula =
        !text.empty() && std::string_view("=+-@\t\r").find(text[0]) != std::string_view::npos;
    const bool quoted = formula || text.find_first_of(",\"\r\n") != std::string_view::npos;
    if (quoted) out += '"';
    if (formula) out += '\'';
    for (const char c : text) {
        if (c == '"') out += '"';
        out += c;
    }
    if (quoted) out += '"';
}

}  // namespace pomurina
