#pragma once
// A converted log's lines as its file has them, kept beside the run's text
// (whose lines are their combined lines) for the raw-log pane: the file's
// bytes as read (unpacked), where the log's lines begin in the run's text,
// and for each line the run reads from the log, the file's line it came
// from (header and comment lines give none).
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace pomurina {

struct OriginalLog {
    // Where the log's first line begins in the run's text (a byte offset).
    std::size_t runBytesBefore = 0;
    // The file's bytes, its zero bytes left out, split into lines as any
    // log is (CR, LF, CR LF).
    std::string bytes;
    // lineOf[k]: the 0-based number of the file's line that the log's k-th
    // line in the run's text was made from.
    std::vector<std::uint64_t> lineOf;
};

}  // namespace pomurina
