// The worker pool at every cap and when no thread can be created: nested
// ordered work completes in order with no more threads at work than the
// cap, a long task leaves a run its helpers, a run asking a busy pool works
// alone instead of waiting, and every thread site gives the same result.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <mutex>
#include <set>
#include <thread>

#include "TempDir.h"
#include "io/LogFile.h"
#include "parallel/LongTask.h"
#include "parallel/OrderedWork.h"
#include "parallel/WorkerPool.h"
#include "text/TextLines.h"

using namespace pomurina;

namespace {

struct PoolCase {
    WorkerPoolSettings settings;
    unsigned most;  // threads at work at once
};
const PoolCase kPools[] = {
    {{1, false}, 1}, {{2, false}, 2}, {{3, false}, 3}, {{8, false}, 8}, {{4, true}, 1}};

// Waits until ready() holds, for at most a while: false when it never did.
template <typename F>
bool WaitFor(F ready) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (!ready()) {
        if (std::chrono::steady_clock::now() > end) return false;
        std::this_thread::yield();
    }
    return true;
}

// How many threads are inside a scope at once, and which.
struct Occupancy {
    std::atomic<unsigned> now{0}, most{0};
    std::mutex mutex;
    std::set<std::thread::id> threads;
    void Enter() {
        const unsigned n = ++now;
        for (unsigned seen = most; n > seen && !most.compare_exchange_weak(seen, n);) {
        }
        const std::lock_guard lock(mutex);
        threads.insert(std::this_thread::get_id());
    }
    void Leave() { --now; }
};

}  // namespace

TEST(WorkerPool, NestedOrderedWorkFinishesInOrderWithinTheCap) {
    for (const PoolCase& c : kPools) {
        SCOPED_TRACE("cap " + std::to_string(c.settings.cap));
        WorkerPool pool(c.settings);
        const PoolOverride use(pool);
        Occupancy inner;
        std::vector<std::size_t> sums(12), finished;
        RunOrdered(
            {12, 0, 2},
            [&](std::size_t outer) {
                std::size_t sum = 0;
                RunOrdered(
                    {9, 0, 0},
                    [&](std::size_t k) {
                        inner.Enter();
                        std::this_thread::sleep_for(std::chrono::microseconds(200));
                        inner.Leave();
                        return k != 7;  // the last piece is not needed
                    },
                    [&](std::size_t k) { sum += k; });
                sums[outer] = sum;
                return true;
            },
            [&](std::size_t outer) { finished.push_back(outer); });
        std::vector<std::size_t> inOrder(12);
        for (std::size_t k = 0; k < inOrder.size(); ++k) inOrder[k] = k;
        EXPECT_EQ(finished, inOrder);
        EXPECT_EQ(sums, std::vector<std::size_t>(12, 28));
        EXPECT_LE(inner.most.load(), c.most);
        if (c.settings.refuseThreads) {
            EXPECT_EQ(inner.threads.size(), 1u);
        }
    }
}

TEST(WorkerPool, ALongTaskLeavesARunItsHelper) {
    WorkerPool pool({2, false});
    const PoolOverride use(pool);
    std::atomic<bool> runEnded{false}, taskEnded{false};
    LongTask reader([&] { taskEnded = WaitFor([&] { return runEnded.load(); }); });
    ASSERT_TRUE(reader.Started());
    // Each piece waits for the other to begin: two threads beside the task.
    std::atomic<int> begun{0};
    std::atomic<bool> together{true};
    RunOrdered(
        {2, 0, 0},
        [&](std::size_t) {
            ++begun;
            if (!WaitFor([&] { return begun == 2; })) together = false;
            return true;
        },
        [](std::size_t) {});
    EXPECT_TRUE(together);
    runEnded = true;
    reader.Wait();
    EXPECT_TRUE(taskEnded);

    WorkerPool refusing({2, true});
    const PoolOverride useRefusing(refusing);
    EXPECT_FALSE(LongTask([] {}).Started());
}

TEST(WorkerPool, ARunAskingABusyPoolWorksAlone) {
    // The one helper of a cap of 2 is held until a second run, asked for
    // from another thread, has ended: that run's invitation is never taken.
    WorkerPool pool({2, false});
    const PoolOverride use(pool);
    const std::thread::id caller = std::this_thread::get_id();
    std::atomic<bool> helperIn{false}, secondEnded{false};
    Occupancy second;
    RunOrdered(
        {2, 2, 0},
        [&](std::size_t) {
            if (std::this_thread::get_id() != caller) {
                helperIn = true;
                WaitFor([&] { return secondEnded.load(); });
                return true;
            }
            if (!WaitFor([&] { return helperIn.load(); })) return true;
            const LongTask other([&] {
                RunOrdered(
                    {20, 2, 0},
                    [&](std::size_t) {
                        second.Enter();
                        second.Leave();
                        return true;
                    },
                    [](std::size_t) {});
                secondEnded = true;
            });
            return true;
        },
        [](std::size_t) {});
    EXPECT_TRUE(helperIn);
    EXPECT_TRUE(secondEnded);
    EXPECT_EQ(second.threads.size(), 1u);
}

TEST(ThreadSites, GiveTheSameResultInEveryPool) {
    // Lines of every end and length; a long stretch without LF, so that
    // several shares of the text meet the same LF.
    std::string text;
    for (std::size_t i = 0; text.size() < (std::size_t{9} << 20); ++i) {
        text += std::string(i % 97, static_cast<char>('a' + i % 26));
        text += i % 5 == 0 ? "\r\n" : i % 7 == 0 ? "\r" : i % 11 == 0 ? "\n\r" : "\n";
        if (i == 1000) text += std::string(std::size_t{3} << 20, 'x');
    }
    const pomurina::testing::TempDir dir;
    const std::string file = text + std::string(std::size_t{24} << 20, 'y');
    const std::string path = dir.WriteFile("log", file);
    std::vector<std::pair<std::uint64_t, std::size_t>> reference;
    for (const PoolCase& c : kPools) {
        SCOPED_TRACE("cap " + std::to_string(c.settings.cap));
        WorkerPool pool(c.settings);
        const PoolOverride use(pool);
        const TextLines lines(text);
        std::vector<std::pair<std::uint64_t, std::size_t>> spans;
        for (std::size_t i = 0; i < lines.Count(); ++i)
            spans.emplace_back(lines.Offset(i), lines.Length(i));
        if (reference.empty()) reference = spans;
        EXPECT_EQ(spans, reference);
        ByteBuffer bytes;
        ASSERT_EQ(ReadLogFile(path, bytes), 0);
        EXPECT_TRUE(bytes.View() == file);
    }
}

TEST(WorkerPool, TheCapIsSetOnlyByAWholeNumberFromOneTo64) {
    ::unsetenv("POMURINA_WORKERS");
    const unsigned cores = DefaultCap();
    const std::pair<const char*, unsigned> cases[] = {
        {"1", 1},    {"64", 64},    {"07", 7},     {"65", cores}, {"0", cores},
        {"", cores}, {"2x", cores}, {"-1", cores}, {" 3", cores}, {"100", cores}};
    for (const auto& [text, cap] : cases) {
        ::setenv("POMURINA_WORKERS", text, 1);
        EXPECT_EQ(DefaultCap(), cap) << '"' << text << '"';
    }
    ::unsetenv("POMURINA_WORKERS");
}
