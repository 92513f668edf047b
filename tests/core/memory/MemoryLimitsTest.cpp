// What a run may use: the smallest headroom of every limit less a margin,
// read from control groups of either version (and their parents), the
// system's available memory and its commit limit when it never overcommits.
#include <gtest/gtest.h>
#include <sys/resource.h>

#include <map>

#include "TempDir.h"
#include "memory/MemoryLimits.h"

using namespace pomurina;
using namespace pomurina::testing;

namespace {

constexpr std::size_t MiB = std::size_t{1} << 20;
constexpr std::size_t GiB = std::size_t{1} << 30;

TEST(UsableMemory, TheSmallestHeadroomLessAMarginWins) {
    struct Case {
        const char* name;
        MemoryReadings readings;
        std::size_t bytes;
        bool setAsideCounts;
    };
    const Case cases[] = {
        {"nothing known", {}, std::size_t{1} << 62, false},
        {"available only", {.available = GiB}, 928 * MiB, false},
        {"a group below what is available",
         {.groups = {{2 * GiB, 2 * GiB - 512 * MiB}}, .available = 10 * GiB},
         448 * MiB,
         false},
        {"the parent group is the tighter",
         {.groups = {{8 * GiB, GiB}, {4 * GiB, 3 * GiB}}, .available = 10 * GiB},
         928 * MiB,
         false},
        {"a group already over its limit",
         {.groups = {{GiB, 2 * GiB}}, .available = 10 * GiB},
         0,
         false},
        {"a headroom smaller than the margin", {.available = 16 * MiB}, 0, false},
        {"the address space",
         {.available = 10 * GiB, .addressSpace = MemoryLimit{4 * GiB, 3 * GiB}},
         928 * MiB,
         true},
        {"the data limit",
         {.available = 10 * GiB, .data = MemoryLimit{2 * GiB, GiB}},
         928 * MiB,
         true},
        {"the commit limit",
         {.available = 10 * GiB,
          .commit = MemoryLimit{3 * GiB, 2 * GiB},
          .addressSpace = MemoryLimit{100 * GiB, 0}},
         928 * MiB,
         true},
        {"a limit with nothing available to compare", {.groups = {{GiB, 0}}}, 928 * MiB, false},
    };
    for (const Case& c : cases) {
        const UsableMemory usable = UsableMemoryOf(c.readings);
        EXPECT_EQ(usable.bytes, c.bytes) << c.name;
        EXPECT_EQ(usable.setAsideCounts, c.setAsideCounts) << c.name;
    }
}

using Files = std::map<std::string, std::string>;

// The control-group files of a process under a root of the test's own.
const char* const kMeminfo =
    "MemTotal:  4000000 kB\nMemAvailable:    1048576 kB\n"
    "CommitLimit:     2097152 kB\nCommitted_AS:    1048576 kB\n";

TEST(MemoryReadings, ControlGroupsOfEitherVersionAndTheirParentsAreRead) {
    struct Case {
        const char* name;
        Files files;
        std::vector<MemoryLimit> groups;
    };
    const std::string v1 = "/sys/fs/cgroup/memory";
    const std::string v1Mount =
        "34 30 0:31 / /sys/fs/cgroup/memory rw,relatime shared:9 - cgroup cgroup rw,memory\n"
        "40 30 0:37 / /sys/fs/cgroup/unified rw,relatime - cgroup2 cgroup2 rw\n";
    const Case cases[] = {
        {"version 1, unlimited above",
         {{"/proc/self/cgroup", "12:memory:/a/b\n11:cpu,cpuacct:/\n0::/\n"},
          {"/proc/self/mountinfo", v1Mount},
          {v1 + "/a/b/memory.limit_in_bytes", "2147483648\n"},
          {v1 + "/a/b/memory.usage_in_bytes", "1073741824\n"},
          {v1 + "/a/b/memory.stat", "cache 9\ninactive_file 7\ntotal_inactive_file 104857600\n"},
          {v1 + "/a/memory.limit_in_bytes", "9223372036854771712\n"},
          {v1 + "/a/memory.usage_in_bytes", "1073741824\n"},
          {v1 + "/memory.limit_in_bytes", "9223372036854771712\n"},
          {v1 + "/memory.usage_in_bytes", "3000000000\n"}},
         {{2 * GiB, GiB - 100 * MiB}}},
        {"version 1, a limited parent and a mount of part of the tree",
         {{"/proc/self/cgroup", "4:pids,memory:/ns/a/b\n"},
          {"/proc/self/mountinfo", "34 30 0:31 /ns " + v1 + " rw - cgroup cgroup rw,pids,memory\n"},
          {v1 + "/a/b/memory.limit_in_bytes", "4294967296\n"},
          {v1 + "/a/b/memory.usage_in_bytes", "1073741824\n"},
          {v1 + "/a/memory.limit_in_bytes", "3221225472\n"},
          {v1 + "/a/memory.usage_in_bytes", "2147483648\n"}},
         {{4 * GiB, GiB}, {3 * GiB, 2 * GiB}}},
        {"version 2, the limit on the parent",
         {{"/proc/self/cgroup", "0::/user.slice/app.scope\n"},
          {"/proc/self/mountinfo",
           "29 23 0:26 / /sys/fs/cgroup rw,nosuid - cgroup2 cgroup2 rw,nsdelegate\n"},
          {"/sys/fs/cgroup/user.slice/app.scope/memory.max", "max\n"},
          {"/sys/fs/cgroup/user.slice/app.scope/memory.current", "1000\n"},
          {"/sys/fs/cgroup/user.slice/memory.max", "3221225472\n"},
          {"/sys/fs/cgroup/user.slice/memory.current", "2147483648\n"},
          {"/sys/fs/cgroup/user.slice/memory.stat", "anon 5\ninactive_file 1073741824\n"}},
         {{3 * GiB, GiB}}},
        {"in no group with a memory controller",
         {{"/proc/self/cgroup", "3:cpu:/x\n"}, {"/proc/self/mountinfo", v1Mount}},
         {}},
        {"nothing to read", {}, {}},
    };
    for (const Case& c : cases) {
        const TempDir root;
        for (const auto& [path, text] : c.files) root.WriteFile(path.substr(1), text);
        root.WriteFile("proc/meminfo", kMeminfo);
        const MemoryReadings readings = ReadMemoryReadings(root.Path().string());
        EXPECT_EQ(readings.groups, c.groups) << c.name;
        EXPECT_EQ(readings.available, GiB) << c.name;
        EXPECT_FALSE(readings.commit) << c.name;
    }
}

TEST(MemoryReadings, TheCommitLimitCountsOnlyWhenTheSystemNeverOvercommits) {
    for (const char* mode : {"0\n", "1\n", "2\n"}) {
        const TempDir root;
        root.WriteFile("proc/meminfo", kMeminfo);
        root.WriteFile("proc/sys/vm/overcommit_memory", mode);
        const MemoryReadings readings = ReadMemoryReadings(root.Path().string());
        EXPECT_EQ(readings.commit.has_value(), mode[0] == '2') << mode;
        if (readings.commit) {
            EXPECT_EQ(*readings.commit, (MemoryLimit{2 * GiB, GiB}));
        }
    }
}

TEST(MemoryReadings, TheResourceLimitsAreTakenWithWhatTheProcessUses) {
    const TempDir root;
    root.WriteFile("proc/self/status", "Name:\tx\nVmSize:\t 1048576 kB\nVmData:\t  524288 kB\n");
    rlimit previous{};
    ASSERT_EQ(::getrlimit(RLIMIT_AS, &previous), 0);
    if (previous.rlim_max != RLIM_INFINITY) GTEST_SKIP() << "the address space is limited already";
    rlimit lower = previous;
    lower.rlim_cur = rlim_t{1} << 40;
    ASSERT_EQ(::setrlimit(RLIMIT_AS, &lower), 0);
    const MemoryReadings readings = ReadMemoryReadings(root.Path().string());
    ::setrlimit(RLIMIT_AS, &previous);
    EXPECT_EQ(readings.addressSpace, (MemoryLimit{std::size_t{1} << 40, GiB}));
}

}  // namespace
