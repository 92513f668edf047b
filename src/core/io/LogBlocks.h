#pragma once
// The logs' text cut into blocks of whole lines as it is read, each handed
// on (to be classified) and given back once done with: logs of any size go
// through a few rooms of a few megabytes.  A line is never cut: the bytes
// after a block's last whole line begin the next block, and a line longer
// than a room makes it grow.  Zero bytes are left out and a log whose last
// line has no line end is joined to the next as if it had one, as in LogText.
// The reading may run on a thread of its own: it then waits for a room to be
// given back while every room is out.
#include <condition_variable>
#include <cstddef>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

#include "io/TextSink.h"
#include "text/ByteBuffer.h"

namespace pomurina {

class LogBlocks final : public TextSink {
public:
    // Told each block: a room, whose first length bytes are whole lines (the
    // last may lack its end only in the last block), out until GiveBack.
    using Handed =
        std::function<void(const std::shared_ptr<ByteBuffer>& bytes, std::size_t length)>;

    // Blocks of about blockBytes (at least 1) in rooms (at least 2), their
    // room charged to budget.
    LogBlocks(MemoryBudget& budget, std::size_t blockBytes, std::size_t rooms, Handed handed);
    ~LogBlocks() override;
    LogBlocks(const LogBlocks&) = delete;
    LogBlocks& operator=(const LogBlocks&) = delete;

    MemoryBudget& Budget() const override { return m_budget; }
    char* Room(std::size_t size) override;
    std::size_t RoomSize() const override { return m_bytes->size() - m_length; }
    void Commit(std::size_t size) override;
    void BeginNextLog() override;
    std::size_t Written() const override { return m_handedBytes + m_length; }

    // The logs are read: hands on what is left as the last block.
    void Finish();
    // A block handed on is done with (any thread).
    void GiveBack(std::shared_ptr<ByteBuffer> bytes);
    // Ends a reading that waits for a room, and any later Room(), with Stopped.
    void Stop();
    struct Stopped {};

private:
    // Hands on the whole lines; the rest begins the next room.
    void HandOn();
    // A room given back, at least size bytes large.
    std::shared_ptr<ByteBuffer> FreeRoom(std::size_t size);
    // Takes room in place of one of old bytes (0: none), charged beside it
    // until that is let go.
    ByteBuffer NewRoom(std::size_t size, std::size_t old);

    MemoryBudget& m_budget;
    std::size_t m_block;
    Handed m_handed;
    std::shared_ptr<ByteBuffer> m_bytes;  // the room being filled
    std::size_t m_charged = 0;
    std::size_t m_length = 0;
    std::size_t m_handedBytes = 0;  // in the blocks handed on
    char m_last = '\0';  // the last byte, '\0' while there is none
    std::mutex m_mutex;
    std::condition_variable m_givenBack;
    std::vector<std::shared_ptr<ByteBuffer>> m_free;
    bool m_stopped = false;
};

}  // namespace pomurina
