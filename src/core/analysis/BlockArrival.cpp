#include "analysis/BlockArrival.h"

namespace pomurina {
namespace {

// One room being filled, one waiting and one being classified.
constexpr std::size_t kRooms = 3;

}  // namespace

BlockArrival::BlockArrival(LogReading& reading, MemoryBudget& budget, std::size_t blockBytes)
    : m_reading(reading),
      m_blocks(budget, blockBytes, kRooms,
               [this](const std::shared_ptr<ByteBuffer>& bytes, std::size_t length) {
                   Handed(bytes, length);
               }) {}

BlockArrival::~BlockArrival() {
    m_blocks.Stop();
    m_task.reset();
}

void BlockArrival::Handed(const std::shared_ptr<ByteBuffer>& bytes, std::size_t length) {
    auto lines = TextLines::Arriving(bytes);
    lines->Extend(length, true);
    if (!m_take) {
        Event block;
        block.bytes = bytes;
        block.lines = std::move(lines);
        return Push(std::move(block));
    }
    (*m_take)(lines);
    lines.reset();
    m_blocks.GiveBack(bytes);
}

void BlockArrival::Push(Event event) {
    const std::lock_guard lock(m_mutex);
    m_events.push_back(std::move(event));
    m_changed.notify_one();
}

void BlockArrival::Read() {
    Event end;
    end.last = true;
    try {
        m_reading.ReadInto(m_blocks, [this](std::size_t index, bool ended) {
            Event told;
            told.index = index;
            told.ended = ended;
            Push(std::move(told));
        });
        m_blocks.Finish();
    } catch (const LogBlocks::Stopped&) {
        // The run no longer waits for the blocks.
    } catch (...) {
        end.error = std::current_exception();
    }
    Push(std::move(end));
}

void BlockArrival::Run(const LogReadingTold& told, const Take& take) {
    m_task.emplace([this] { Read(); });
    if (!m_task->Started()) {
        m_task.reset();
        m_take = &take;
        m_reading.ReadInto(m_blocks, told);
        m_blocks.Finish();
        return;
    }
    for (;;) {
        Event event;
        {
            std::unique_lock lock(m_mutex);
            m_changed.wait(lock, [&] { return !m_events.empty(); });
            event = std::move(m_events.front());
            m_events.pop_front();
        }
        if (event.bytes) {
            take(event.lines);
            event.lines.reset();
            m_blocks.GiveBack(std::move(event.bytes));
        } else if (event.last) {
            if (event.error) std::rethrow_exception(event.error);
            return;
        } else {
            told(event.index, event.ended);
        }
    }
}

}  // namespace pomurina
