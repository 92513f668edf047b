#include "analysis/BlockArrival.h"

#include <algorithm>

#include "parallel/OrderedWork.h"

namespace pomurina {
namespace {

unsigned Threads(const ClassifyPlan& plan) {
    return plan.threads == 0 ? CoreCount() : plan.threads;
}

// Pieces done ahead of the merge wait with their parts: four for every
// thread, so that the other threads don't stand idle while the run's thread
// merges (a streamed run holds little else).
std::size_t Ahead(const ClassifyPlan& plan) {
    return 4 * std::size_t{Threads(plan)};
}

}  // namespace

std::size_t BlockArrival::Rooms(const ClassifyPlan& plan) {
    return Ahead(plan) + 2;
}

BlockArrival::BlockArrival(LogReading& reading, MemoryBudget& budget, std::size_t blockBytes,
                           const ClassifyPlan& plan)
    : m_reading(reading),
      m_pieceLines(std::max<std::size_t>(plan.batchLines, 1)),
      m_threads(Threads(plan)),
      m_ahead(Ahead(plan)),
      m_blocks(budget, blockBytes, Rooms(plan),
               [this](const std::shared_ptr<ByteBuffer>& bytes, std::size_t length) {
                   Handed(bytes, length);
               }),
      m_told([this](std::size_t index, bool ended) {
          Item told;
          told.index = index;
          told.ended = ended;
          Push(std::move(told));
      }) {}

BlockArrival::~BlockArrival() {
    StopHelpers();
    m_blocks.Stop();
    m_task.reset();
}

void BlockArrival::StopHelpers() {
    {
        const std::lock_guard lock(m_mutex);
        m_stopping = true;
        m_changed.notify_all();
    }
    m_helpers.reset();
}

void BlockArrival::Handed(const std::shared_ptr<ByteBuffer>& bytes, std::size_t length) {
    auto all = TextLines::Arriving(bytes);
    all->Extend(length, true);
    m_linesRead += all->Count();
    const std::shared_ptr<const TextLines> lines =
        m_calls->choose ? m_calls->choose(std::move(all)) : std::move(all);
    // Pieces of equal size; a block with no lines to classify still gives
    // one, which brings its room back.
    const std::size_t count = lines->Count();
    const std::size_t pieces = std::max<std::size_t>((count + m_pieceLines - 1) / m_pieceLines, 1);
    for (std::size_t k = 0; k < pieces; ++k) {
        Item piece;
        piece.lines = lines;
        piece.first = count * k / pieces;
        piece.end = count * (k + 1) / pieces;
        piece.linesRead = m_linesRead;
        if (k + 1 == pieces) piece.room = bytes;
        Push(std::move(piece));
    }
}

void BlockArrival::Push(Item item) {
    std::unique_lock lock(m_mutex);
    m_items.push_back(std::move(item));
    m_changed.notify_all();
    if (m_inline) Serve(lock, false);
}

void BlockArrival::Read() {
    Item end;
    end.last = true;
    try {
        m_reading.ReadInto(m_blocks, m_told);
        m_blocks.Finish();
    } catch (const LogBlocks::Stopped&) {
        // The run no longer waits for the blocks.
    } catch (...) {
        end.error = std::current_exception();
    }
    Push(std::move(end));
}

BlockArrival::Item* BlockArrival::TakePiece() {
    m_nextItem = std::max(m_nextItem, m_firstItem);
    for (; m_nextItem < m_firstItem + m_items.size(); ++m_nextItem) {
        Item& item = m_items[m_nextItem - m_firstItem];
        if (!item.lines || item.done) continue;
        if (m_noMorePieces || item.first == item.end) {
            item.done = true;
            continue;
        }
        if (m_piecesOut >= m_ahead) return nullptr;
        item.taken = true;
        ++m_piecesOut;
        ++m_nextItem;
        return &item;
    }
    return nullptr;
}

void BlockArrival::Classify(Item& piece, std::unique_lock<std::mutex>& lock) {
    // The piece stays where it is: the deque only grows at its back, and
    // the piece leaves its front only once done.
    lock.unlock();
    const bool more = m_calls->classify(piece.lines, piece.first, piece.end, piece.batch);
    lock.lock();
    piece.done = true;
    if (!more) m_noMorePieces = true;
    m_changed.notify_all();
}

bool BlockArrival::Serve(std::unique_lock<std::mutex>& lock, bool wait) {
    const auto ready = [&] {
        return !m_items.empty() && (!m_items.front().lines || m_items.front().done);
    };
    for (;;) {
        if (ready()) {
            if (m_items.front().last) return true;
            Item item = std::move(m_items.front());
            m_items.pop_front();
            ++m_firstItem;
            if (item.taken) --m_piecesOut;
            lock.unlock();
            if (!item.lines) {
                m_calls->told(item.index, item.ended);
            } else {
                m_calls->finish(item.batch, item.linesRead);
                if (item.room) {
                    // Nothing may see the room's bytes once it is read into again.
                    item.batch = {};
                    item.lines.reset();
                    m_blocks.GiveBack(std::move(item.room));
                }
            }
            lock.lock();
            continue;
        }
        if (Item* piece = TakePiece()) {
            Classify(*piece, lock);
            continue;
        }
        if (ready()) continue;
        if (!wait) return false;
        m_changed.wait(lock);
    }
}

void BlockArrival::Help() {
    std::unique_lock lock(m_mutex);
    while (!m_stopping) {
        if (Item* piece = TakePiece())
            Classify(*piece, lock);
        else
            m_changed.wait(lock);
    }
}

void BlockArrival::Run(const Calls& calls) {
    m_calls = &calls;
    m_task.emplace([this] { Read(); });
    if (!m_task->Started()) {
        m_task.reset();
        m_inline = true;
        m_reading.ReadInto(m_blocks, m_told);
        m_blocks.Finish();
        std::unique_lock lock(m_mutex);
        Serve(lock, false);
        return;
    }
    struct HelpersEnd {
        BlockArrival& arrival;
        ~HelpersEnd() { arrival.StopHelpers(); }
    } helpersEnd{*this};
    if (m_threads > 1) m_helpers.emplace(m_threads - 1, [this] { Help(); });
    std::unique_lock lock(m_mutex);
    Serve(lock, true);
    if (const std::exception_ptr error = m_items.front().error) std::rethrow_exception(error);
}

}  // namespace pomurina
