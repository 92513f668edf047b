// pomurina-listbench: how long a reference list takes to prepare for
// searching and how much memory its search form holds; with a log, how long
// the search takes over the log's lines (as the robot strings are searched).
//
//   pomurina-listbench LIST [LOG]
#include <malloc.h>

#include <chrono>
#include <cstdio>
#include <memory>

#include "search/PatternSet.h"
#include "io/FileIo.h"
#include "text/TextLines.h"
#include "text/TextList.h"

namespace {

std::size_t HeapInUse() {
    const struct mallinfo2 info = ::mallinfo2();
    return info.uordblks + info.hblkhd;
}

double SecondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

}  // namespace

int main(int argc, char** argv) {
    using namespace pomurina;
    if (argc < 2 || argc > 3) {
        std::fputs("usage: pomurina-listbench LIST [LOG]\n", stderr);
        return 2;
    }
    TextList list;
    list.LoadFromFile(argv[1]);
    const std::size_t before = HeapInUse();
    auto start = std::chrono::steady_clock::now();
    auto set = std::make_unique<PatternSet>(list.Lines());
    const double prepare = SecondsSince(start);
    const std::size_t held = HeapInUse() - before;
    std::printf("entries %zu  prepare %.3f s  held %.1f MB\n", list.Count(), prepare,
                static_cast<double>(held) / 1e6);
    if (argc == 3) {
        std::string bytes;
        if (ReadWholeFile(argv[2], bytes) != 0) return 1;
        const TextLines lines(std::move(bytes));
        start = std::chrono::steady_clock::now();
        std::size_t hits = 0;
        for (std::size_t i = 0; i < lines.Count(); ++i) hits += set->AnyIn(lines.At(i));
        const double search = SecondsSince(start);
        std::printf("lines %zu  hits %zu  search %.3f s  %.0f ns/line\n", lines.Count(), hits,
                    search, search * 1e9 / static_cast<double>(lines.Count()));
    }
    return 0;
}
