// A filtered run again on the lines a run holds, against the run that read
// them: the window's 適用 never reads the files again, so a filter that keeps
// every line should cost no more than reading and analysing them did.
//   pomurina-filter-bench MATERIA LOG [ROUNDS]
// prints the median seconds of each run and their ratio.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "analysis/LogCounting.h"
#include "filter/LineFilter.h"
#include "window/ResultWindow.h"

using namespace pomurina;

namespace {

template <typename Run>
double Seconds(Run&& run) {
    const auto start = std::chrono::steady_clock::now();
    run();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fputs("usage: pomurina-filter-bench MATERIA LOG [ROUNDS]\n", stderr);
        return 2;
    }
    const std::string materia = std::filesystem::absolute(argv[1]).string();
    const std::string log = std::filesystem::absolute(argv[2]).string();
    const int rounds = argc > 3 ? std::max(1, std::atoi(argv[3])) : 5;
    const RunPlaces places{std::filesystem::current_path().string(), materia};
    LineFilter everything, half;
    everything.firstDay = ParseDayText("1970-01-01");
    half.statusClasses = 1u << 2;  // a part of the lines
    std::vector<double> read, keptAll, keptHalf;
    std::shared_ptr<const TextLines> held;
    for (int round = 0; round < rounds; ++round) {
        {
            MemoryWindow window;
            read.push_back(Seconds([&] { held = LogCounting(window, log, places).wholeLog; }));
        }
        for (auto [filter, times] : {std::pair{&everything, &keptAll}, std::pair{&half, &keptHalf}}) {
            MemoryWindow window;
            times->push_back(
                Seconds([&] { LogCounting(window, held, {log}, places, {}, *filter); }));
        }
    }
    std::printf("read and analysed:              %.3f s\n", Median(read));
    std::printf("held, a filter keeping all:     %.3f s (%.2fx)\n", Median(keptAll),
                Median(keptAll) / Median(read));
    std::printf("held, a filter keeping 2xx:     %.3f s (%.2fx)\n", Median(keptHalf),
                Median(keptHalf) / Median(read));
    return 0;
}
