#pragma once
// Compressed forms of test texts made by the formats' own command-line tools
// (gzip, bzip2, xz, zstd), so that what the program reads was written by
// an implementation other than the one it reads with.
#include <string>
#include <vector>

namespace pomurina::testing {

// A compressing command ("gzip -n", "bzip2", "xz", "zstd -q") and the name
// ending its files usually have.
struct CompressTool {
    std::string command;
    std::string extension;
};

// The four formats' tools.
const std::vector<CompressTool>& CompressTools();

// What the shell command writes to standard output when bytes are its
// standard input (the command must succeed).
std::string RunFilter(const std::string& command, const std::string& bytes);

}  // namespace pomurina::testing
