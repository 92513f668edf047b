#pragma once
// How much more memory the process may take before the system refuses it or
// ends the program: every limit that applies (the control groups', version 1
// or 2, from the process's own up to the top; the memory the system can
// still give; its commit limit when it never overcommits; the address-space
// and data limits), each less what is already used under it.
#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace pomurina {

// One limit and what is used under it, in bytes.
struct MemoryLimit {
    std::size_t limit = 0;
    std::size_t used = 0;
    bool operator==(const MemoryLimit&) const = default;
};

// The limits as read; an absent one doesn't apply.
struct MemoryReadings {
    // The control groups with a limit, the process's own first; their use
    // leaves out file pages the system can take back at once.
    std::vector<MemoryLimit> groups = {};
    std::optional<std::size_t> available = {};  // MemAvailable
    std::optional<MemoryLimit> commit = {};     // CommitLimit, Committed_AS (never overcommitting)
    std::optional<MemoryLimit> addressSpace = {};  // RLIMIT_AS, the process's size
    std::optional<MemoryLimit> data = {};          // RLIMIT_DATA, the process's data
};

// Reads the limits; root is where /proc and /sys are (a test gives a tree of
// its own).  The resource limits are the process's own, whatever root.
MemoryReadings ReadMemoryReadings(const std::string& root = "");

// What a run may use.
struct UsableMemory {
    std::size_t bytes = 0;
    // Address space set aside counts as used (an address-space or data
    // limit, or a system that never overcommits), so a text may not set
    // aside room for its largest size.
    bool setAsideCounts = false;
};

// The smallest headroom, less a margin for what the program holds besides
// the lines (its windows, a report being written, a decompressor's window).
UsableMemory UsableMemoryOf(const MemoryReadings& readings);

}  // namespace pomurina
