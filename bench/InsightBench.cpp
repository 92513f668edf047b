// pomurina-insight-bench: what the insight's reading of a log costs, alone:
// the lines read into one part on one thread, and in batches on several
// threads merged in log order as the run does; the merge and the finish
// timed apart, with the heap the insight holds at its largest.
//
//   pomurina-insight-bench LOG RULES_FOLDER [THREADS] [BATCH_LINES] [ROUNDS]
//
// With ROUNDS, only the batches are measured, that many times (for a profiler).
#include <malloc.h>
#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <vector>

#include "insight/InsightWhole.h"
#include "io/FileIo.h"
#include "parallel/OrderedWork.h"
#include "text/TextLines.h"

namespace {

using Clock = std::chrono::steady_clock;

std::size_t HeapInUse() {
    const struct mallinfo2 info = ::mallinfo2();
    return info.uordblks + info.hblkhd;
}

double SecondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// The processor time of the whole process so far, every thread's: in the
// program, and in the system on its behalf (mostly fresh pages).
double UserSeconds() {
    struct rusage usage {};
    ::getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec) +
           static_cast<double>(usage.ru_utime.tv_usec) / 1e6;
}
double SystemSeconds() {
    struct rusage usage {};
    ::getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_stime.tv_sec) +
           static_cast<double>(usage.ru_stime.tv_usec) / 1e6;
}

struct Figures {
    double wall = 0, user = 0, system = 0, merge = 0, finish = 0;
    std::size_t heap = 0;        // the most the insight held
    std::size_t mergedHeap = 0;  // before the finish
    std::size_t peakGrowth = 0;  // of the process's largest resident size
};

std::size_t PeakResident() {
    struct rusage usage {};
    ::getrusage(RUSAGE_SELF, &usage);
    return static_cast<std::size_t>(usage.ru_maxrss) * 1024;
}

Figures Measure(const pomurina::TextLines& lines, const pomurina::InsightRules& rules,
                unsigned threads, std::size_t batch) {
    using namespace pomurina;
    const std::size_t heapBefore = HeapInUse();
    const std::size_t peakBefore = PeakResident();
    std::size_t heapMost = 0;
    Figures figures;
    const double userBefore = UserSeconds(), systemBefore = SystemSeconds();
    const auto start = Clock::now();
    const std::size_t count = (lines.Count() + batch - 1) / batch;
    std::vector<std::unique_ptr<InsightPart>> parts(count);
    InsightWhole whole(rules);
    RunOrdered(
        {count, threads, 0},
        [&](std::size_t k) {
            parts[k] = std::make_unique<InsightPart>(rules, batch);
            const std::size_t end = std::min(lines.Count(), (k + 1) * batch);
            for (std::size_t i = k * batch; i < end; ++i) parts[k]->Read(lines.At(i));
            return true;
        },
        [&](std::size_t k) {
            const auto merging = Clock::now();
            whole.Merge(*parts[k]);
            heapMost = std::max(heapMost, HeapInUse());
            parts[k].reset();
            figures.merge += SecondsSince(merging);
        });
    figures.mergedHeap = HeapInUse() - heapBefore;
    const auto finishing = Clock::now();
    const Insight insight = whole.Finish();
    figures.finish = SecondsSince(finishing);
    heapMost = std::max(heapMost, HeapInUse());
    figures.wall = SecondsSince(start);
    figures.user = UserSeconds() - userBefore;
    figures.system = SystemSeconds() - systemBefore;
    figures.heap = heapMost - heapBefore;
    figures.peakGrowth = PeakResident() - peakBefore;
    if (insight.totals.hits + insight.totals.unparsed != static_cast<std::int64_t>(lines.Count()))
        std::fputs("lines lost\n", stderr);
    return figures;
}

}  // namespace

int main(int argc, char** argv) {
    using namespace pomurina;
    if (argc < 3 || argc > 6) {
        std::fputs(
            "usage: pomurina-insight-bench LOG RULES_FOLDER [THREADS] [BATCH_LINES] [ROUNDS]\n",
            stderr);
        return 2;
    }
    const unsigned threads = argc > 3 ? static_cast<unsigned>(std::atoi(argv[3])) : 2;
    const std::size_t batch = argc > 4 ? static_cast<std::size_t>(std::atol(argv[4])) : 8192;
    std::string bytes;
    if (ReadWholeFile(argv[1], bytes) != 0) return 1;
    const double logBytes = static_cast<double>(bytes.size());
    const TextLines lines(std::move(bytes));
    const auto rules = LoadInsightRules(argv[2], {});
    const double n = static_cast<double>(lines.Count());
    std::printf("%zu lines, %.0f MB\n", lines.Count(), logBytes / 1e6);
    std::printf("%-22s %8s %10s %9s %9s %9s %9s %9s %9s %8s %9s\n", "", "wall s", "lines/s",
                "user ns", "sys ns", "merge s", "finish s", "merged", "heap MB", "x log",
                "peak +MB");
    std::printf("%-22s %8s %10s %9s %9s %9s %9s %9s\n", "", "", "", "a line", "a line", "", "",
                "MB");
    const auto row = [&](const char* name, const Figures& f) {
        std::printf("%-22s %8.3f %10.0f %9.1f %9.1f %9.3f %9.3f %9.1f %9.1f %8.3f %9.1f\n", name,
                    f.wall, n / f.wall, f.user * 1e9 / n, f.system * 1e9 / n, f.merge, f.finish,
                    static_cast<double>(f.mergedHeap) / 1e6, static_cast<double>(f.heap) / 1e6,
                    static_cast<double>(f.heap) / logBytes,
                    static_cast<double>(f.peakGrowth) / 1e6);
    };
    const int rounds = argc > 5 ? std::atoi(argv[5]) : 0;
    if (rounds == 0)
        row("one part, 1 thread",
            Measure(lines, *rules, 1, std::max<std::size_t>(lines.Count(), 1)));
    char name[64];
    std::snprintf(name, sizeof name, "batches, %u threads", threads);
    for (int round = 0; round < std::max(rounds, 1); ++round)
        row(name, Measure(lines, *rules, threads, batch));
    return 0;
}
