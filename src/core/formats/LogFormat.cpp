#include "formats/LogFormat.h"

#include <array>

#include "formats/LineShape.h"
#include "insight/AccessLine.h"

namespace pomurina {
namespace {

constexpr int kLinesLooked = 16;

// The format a "#Fields:" directive's names belong to.
LogFormat W3cKind(std::string_view fields) {
    return fields.find("x-edge-") != std::string_view::npos ||
                   fields.find("x-host-header") != std::string_view::npos
               ? LogFormat::CloudFront
               : LogFormat::W3c;
}

}  // namespace

std::string_view LogFormatName(LogFormat format) {
    switch (format) {
        case LogFormat::Combined:
            return "combined";
        case LogFormat::Unknown:
            return "unknown";
        case LogFormat::VirtualHost:
            return "vhost";
        case LogFormat::Ltsv:
            return "ltsv";
        case LogFormat::W3c:
            return "w3c";
        case LogFormat::CloudFront:
            return "cloudfront";
    }
    return "unknown";
}

LogFormat DetectLogFormat(std::string_view firstBytes, bool ended) {
    // Votes of Combined, VirtualHost and Ltsv, in the order ties go.
    std::array<int, 3> votes{};
    bool directives = false;
    int looked = 0;
    while (!firstBytes.empty() && looked < kLinesLooked) {
        const std::size_t end = firstBytes.find_first_of("\r\n");
        if (end == std::string_view::npos && !ended) break;  // a line cut short
        const std::string_view line = firstBytes.substr(0, end);
        firstBytes.remove_prefix(end == std::string_view::npos ? firstBytes.size() : end + 1);
        if (line.empty()) continue;
        if (line[0] == '#') {
            if (looked == 0) directives = true;  // a W3C header
            if (directives && line.starts_with("#Fields:")) return W3cKind(line);
            continue;
        }
        // Data before any #Fields: is read as if the comments weren't there.
        directives = false;
        ++looked;
        AccessLine fields;
        std::string_view vhost, rest;
        if (ReadAccessLine(line, fields))
            ++votes[0];
        else if (SplitVirtualHost(line, vhost, rest) && ReadAccessLine(rest, fields))
            ++votes[1];
        else if (IsLtsvLine(line))
            ++votes[2];
    }
    if (directives) return LogFormat::W3c;  // directives alone, so far
    std::size_t best = 0;
    for (std::size_t i = 1; i < votes.size(); ++i)
        if (votes[i] > votes[best]) best = i;
    if (votes[best] == 0) return LogFormat::Unknown;
    static constexpr LogFormat kVoted[] = {LogFormat::Combined, LogFormat::VirtualHost,
                                           LogFormat::Ltsv};
    return kVoted[best];
}

}  // namespace pomurina
