#pragma once
// The text of a run's logs as it is read: the logs one after the other,
// their zero bytes left out as they arrive, a line end put after a log whose
// last line has none.  One thread writes it; others may read the bytes that
// Length() says have arrived, whose place never moves (Fixed()); where the
// system sets aside no room for the largest text (or counts what is set
// aside as used), the text grows as it is read and is read only once whole.
// The text is charged to the run's memory budget as it takes room.
#include <atomic>
#include <cstddef>
#include <functional>
#include <memory>
#include <string_view>

#include "io/TextSink.h"
#include "memory/MemoryBudget.h"
#include "text/ByteBuffer.h"

namespace pomurina {

class LogText final : public TextSink {
public:
    // Room for as much as the budget allows.
    explicit LogText(MemoryBudget& budget);

    bool Fixed() const { return m_fixed; }
    MemoryBudget& Budget() const override { return m_budget; }

    // The writer's side.  Room for up to size more bytes at the end
    // (RoomSize() says how many, at least one); a text the budget can't
    // hold ends the reading (MemoryShortageError), and so does a stopped
    // one (Stopped).
    char* Room(std::size_t size) override;
    std::size_t RoomSize() const override {
        return m_inScratch ? kScratch : (m_fixed ? m_charged : m_bytes->size()) - m_length;
    }
    // The size bytes written at Room() have arrived: their zero bytes are
    // left out and the rest are the text's.
    void Commit(std::size_t size) override;
    // The next log begins a line of its own.
    void BeginNextLog() override;
    std::size_t Written() const override { return m_length; }
    // Told (on the writer's thread) whenever bytes have arrived.
    void SetArrival(std::function<void()> arrived) { m_arrived = std::move(arrived); }

    // The readers' side: how many bytes have arrived, and where they are.
    std::size_t Length() const { return m_published.load(std::memory_order_acquire); }
    const std::shared_ptr<ByteBuffer>& Bytes() const { return m_bytes; }
    // Once whole: the bytes are the text and no more.
    void Finish() { m_bytes->Shrink(m_length); }

    // Asks the writer to stop at its next Room().
    void Stop() { m_stopped = true; }
    struct Stopped {};

    // Asks the writer to keep no more of what arrives (the run has failed
    // and needs only how many lines the logs hold): from its next Commit()
    // on, the bytes are counted as lines, in a room of their own used again
    // and again.
    void KeepNoMore() { m_keepNoMore = true; }
    // Once the writer is done: how many lines of the logs begin at or after
    // the kept text's byte from (where a line begins), counted or kept.
    std::size_t LinesAfter(std::size_t from) const;

private:
    void Grow(std::size_t size);

    MemoryBudget& m_budget;
    std::shared_ptr<ByteBuffer> m_bytes;
    std::size_t m_capacity;
    bool m_fixed;
    std::size_t m_charged = 0;  // of a fixed text: the bytes charged, from the front
    std::size_t m_length = 0;
    char m_last = '\0';  // the last byte, '\0' while there is none
    std::atomic<std::size_t> m_published{0};
    std::atomic<bool> m_stopped{false};
    std::function<void()> m_arrived;
    std::atomic<bool> m_keepNoMore{false};
    static constexpr std::size_t kScratch = std::size_t{1} << 20;
    std::unique_ptr<char[]> m_scratch;  // the room of what is counted
    bool m_inScratch = false;           // the last Room() was there
    bool m_leftOut = false;             // some bytes were counted and not kept
    std::size_t m_endsLeftOut = 0;      // line ends among them
};

}  // namespace pomurina
