#include "memory/MemoryLimits.h"

#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <string_view>

namespace pomurina {
namespace {

// A version 1 group without a limit reports one near 2^63.
constexpr std::size_t kNoGroupLimit = std::size_t{1} << 62;
constexpr std::size_t kKibi = 1024;
// Every margin leaves this much, and a share of the headroom on top.
constexpr std::size_t kMarginBytes = std::size_t{32} << 20;
constexpr std::size_t kMarginShare = 16;

// The text of a small system file ("" when it can't be read).
std::string ReadSmall(const std::string& path) {
    std::string text;
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) return text;
    char buffer[16384];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0 || text.size() > (std::size_t{4} << 20)) break;
        text.append(buffer, static_cast<std::size_t>(n));
    }
    ::close(fd);
    return text;
}

std::optional<std::size_t> Number(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    std::size_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end == text.data()) return std::nullopt;
    return value;
}

// The number after "name" at the start of a line of text ("MemAvailable:",
// "total_inactive_file "), times unit.
std::optional<std::size_t> Field(std::string_view text, std::string_view name,
                                 std::size_t unit = 1) {
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t end = std::min(text.find('\n', at), text.size());
        const std::string_view line = text.substr(at, end - at);
        if (line.starts_with(name)) {
            const std::optional<std::size_t> value = Number(line.substr(name.size()));
            if (value) return *value * unit;
        }
        at = end + 1;
    }
    return std::nullopt;
}

std::vector<std::string_view> Split(std::string_view text, char separator) {
    std::vector<std::string_view> parts;
    for (std::size_t at = 0;;) {
        const std::size_t end = text.find(separator, at);
        parts.push_back(text.substr(at, end - at));
        if (end == std::string_view::npos) return parts;
        at = end + 1;
    }
}

// A mounted hierarchy of control groups.
struct GroupMount {
    bool version2;
    std::string root, point;  // the mount's root within the hierarchy, and where it is mounted
};

std::vector<GroupMount> GroupMounts(const std::string& mountinfo) {
    std::vector<GroupMount> mounts;
    for (const std::string_view line : Split(mountinfo, '\n')) {
        // id parent device root point options [optional...] - type source super-options
        const std::size_t dash = line.find(" - ");
        if (dash == std::string_view::npos) continue;
        const std::vector<std::string_view> fields = Split(line.substr(0, dash), ' ');
        const std::vector<std::string_view> tail = Split(line.substr(dash + 3), ' ');
        if (fields.size() < 5 || tail.size() < 3) continue;
        bool memory = false;
        for (const std::string_view option : Split(tail[2], ','))
            memory = memory || option == "memory";
        if (tail[0] == "cgroup2" || (tail[0] == "cgroup" && memory))
            mounts.push_back(
                {tail[0] == "cgroup2", std::string(fields[3]), std::string(fields[4])});
    }
    return mounts;
}

// The process's group in the hierarchy of one version ("" when in none).
std::string OwnGroup(const std::string& cgroups, bool version2) {
    for (const std::string_view line : Split(cgroups, '\n')) {
        const std::vector<std::string_view> fields = Split(line, ':');
        if (fields.size() < 3) continue;
        bool memory = false;
        for (const std::string_view controller : Split(fields[1], ','))
            memory = memory || controller == "memory";
        if (version2 ? fields[0] == "0" && fields[1].empty() : memory)
            return std::string(line.substr(fields[0].size() + fields[1].size() + 2));
    }
    return "";
}

// The limits of a group and of every group above it up to the mount.
void ReadGroups(const std::string& root, const GroupMount& mount, const std::string& own,
                std::vector<MemoryLimit>& groups) {
    std::string relative = own;
    if (mount.root != "/" && relative.starts_with(mount.root))
        relative = relative.substr(mount.root.size());
    std::string folder = root + mount.point + relative;
    const std::string top = root + mount.point;
    for (;;) {
        while (folder.size() > top.size() && folder.back() == '/') folder.pop_back();
        const std::string stat = ReadSmall(folder + "/memory.stat");
        const std::optional<std::size_t> limit =
            Number(ReadSmall(folder + (mount.version2 ? "/memory.max" : "/memory.limit_in_bytes")));
        const std::optional<std::size_t> usage = Number(
            ReadSmall(folder + (mount.version2 ? "/memory.current" : "/memory.usage_in_bytes")));
        const std::size_t reclaimable =
            Field(stat, mount.version2 ? "inactive_file " : "total_inactive_file ").value_or(0);
        // "max" reads as no number: no limit.
        if (limit && usage && *limit < kNoGroupLimit)
            groups.push_back({*limit, *usage - std::min(*usage, reclaimable)});
        if (folder.size() <= top.size()) return;
        folder.resize(folder.rfind('/'));
        if (folder.size() < top.size()) folder = top;
    }
}

std::optional<MemoryLimit> ResourceLimit(int resource, std::optional<std::size_t> used) {
    rlimit limit{};
    if (::getrlimit(resource, &limit) != 0 || limit.rlim_cur == RLIM_INFINITY || !used)
        return std::nullopt;
    return MemoryLimit{static_cast<std::size_t>(limit.rlim_cur), *used};
}

std::size_t Headroom(const MemoryLimit& limit) {
    return limit.limit - std::min(limit.limit, limit.used);
}

}  // namespace

MemoryReadings ReadMemoryReadings(const std::string& root) {
    MemoryReadings readings;
    const std::string cgroups = ReadSmall(root + "/proc/self/cgroup");
    for (const GroupMount& mount : GroupMounts(ReadSmall(root + "/proc/self/mountinfo"))) {
        const std::string own = OwnGroup(cgroups, mount.version2);
        if (!own.empty()) ReadGroups(root, mount, own, readings.groups);
    }
    const std::string meminfo = ReadSmall(root + "/proc/meminfo");
    readings.available = Field(meminfo, "MemAvailable:", kKibi);
    const std::optional<std::size_t> commitLimit = Field(meminfo, "CommitLimit:", kKibi);
    const std::optional<std::size_t> committed = Field(meminfo, "Committed_AS:", kKibi);
    if (Number(ReadSmall(root + "/proc/sys/vm/overcommit_memory")) == 2 && commitLimit && committed)
        readings.commit = MemoryLimit{*commitLimit, *committed};
    const std::string status = ReadSmall(root + "/proc/self/status");
    readings.addressSpace = ResourceLimit(RLIMIT_AS, Field(status, "VmSize:", kKibi));
    readings.data = ResourceLimit(RLIMIT_DATA, Field(status, "VmData:", kKibi));
    return readings;
}

UsableMemory UsableMemoryOf(const MemoryReadings& readings) {
    std::optional<std::size_t> headroom = readings.available;
    const auto take = [&](std::size_t bytes) {
        headroom = headroom ? std::min(*headroom, bytes) : bytes;
    };
    for (const MemoryLimit& group : readings.groups) take(Headroom(group));
    for (const auto* limit : {&readings.commit, &readings.addressSpace, &readings.data})
        if (*limit) take(Headroom(**limit));
    UsableMemory usable;
    usable.setAsideCounts = readings.commit || readings.addressSpace || readings.data;
    // Nothing known at all: the program can't tell, and takes what it needs.
    if (!headroom) {
        usable.bytes = kNoGroupLimit;
        return usable;
    }
    const std::size_t margin = kMarginBytes + *headroom / kMarginShare;
    usable.bytes = *headroom - std::min(*headroom, margin);
    return usable;
}

}  // namespace pomurina
