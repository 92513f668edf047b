#include "formats/LineConversion.h"

#include <algorithm>

#include "formats/CombinedLine.h"
#include "formats/LineShape.h"
#include "insight/AccessLine.h"

namespace pomurina {
namespace {

constexpr std::string_view kAssumedProtocol = "HTTP/1.1";

std::string_view DashIsEmpty(std::string_view value) {
    return value == "-" ? std::string_view() : value;
}

// The host of "host:port" (an address in brackets keeps its colons).
std::string_view WithoutPort(std::string_view vhost) {
    const std::size_t colon = vhost.rfind(':');
    if (colon == std::string_view::npos || vhost.find(':') != colon) return vhost;
    return vhost.substr(0, colon);
}

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// value with each %XX turned into its byte; the bytes between as they are.
void AppendPercentDecoded(std::string_view value, std::string& out) {
    for (;;) {
        const std::size_t percent = value.find('%');
        out += value.substr(0, percent);
        if (percent == std::string_view::npos) return;
        const int high = percent + 2 < value.size() ? HexValue(value[percent + 1]) : -1;
        const int low = high >= 0 ? HexValue(value[percent + 2]) : -1;
        if (low >= 0) {
            out += static_cast<char>(high * 16 + low);
            value.remove_prefix(percent + 3);
        } else {
            out += '%';
            value.remove_prefix(percent + 1);
        }
    }
}

// The offset of an ISO 8601 zone "+HH:MM" or "+HHMM" in seconds; false for
// any other text.
bool ReadZone(std::string_view zone, std::int64_t& offset) {
    const bool colon = zone.size() == 6 && zone[3] == ':';
    if ((zone.size() != 5 && !colon) || (zone[0] != '+' && zone[0] != '-')) return false;
    const std::size_t minutesAt = colon ? 4 : 3;
    for (const std::size_t i : {std::size_t{1}, std::size_t{2}, minutesAt, minutesAt + 1})
        if (zone[i] < '0' || zone[i] > '9') return false;
    const int hours = (zone[1] - '0') * 10 + (zone[2] - '0');
    const int minutes = (zone[minutesAt] - '0') * 10 + (zone[minutesAt + 1] - '0');
    offset = std::int64_t{hours * 60 + minutes} * 60 * (zone[0] == '-' ? -1 : 1);
    return true;
}

// The combined time field of an LTSV time: "[DD/Mon/YYYY:HH:MM:SS ZONE]" with
// or without its brackets, or ISO 8601 "YYYY-MM-DDTHH:MM:SS[.frac][Z|±HH:MM]";
// a time with "Z" is written in the local zone, any other as written (a
// date that isn't real too: the readings judge it as they judge any).
void AppendLtsvTime(std::string_view value, LocalTimeWriter& localTime, std::string& out) {
    if (value.starts_with('[')) {
        out += value;
        return;
    }
    static constexpr std::string_view kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                                   "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    const bool iso = value.size() >= 19 && value[4] == '-' && value[7] == '-' &&
                     (value[10] == 'T' || value[10] == ' ') && value[13] == ':' &&
                     value[16] == ':';
    if (!iso) {
        out += '[';
        out += value;
        out += ']';
        return;
    }
    std::string_view zone = value.substr(19);
    if (zone.starts_with('.'))
        zone.remove_prefix(std::min(zone.find_first_not_of("0123456789", 1), zone.size()));
    if ((zone == "Z" || zone == "z") &&
        localTime.Write(value.substr(0, 10), value.substr(11, 8), out))
        return;
    std::int64_t offset = 0;
    if (!ReadZone(zone, offset)) offset = 0;
    const std::string_view month = value.substr(5, 2);
    const int monthNumber = month[0] >= '0' && month[0] <= '1' && month[1] >= '0' &&
                                    month[1] <= '9'
                                ? (month[0] - '0') * 10 + (month[1] - '0')
                                : 0;
    out += '[';
    out += value.substr(8, 2);
    out += '/';
    out += monthNumber >= 1 && monthNumber <= 12 ? kMonths[monthNumber - 1] : month;
    out += '/';
    out += value.substr(0, 4);
    out += ':';
    out += value.substr(11, 8);
    out += offset < 0 ? " -" : " +";
    const std::int64_t minutes = (offset < 0 ? -offset : offset) / 60;
    for (const std::int64_t part : {minutes / 60 % 100, minutes % 60}) {
        out += static_cast<char>('0' + part / 10);
        out += static_cast<char>('0' + part % 10);
    }
    out += ']';
}

}  // namespace

void LineConversion::Convert(std::string_view line, std::string& out) {
    if (!line.empty() && line[0] == '#') {
        if (line.starts_with("#Fields:")) ReadDirective(line.substr(8));
        return;
    }
    if (line.empty()) {
        out += '\n';
        return;
    }
    switch (m_format) {
        case LogFormat::VirtualHost:
            return VirtualHost(line, out);
        case LogFormat::Ltsv:
            return Ltsv(line, out);
        case LogFormat::W3c:
        case LogFormat::CloudFront:
            return W3c(line, out);
        case LogFormat::Combined:
        case LogFormat::Unknown:
            break;
    }
    out += line;
    out += '\n';
}

void LineConversion::VirtualHost(std::string_view line, std::string& out) {
    std::string_view vhost, rest;
    const std::size_t hostEnd = SplitVirtualHost(line, vhost, rest) ? rest.find(' ') : rest.npos;
    const std::size_t identEnd = hostEnd == rest.npos ? rest.npos : rest.find(' ', hostEnd + 1);
    if (identEnd == rest.npos) {
        out += line;
    } else {
        out += rest.substr(0, hostEnd + 1);
        out += kVirtualHostIdent;
        out += WithoutPort(vhost);
        out += rest.substr(identEnd);
    }
    out += '\n';
}

void LineConversion::Ltsv(std::string_view line, std::string& out) {
    std::string_view host, ident, user, time, req, method, uri, protocol, status, size, referrer,
        agent, vhost;
    bool any = false;
    for (std::string_view rest = line;;) {
        const std::size_t tab = rest.find('\t');
        const std::string_view field = rest.substr(0, tab);
        const std::size_t colon = field.find(':');
        if (colon != std::string_view::npos) {
            const std::string_view label = field.substr(0, colon), value = field.substr(colon + 1);
            std::string_view* slot = label == "host"       ? &host
                                     : label == "ident"    ? &ident
                                     : label == "user"     ? &user
                                     : label == "time"     ? &time
                                     : label == "req"      ? &req
                                     : label == "method"   ? &method
                                     : label == "uri"      ? &uri
                                     : label == "protocol" ? &protocol
                                     : label == "status"   ? &status
                                     : label == "size"     ? &size
                                     : label == "referer" || label == "referrer" ? &referrer
                                     : label == "ua"                             ? &agent
                                     : label == "vhost"                          ? &vhost
                                                                                 : nullptr;
            if (slot) {
                *slot = value;
                any = true;
            }
        }
        if (tab == std::string_view::npos) break;
        rest.remove_prefix(tab + 1);
    }
    if (!any) {
        out += line;
        out += '\n';
        return;
    }
    CombinedLine combined(out);
    combined.Word(host).Ident(ident, vhost).Word(user);
    m_scratch.clear();
    AppendLtsvTime(time, m_localTime, m_scratch);
    combined.Time(m_scratch);
    if (req.empty()) {
        m_scratch.assign(method.empty() ? "-" : method);
        m_scratch += ' ';
        m_scratch += uri.empty() ? "-" : uri;
        m_scratch += ' ';
        m_scratch += protocol.empty() ? kAssumedProtocol : protocol;
        req = m_scratch;
    }
    combined.Quoted(req).Word(status).Word(size);
    // Without both, a line of the common format.
    if (referrer.data() || agent.data()) combined.Quoted(referrer).Quoted(agent);
    combined.End();
}

void LineConversion::ReadDirective(std::string_view directive) {
    static constexpr std::pair<std::string_view, Field> kNames[] = {
        {"date", kDate},
        {"time", kTime},
        {"c-ip", kClientIp},
        {"cs-username", kUser},
        {"cs-method", kMethod},
        {"cs-uri-stem", kStem},
        {"cs-uri-query", kQuery},
        {"cs-version", kProtocol},
        {"cs-protocol-version", kProtocol},
        {"sc-status", kStatus},
        {"sc-bytes", kBytes},
        {"cs(Referer)", kReferrer},
        {"cs(User-Agent)", kAgent},
        {"cs-host", kHost},
        {"x-host-header", kHost},
    };
    m_places.fill(-1);
    int place = 0;
    for (std::size_t at = 0; at < directive.size();) {
        at = directive.find_first_not_of(" \t", at);
        if (at == std::string_view::npos) break;
        const std::size_t end = std::min(directive.find_first_of(" \t", at), directive.size());
        const std::string_view name = directive.substr(at, end - at);
        for (const auto& [known, field] : kNames)
            if (name == known) m_places[field] = place;
        // IIS may log the Host header so; CloudFront's is its own domain.
        if (name == "cs(Host)" && m_format == LogFormat::W3c) m_places[kHost] = place;
        ++place;
        at = end;
    }
}

void LineConversion::W3c(std::string_view line, std::string& out) {
    // CloudFront separates by TABs; W3C by blanks (a TAB-separated W3C file is read as CloudFront's).
    const char separator = line.find('\t') != std::string_view::npos ? '\t' : ' ';
    m_values.clear();
    for (std::string_view rest = line;;) {
        const std::size_t end = rest.find(separator);
        m_values.push_back(rest.substr(0, end));
        if (end == std::string_view::npos) break;
        rest.remove_prefix(end + 1);
    }
    const auto value = [&](Field field) {
        const int place = m_places[field];
        return place < 0 || static_cast<std::size_t>(place) >= m_values.size()
                   ? std::string_view()
                   : DashIsEmpty(m_values[static_cast<std::size_t>(place)]);
    };
    // A time that isn't real is written as it is, as UTC: the readings judge
    // it as they judge any.  A line without a date and a time is no W3C line.
    const std::string_view date = value(kDate), clock = value(kTime);
    if (date.size() != 10 || date[4] != '-' || date[7] != '-' || clock.size() < 8 ||
        clock[2] != ':' || clock[5] != ':') {
        out += line;
        out += '\n';
        return;
    }
    m_scratch.clear();
    if (!m_localTime.Write(date, clock, m_scratch)) {
        std::string written(value(kDate));
        written += 'T';
        written += value(kTime);
        written += '+';
        AppendLtsvTime(written, m_localTime, m_scratch);
    }
    CombinedLine combined(out);
    combined.Word(value(kClientIp)).Ident({}, value(kHost)).Word(value(kUser)).Time(m_scratch);
    m_scratch.clear();
    const std::string_view method = value(kMethod), stem = value(kStem), query = value(kQuery),
                           protocol = value(kProtocol);
    m_scratch += method.empty() ? "-" : method;
    m_scratch += ' ';
    m_scratch += stem.empty() ? "-" : stem;
    if (!query.empty()) {
        m_scratch += '?';
        m_scratch += query;
    }
    m_scratch += ' ';
    m_scratch += protocol.empty() ? kAssumedProtocol : protocol;
    combined.Quoted(m_scratch).Word(value(kStatus)).Word(value(kBytes)).Quoted(value(kReferrer));
    m_scratch.clear();
    const std::string_view agent = value(kAgent);
    if (m_format == LogFormat::CloudFront) {
        AppendPercentDecoded(agent, m_scratch);
    } else {
        m_scratch += agent;
        std::replace(m_scratch.begin(), m_scratch.end(), '+', ' ');
    }
    combined.Quoted(m_scratch).End();
}

}  // namespace pomurina
