#pragma once
// pomurina-report --fetch [NAME]: what the FTP window's connect button does,
// without a window, before the run: the stored settings, the fetch into
// logs/ in the data folder, and the analysis of the copy.  A server nobody
// has trusted yet is refused, unless --trust names its fingerprint.
#include <optional>
#include <string>

#include "analysis/LogCounting.h"

namespace pomurina {

struct FetchArguments {
    // NAME as given (UTF-8); today's default name when absent.
    std::optional<std::string> name;
    // --trust FINGERPRINT.
    std::optional<std::string> trust;
    // --materia DIR, made absolute: where the settings and the trusted
    // servers are, instead of the data folder's materia/.
    std::optional<std::string> materia;
};

// Fetches the log into the data folder chosen from places.programDirectory
// (the tool's own directory).  On success places.programDirectory is the data folder
// (the current directory now), places.materiaDirectory the folder of the
// lists, logFile the copy's path relative to it, and the result 0.
// Otherwise the message is on standard error and the result is 2 for a NAME
// that can't name the copy, 1 for anything else (the old copy is kept).
int FetchForReport(const FetchArguments& arguments, RunPlaces& places, std::string& logFile);

}  // namespace pomurina
