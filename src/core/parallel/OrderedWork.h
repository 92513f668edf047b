#pragma once
// Work cut into numbered pieces, done by the calling thread and helpers from
// the worker pool, and finished on the calling thread in order: the calling
// thread does pieces too, and finishes the next piece in line whenever it is
// done.
#include <cstddef>
#include <functional>

namespace pomurina {

struct OrderedWorkPlan {
    std::size_t pieces = 0;
    unsigned threads = 0;  // the calling one too, at most the pool's cap; 0: the cap
    // At most this many pieces done by other threads wait to be finished
    // (their results take memory); 0: no limit.
    std::size_t ahead = 0;
};

// Runs work(k) for k = 0 .. pieces - 1 on any thread, and finish(k) on the
// calling thread for k = 0, 1, ... in order, each after its work.  work must
// not throw; it returns false when no later piece is needed, and then no
// later piece is begun or finished.  An exception from finish ends the run
// (the other threads stop after their current piece) and is thrown on.
void RunOrdered(const OrderedWorkPlan& plan, const std::function<bool(std::size_t)>& work,
                const std::function<void(std::size_t)>& finish);

// The number of threads that "0: the cap" stands for: the worker pool's cap,
// one for every core.
unsigned CoreCount();

}  // namespace pomurina
