#pragma once
// The numbers of a finished run, typed and named: what the summary fields,
// the graphs and the reports show.  Taken from the run's CountingResult at
// its end, so that they outlive it.
#include <cstdint>

#include "analysis/CountingResult.h"

namespace pomurina {

// One box of counts: the connections (every line), the GET requests or the
// POST receptions.
struct RequestCounts {
    std::int64_t total = 0;
    // Distinct hosts (connections) or distinct files (GET, POST).
    std::int64_t distinct = 0;
    // By the status the server answered; any other status counts in none.
    std::int64_t status200 = 0;
    std::int64_t status403 = 0;
    std::int64_t status404 = 0;

    bool operator==(const RequestCounts&) const = default;
};

struct Summary {
    RequestCounts connections;
    RequestCounts get;
    RequestCounts post;
    // GET requests naming favicon.ico, and those of them by Internet Explorer.
    std::int64_t faviconAll = 0;
    std::int64_t faviconMsie = 0;
    // Successful GET requests per distinct host, truncated; 0 without hosts.
    std::int64_t requestsPerHost = 0;
    // The sizes of the successful GET requests, in bytes.
    double transferBytes = 0;
    // Lines, GET requests and POST receptions by the hour written in them.
    HourCounts allHours{};
    HourCounts getHours{};
    HourCounts postHours{};
    // Whether every line of the log was classified.
    bool complete = false;
};

// The summary of a run's result.
Summary SummaryOf(const CountingResult& result);

}  // namespace pomurina
