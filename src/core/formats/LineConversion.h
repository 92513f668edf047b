#pragma once
// The lines of a converted format (see LogFormat.h) turned one by one into
// the combined lines with the same meaning, which both readings then read
// as they read any log:
//  - a virtual-host prefix goes into the identity ("vhost=NAME", its port
//    dropped) and the line after it is kept as written;
//  - LTSV's labels fill their fields (host ident user time req, or method
//    uri protocol, status size referer ua vhost); other labels are kept in
//    the file and unused;
//  - W3C and CloudFront fields are found by the last "#Fields:" directive;
//    their UTC times are written in the machine's local zone; "-" is empty;
//    W3C's '+' in the agent is a blank, CloudFront's agent is percent-decoded.
// Header and comment lines ("#…") are requests of no kind: nothing is
// written for them.  A line the format's reading can't take apart is kept
// as it is, as a combined log's would be.  A request whose protocol isn't
// logged is written with HTTP/1.1, so that its path reads as any path.
#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "formats/LocalTime.h"
#include "formats/LogFormat.h"

namespace pomurina {

class LineConversion {
public:
    explicit LineConversion(LogFormat format) : m_format(format) {}

    // Appends line's combined line (line without its end) and a line end to
    // out; nothing for a header or comment line.
    void Convert(std::string_view line, std::string& out);

    // The W3C fields a combined line is made of.
    enum Field : std::size_t {
        kDate, kTime, kClientIp, kUser, kMethod, kStem, kQuery, kProtocol, kStatus, kBytes,
        kReferrer, kAgent, kHost, kFieldCount
    };

private:
    void VirtualHost(std::string_view line, std::string& out);
    void Ltsv(std::string_view line, std::string& out);
    void W3c(std::string_view line, std::string& out);
    // Takes the field names of a "#Fields:" directive.
    void ReadDirective(std::string_view directive);

    LogFormat m_format;
    LocalTimeWriter m_localTime;
    // Each field's place among a W3C line's values, or -1.
    std::array<int, kFieldCount> m_places{-1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1};
    std::vector<std::string_view> m_values;
    std::string m_scratch;
};

}  // namespace pomurina
