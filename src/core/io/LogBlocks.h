#pragma once
// The logs' text cut into blocks of whole lines as it is read, each handed
// on (to be classified) before its room is used again: logs of any size go
// through a few megabytes.  A line is never cut: the bytes after a block's
// last whole line begin the next block, and a line longer than a block
// makes the room grow.  Zero bytes are left out and a log whose last line
// has no line end is joined to the next as if it had one, as in LogText.
#include <cstddef>
#include <functional>
#include <memory>

#include "io/TextSink.h"
#include "text/ByteBuffer.h"

namespace pomurina {

class LogBlocks final : public TextSink {
public:
    // Told each block: the room, whose first length bytes are whole lines
    // (the last may lack its end only in the last block).  They are the
    // block's until the call returns.
    using Handed = std::function<void(const std::shared_ptr<ByteBuffer>& bytes, std::size_t length)>;

    // Blocks of about blockBytes (at least 1), their room charged to budget.
    LogBlocks(MemoryBudget& budget, std::size_t blockBytes, Handed handed);
    ~LogBlocks() override;
    LogBlocks(const LogBlocks&) = delete;
    LogBlocks& operator=(const LogBlocks&) = delete;

    MemoryBudget& Budget() const override { return m_budget; }
    char* Room(std::size_t size) override;
    std::size_t RoomSize() const override { return m_bytes->size() - m_length; }
    void Commit(std::size_t size) override;
    void BeginNextLog() override;

    // The logs are read: hands on what is left as the last block.
    void Finish();

private:
    // Hands on the whole lines, and keeps the rest at the front.
    void HandOn();
    void Grow();

    MemoryBudget& m_budget;
    std::size_t m_block;
    Handed m_handed;
    std::shared_ptr<ByteBuffer> m_bytes;
    std::size_t m_charged = 0;
    std::size_t m_length = 0;
    char m_last = '\0';  // the last byte, '\0' while there is none
};

}  // namespace pomurina
