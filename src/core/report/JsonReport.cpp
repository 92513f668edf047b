#include "report/JsonReport.h"

#include <charconv>
#include <cmath>
#include <string_view>

#include "formats/LogFormat.h"
#include "insight/CalendarDay.h"
#include "report/InsightJson.h"
#include "report/JsonText.h"
#include "report/ReportTime.h"
#include "text/Base64.h"
#include "text/Utf8Text.h"
#include "window/SummaryFields.h"
#include "window/TransferUnits.h"

namespace pomurina {
namespace {

void AppendInteger(long long value, std::string& out) {
    char digits[24];
    const auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
    out.append(digits, end);
}

// A field's number of the summary; null without a summary.
void AppendCount(FieldId field, const Summary* summary, std::string& out) {
    const auto count = summary ? FieldCount(field, *summary) : std::nullopt;
    if (count)
        AppendInteger(*count, out);
    else
        out += "null";
}

// A sum of sizes: a whole number, written as one while a 64-bit integer holds it.
void AppendBytes(const std::optional<double>& bytes, std::string& out) {
    if (!bytes || !std::isfinite(*bytes)) {
        out += "null";
    } else if (*bytes == std::floor(*bytes) && std::fabs(*bytes) < 9.2e18) {
        AppendInteger(static_cast<long long>(*bytes), out);
    } else {
        char text[32];
        const auto end = std::to_chars(text, text + sizeof text, *bytes).ptr;
        out.append(text, end);
    }
}

void AppendKey(std::string_view key, std::string& out) {
    out += '"';
    out += key;
    out += "\": ";
}

void WriteFiles(const ReportSource& source, std::string& b) {
    b += "  \"files\": [";
    for (std::size_t i = 0; i < source.files.size(); ++i) {
        const std::string& path = source.files[i];
        b += i == 0 ? "\n    {" : ",\n    {";
        AppendKey("path", b);
        AppendJsonUtf8(path, b);
        if (!IsValidUtf8(path)) {
            b += ", ";
            AppendKey("path_bytes", b);
            b += '"';
            AppendBase64(path, b);
            b += '"';
        }
        // A log read as it is (combined, common) says nothing more.
        const std::vector<LogFormat>* formats = source.run ? &source.run->formats : nullptr;
        if (formats && i < formats->size() && IsConverted((*formats)[i])) {
            b += ", ";
            AppendKey("format", b);
            b += '"';
            b += LogFormatName((*formats)[i]);
            b += '"';
        }
        b += '}';
    }
    b += source.files.empty() ? "],\n" : "\n  ],\n";
}

void WriteSummary(const Summary* summary, const ShownTransfer& transfer, std::string& b) {
    b += "  \"summary\": {\n";
    for (const SummaryBox& box : kSummaryBoxes) {
        b += "    ";
        AppendKey(box.key, b);
        b += '{';
        for (std::size_t i = 0; i < box.rows.size(); ++i) {
            if (i > 0) b += ", ";
            AppendKey(box.rows[i].key, b);
            AppendCount(box.rows[i].field, summary, b);
        }
        b += "},\n";
    }
    b += "    \"favicon\": {\"total\": ";
    AppendCount(FieldId::FaviconAll, summary, b);
    b += ", \"msie\": ";
    AppendCount(FieldId::FaviconMsie, summary, b);
    b += "},\n    \"requests_per_host\": ";
    AppendCount(FieldId::RequestsPerHost, summary, b);
    b += ",\n    \"transfer\": {\"bytes\": ";
    AppendBytes(summary ? std::optional(summary->transferBytes) : std::nullopt, b);
    b += ", \"shown\": ";
    AppendJsonString(transfer.text, b);
    b += ", \"unit\": ";
    const char* unit = UnitName(transfer.unit);
    if (unit) {
        b += '"';
        b += unit;
        b += '"';
    } else {
        b += "null";
    }
    b += "}\n  },\n";
}

void WriteHours(const Summary* summary, std::string& b) {
    b += "  \"hours\": {";
    for (std::size_t g = 0; g < kReportGraphs.size(); ++g) {
        b += g == 0 ? "\n    " : ",\n    ";
        AppendKey(kReportGraphs[g].key, b);
        if (!summary) {
            b += "null";
            continue;
        }
        const HourCounts& hours = summary->*kReportGraphs[g].hours;
        b += '[';
        for (std::size_t h = 0; h < hours.size(); ++h) {
            if (h > 0) b += ", ";
            AppendInteger(hours[h], b);
        }
        b += ']';
    }
    b += "\n  },\n";
}

void WritePane(ResultWindow& w, const ReportPane& pane, bool withLines, ReportStream& out) {
    std::string& b = out.Buffer();
    const PaneLines& lines = w.GetPane(pane.id).Lines();
    b += "    ";
    AppendKey(pane.key, b);
    b += "{\"name\": \"";
    b += PaneName(pane.id);
    b += "\", \"title\": ";
    AppendJsonUtf8(pane.title, b);
    b += ", \"place\": ";
    AppendJsonUtf8(pane.place, b);
    b += ", \"header_lines\": ";
    AppendInteger(static_cast<long long>(HeaderLines(w, pane.id)), b);
    b += ", \"count\": ";
    AppendInteger(static_cast<long long>(lines.Count()), b);
    if (withLines) {
        b += ", \"lines\": [";
        std::string scratch;
        for (std::size_t i = 0; i < lines.Count(); ++i) {
            b += i == 0 ? "\n      " : ",\n      ";
            AppendJsonLine(lines.Line(i, scratch), b);
            out.Breathe();
        }
        b += lines.Count() == 0 ? "]" : "\n    ]";
    }
    b += '}';
}

}  // namespace

// What a filtered run kept: only when a filter was set, so that an
// unfiltered report stays as it always was.
void WriteFilter(const LineFilter* filter, std::string& b) {
    if (!filter || !filter->IsSet()) return;
    const auto day = [&](const std::optional<std::int32_t>& number) {
        b += number ? "\"" + DayText(*number) + "\"" : std::string("null");
    };
    b += "  \"filter\": {\"from\": ";
    day(filter->firstDay);
    b += ", \"to\": ";
    day(filter->lastDay);
    b += ", \"exclude_hosts\": [";
    for (std::size_t i = 0; i < filter->excludedHostFiles.size(); ++i) {
        if (i > 0) b += ", ";
        AppendJsonUtf8(filter->excludedHostFiles[i], b);
    }
    b += "], \"humans\": ";
    b += filter->humansOnly ? "true" : "false";
    b += ", \"path\": ";
    if (filter->pathPrefix.empty())
        b += "null";
    else
        AppendJsonUtf8(filter->pathPrefix, b);
    b += ", \"status\": [";
    const std::string classes = StatusClassesText(filter->statusClasses);
    for (std::size_t at = 0; at < classes.size(); at += 4) {
        if (at > 0) b += ", ";
        b += "\"" + classes.substr(at, 3) + "\"";
    }
    b += ']';
    // Only when set: the filters that came before it keep their member as it was.
    if (!filter->vhost.empty()) {
        b += ", \"vhost\": ";
        AppendJsonUtf8(filter->vhost, b);
    }
    b += "},\n";
}

void WriteJsonReport(ResultWindow& w, const ReportSource& source, bool withLog, ReportStream& out) {
    std::string& b = out.Buffer();
    b += "{\n  \"format\": \"pomurina-report\",\n  \"version\": ";
    AppendInteger(kJsonReportVersion, b);
    b += ",\n  \"created\": \"" + IsoLocalTime(source.created) + "\",\n";
    WriteFiles(source, b);
    WriteFilter(source.filter, b);
    const Summary* summary = ReportedSummary(source);
    b += "  \"complete\": ";
    b += summary && !source.error ? "true" : "false";
    b += ",\n  \"error\": ";
    if (source.error)
        AppendJsonString(*source.error, b);
    else
        b += "null";
    b += ",\n";
    WriteSummary(summary, TransferAsShown(w), b);
    WriteHours(summary, b);
    b += "  \"panes\": {\n";
    for (std::size_t p = 0; p < kReportPanes.size(); ++p) {
        if (p > 0) b += ",\n";
        const ReportPane& pane = kReportPanes[p];
        WritePane(w, pane, withLog || pane.id != PaneId::NamaLog, out);
    }
    b += "\n  },\n";
    WriteInsightJson(ReportedInsight(source), out);
    b += "\n}\n";
}

}  // namespace pomurina
