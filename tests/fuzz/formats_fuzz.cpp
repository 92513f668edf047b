// Random logs read through the format reading in pieces of random sizes:
// telling the format and converting never fails, the pieces give what the
// whole gives, and every line of a converted log is one line of the text
// whose origin in the file is kept.
#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>

#include "FuzzCheck.h"
#include "StringSink.h"
#include "io/ConvertingSink.h"
#include "memory/MemoryBudget.h"

using namespace pomurina;

namespace {

using testing::StringSink;

// The log read in pieces of piece bytes (0: whole).
std::string Read(std::string_view log, std::size_t piece, LogFormat& format, OriginalLog& kept) {
    StringSink sink;
    {
        ConvertingSink converting(sink);
        converting.KeepOriginal(kept);
        if (piece == 0) piece = std::max<std::size_t>(log.size(), 1);
        for (std::size_t at = 0; at < log.size(); at += piece)
            converting.Append(log.substr(at, piece));
        converting.End();
        format = converting.Format();
    }
    return sink.text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const std::size_t piece = data[0] % 17 + 1;
    const std::string_view log(reinterpret_cast<const char*>(data) + 1, size - 1);
    LogFormat whole = LogFormat::Unknown, pieces = LogFormat::Unknown;
    OriginalLog keptWhole, keptPieces;
    const std::string text = Read(log, 0, whole, keptWhole);
    std::string inPieces = Read(log, piece, pieces, keptPieces), inWhole = text;
    std::erase(inPieces, '\0');
    std::erase(inWhole, '\0');
    FUZZ_CHECK(inPieces == inWhole);
    FUZZ_CHECK(whole == pieces && keptWhole.lineOf == keptPieces.lineOf);
    std::string withoutZeros(log);
    std::erase(withoutZeros, '\0');
    if (IsConverted(whole)) {
        // One line end a line, none inside.
        FUZZ_CHECK(text.find('\r') == std::string::npos);
        FUZZ_CHECK(static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n')) ==
                   keptWhole.lineOf.size());
        FUZZ_CHECK(keptWhole.bytes == withoutZeros);
        FUZZ_CHECK(std::is_sorted(keptWhole.lineOf.begin(), keptWhole.lineOf.end()));
    } else {
        // As it is: the text leaves the zero bytes out, here or later.
        std::string shown(text);
        std::erase(shown, '\0');
        FUZZ_CHECK(shown == withoutZeros);
    }
    return 0;
}
