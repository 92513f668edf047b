#pragma once
// What a finished analysis run leaves beside the filled window: its typed
// results, kept after the run has let its collections go.
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "analysis/EntryList.h"
#include "analysis/Summary.h"
#include "filter/LineFilter.h"
#include "formats/LogFormat.h"
#include "io/OriginalLog.h"
#include "insight/Insight.h"
#include "insight/InsightRules.h"
#include "text/LineSource.h"
#include "text/TextLines.h"

namespace pomurina {

struct RunResult {
    Summary summary;
    // Whether the own-domain list had entries, and the run's referrer
    // entries ("Time [Referrer] Path", shared with the referrer pane): what
    // the guess of an own domain reads (OwnDomainGuess.h), when it is wanted.
    bool ownDomainsListed = false;
    std::shared_ptr<const EntryList> referrers;
    // The reading of the lines by their fields; none when its rule files
    // could not be read.
    std::shared_ptr<const Insight> insight;
    // Why there is no insight then (Shift-JIS, naming the file and the reason).
    std::optional<std::string> insightProblem;
    // The rules the insight read the lines by, and the lines it read (shared
    // with the raw-log pane): what narrows the log to a row of the insight.
    std::shared_ptr<const InsightRules> insightRules;
    SharedLineSource logLines;
    // Every line of the run's logs, whatever a filter chose: what a filter
    // chooses from again without reading the files.
    std::shared_ptr<const TextLines> wholeLog;
    // What the run kept of the logs (nothing set: every line).
    LineFilter filter;
    // The format each log was read as, in the order of the logs (empty when
    // the run took the lines of an earlier run).
    std::vector<LogFormat> formats;
    // With ClassifyPlan::keepOriginals, for each log converted as it was read,
    // its file's lines (see OriginalLog.h); null for a log read as it is, and
    // empty when no log was converted.  The raw-log pane shows a converted
    // line as original->bytes' line lineOf[k], k counted from the log's
    // first line in logLines (the line at runBytesBefore).
    std::vector<std::shared_ptr<const OriginalLog>> originals;
};

}  // namespace pomurina
