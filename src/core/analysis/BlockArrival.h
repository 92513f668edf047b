#pragma once
// The logs of a streamed run read into blocks on a thread of their own (a
// long task of the worker pool) and classified as they come, on every core:
// each block is cut into lines and into pieces on the reading thread, the
// pieces are classified by the run's thread and its helpers, and the run's
// thread finishes them (merges them) and takes what else happened in the
// order it happened.  No block waits for the one before to be merged, so
// the blocks may be small: the first is classified a moment after the
// reading begins, and the rooms take little memory.  With no thread to
// spare, the reading runs on the run's thread, which classifies each block
// as it is handed on.
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>

#include "analysis/BatchClassifier.h"
#include "io/LogBlocks.h"
#include "io/LogFiles.h"
#include "parallel/HelperGroup.h"
#include "parallel/LongTask.h"
#include "text/TextLines.h"

namespace pomurina {

class BlockArrival {
public:
    struct Calls {
        // A log begun or ended (the run's thread, in order).
        LogReadingTold told;
        // The lines of each block to classify, told all of them (the reading
        // thread): a filter's choice, say.
        std::function<std::shared_ptr<const TextLines>(std::shared_ptr<const TextLines> lines)>
            choose;
        // Classifies the lines first to end of lines into batch (any
        // thread, must not throw); false when no later piece is needed.
        std::function<bool(const std::shared_ptr<const TextLines>& lines, std::size_t first,
                           std::size_t end, ClassifiedBatch& batch)>
            classify;
        // Takes a piece's batch, in order (the run's thread), told how many
        // lines had been read by the end of its block.  A piece with no
        // lines comes unclassified, and so does one taken after a classify
        // said no more (those other threads had taken before come as they are).
        std::function<void(ClassifiedBatch& batch, std::size_t linesRead)> finish;
    };

    // Blocks of about blockBytes, their rooms charged to budget; pieces of
    // at most plan.batchLines, on plan.threads.
    BlockArrival(LogReading& reading, MemoryBudget& budget, std::size_t blockBytes,
                 const ClassifyPlan& plan);
    // Stops a reading that has not ended, and waits for it.
    ~BlockArrival();
    BlockArrival(const BlockArrival&) = delete;
    BlockArrival& operator=(const BlockArrival&) = delete;

    // Reads every log, with told and finish called on this thread in the
    // reading's order; throws what the reading or a call throws.
    void Run(const Calls& calls);

    // The rooms blocks are read into: enough for the pieces classified
    // ahead of the merge, the block being read and the one after.
    static std::size_t Rooms(const ClassifyPlan& plan);

private:
    // A piece of a block's lines, a log told as begun or ended, or the end
    // of the reading.
    struct Item {
        std::shared_ptr<const TextLines> lines;  // a piece's, else none
        std::size_t first = 0, end = 0, linesRead = 0;
        std::shared_ptr<ByteBuffer> room;  // on a block's last piece: given back once finished
        bool taken = false, done = false;
        ClassifiedBatch batch;
        std::size_t index = 0;  // a log told
        bool ended = false;
        bool last = false;  // the reading is over, failed when error
        std::exception_ptr error;
    };
    void Handed(const std::shared_ptr<ByteBuffer>& bytes, std::size_t length);
    void Push(Item item);
    void Read();
    // Finishes what is ready and classifies what is waiting, until the last
    // item is met (true) or, when wait is false, until nothing is left to
    // do now; the lock is released around every call.
    bool Serve(std::unique_lock<std::mutex>& lock, bool wait);
    // The next piece to classify, taken; none when there is none or too
    // many wait to be finished.
    Item* TakePiece();
    void Classify(Item& piece, std::unique_lock<std::mutex>& lock);
    void Help();
    void StopHelpers();

    LogReading& m_reading;
    const std::size_t m_pieceLines;
    const unsigned m_threads;
    const std::size_t m_ahead;
    LogBlocks m_blocks;
    const LogReadingTold m_told;  // puts a log told in line
    const Calls* m_calls = nullptr;
    bool m_inline = false;        // the reading runs on the run's thread
    std::size_t m_linesRead = 0;  // by the reading thread
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::deque<Item> m_items;
    std::size_t m_firstItem = 0;  // the number of m_items.front() since the run began
    std::size_t m_nextItem = 0;   // the first that may be a piece not yet taken
    std::size_t m_piecesOut = 0;  // taken and not finished
    bool m_noMorePieces = false;  // a classify said no more
    bool m_stopping = false;
    std::optional<HelperGroup> m_helpers;
    std::optional<LongTask> m_task;
};

}  // namespace pomurina
