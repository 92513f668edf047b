#include "DecodeFilter.h"

#include <string>
#include <string_view>

#include "text/Cp932.h"
#include "text/TerminalText.h"
#include "Errors.h"
#include "urlconv/UrlDecoding.h"

namespace pomurina {
namespace {

// What became of one line.
enum class LineOutcome { Written, Failed, WriteFailed };

LineOutcome DecodeLine(std::string_view line, std::FILE* out, std::FILE* err, bool utf8) {
    std::string decoded;
    try {
        decoded = URLDecode(line);
    } catch (const Error& e) {
        std::fprintf(err, "%s\n", VisibleControls(Cp932ToUtf8(WithFullStop(e.Message()))).c_str());
        return LineOutcome::Failed;
    }
    if (utf8) decoded = Cp932ToUtf8(decoded);
    decoded += '\n';
    const bool written = std::fwrite(decoded.data(), 1, decoded.size(), out) == decoded.size();
    return written ? LineOutcome::Written : LineOutcome::WriteFailed;
}

}  // namespace

int DecodeFilter(std::FILE* in, std::FILE* out, std::FILE* err, bool utf8) {
    LineOutcome outcome = LineOutcome::Written;
    std::string pending;
    // pending holds no LF before this offset: each byte is looked at once,
    // however long a line grows.
    std::size_t searched = 0;
    char block[65536];
    bool atEnd = false;
    while (outcome == LineOutcome::Written && !atEnd) {
        const std::size_t got = std::fread(block, 1, sizeof block, in);
        atEnd = got < sizeof block;
        pending.append(block, got);
        std::size_t start = 0;
        for (std::size_t lf; outcome == LineOutcome::Written &&
                             (lf = pending.find('\n', searched)) != std::string::npos;
             start = searched = lf + 1) {
            outcome =
                DecodeLine(std::string_view(pending).substr(start, lf - start), out, err, utf8);
        }
        pending.erase(0, start);
        searched = pending.size();
    }
    // A last line without its LF still counts.
    if (outcome == LineOutcome::Written && !pending.empty())
        outcome = DecodeLine(pending, out, err, utf8);

    const bool flushed = std::fflush(out) == 0;
    if (outcome == LineOutcome::Failed) return 1;
    if (std::ferror(in)) {
        std::fputs("pomurina-report: cannot read standard input\n", err);
        return 1;
    }
    if (outcome == LineOutcome::WriteFailed || !flushed) {
        std::fputs("pomurina-report: cannot write standard output\n", err);
        return 1;
    }
    return 0;
}

}  // namespace pomurina
