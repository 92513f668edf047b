#pragma once
// The logs of a streamed run read into blocks on a thread of their own (a
// long task of the worker pool), so that one block is classified while the
// next is read or unpacked; the run's thread takes what happened in the
// order it happened.  With no thread to spare, the reading runs on the run's
// thread and each block is taken as it is handed on.
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>

#include "io/LogBlocks.h"
#include "io/LogFiles.h"
#include "parallel/LongTask.h"

namespace pomurina {

class BlockArrival {
public:
    // Told a block of whole lines: its room and how many of its bytes it is
    // (the room is the block's until the call returns).
    using Take = LogBlocks::Handed;

    // Blocks of about blockBytes, their rooms charged to budget.
    BlockArrival(LogReading& reading, MemoryBudget& budget, std::size_t blockBytes);
    // Stops a reading that has not ended, and waits for it.
    ~BlockArrival();
    BlockArrival(const BlockArrival&) = delete;
    BlockArrival& operator=(const BlockArrival&) = delete;

    // Reads every log, with told and take called on this thread in the
    // reading's order; throws what the reading or take throws.
    void Run(const LogReadingTold& told, const Take& take);

private:
    struct Event {
        std::shared_ptr<ByteBuffer> bytes;  // a block, or none
        std::size_t length = 0;
        std::size_t index = 0;  // else a log told as begun or ended
        bool ended = false;
        bool last = false;  // the reading is over, failed when error
        std::exception_ptr error;
    };
    void Handed(const std::shared_ptr<ByteBuffer>& bytes, std::size_t length);
    void Push(Event event);
    void Read();

    LogReading& m_reading;
    LogBlocks m_blocks;
    const Take* m_take = nullptr;  // set while the reading is on this thread
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::deque<Event> m_events;
    std::optional<LongTask> m_task;
};

}  // namespace pomurina
