#pragma once
// The formats a log file may be written in, told apart by its first lines:
// the combined and common formats the counting reads as they are, and the
// formats whose lines are turned into combined lines as they are read.
#include <cstddef>
#include <string_view>

namespace pomurina {

enum class LogFormat {
    Combined,     // combined or common, read as it is
    Unknown,      // no format's first lines: read as combined, as it is
    VirtualHost,  // "host[:port] " before each combined or common line
    Ltsv,         // TAB-separated label:value fields
    W3c,          // W3C extended (IIS): #Fields: directives, blank-separated, UTC times
    CloudFront,   // CloudFront's standard logs: W3C with TABs, percent-encoded agents
};

// Whether lines of the format are turned into combined lines as they are read.
inline bool IsConverted(LogFormat format) {
    return format != LogFormat::Combined && format != LogFormat::Unknown;
}

// The format's name in reports: "combined", "unknown", "vhost", "ltsv",
// "w3c", "cloudfront".
std::string_view LogFormatName(LogFormat format);

// How many of a file's first bytes tell its format.
inline constexpr std::size_t kFormatSniffBytes = 16384;

// The format of a file whose first bytes (up to kFormatSniffBytes) are
// firstBytes; ended: the file has no more.  Only whole lines are read, up
// to the first sixteen that aren't empty; the format most of them have wins
// (combined on a tie), and a file that begins with "#" directives is W3C or
// CloudFront by its #Fields: (a line before any is read by the votes).
LogFormat DetectLogFormat(std::string_view firstBytes, bool ended);

}  // namespace pomurina
