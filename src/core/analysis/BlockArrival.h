#pragma once
// The logs of a streamed run read into blocks on a thread of their own (a
// long task of the worker pool), so that one block is classified while the
// next is read or unpacked; the run's thread takes what happened in the
// order it happened.  Each block is cut into lines on the reading thread, which
// has time to spare, not on the run's, which merges.  With no thread to
// spare, the reading runs on the run's thread and each block is taken as it
// is handed on.
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
#include "text/TextLines.h"

namespace pomurina {

class BlockArrival {
public:
    // Told a block of whole lines, in a room that is the block's until the
    // call returns.
    using Take = std::function<void(const std::shared_ptr<const TextLines>& lines)>;

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
        std::shared_ptr<ByteBuffer> bytes;       // a block's room, or none
        std::shared_ptr<const TextLines> lines;  // its lines
        std::size_t index = 0;                   // else a log told as begun or ended
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
