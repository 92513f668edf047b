#pragma once
// Where the logs' bytes go as they are read: one text held whole (LogText)
// or blocks of whole lines handed on and let go (LogBlocks).  The reader asks
// for room, writes into it and commits what it wrote.
#include <cstddef>
#include <string_view>

#include "memory/MemoryBudget.h"

namespace pomurina {

class TextSink {
public:
    virtual ~TextSink() = default;

    // The budget the reading charges (the decompressors' memory).
    virtual MemoryBudget& Budget() const = 0;
    // Room for up to size more bytes at the end; RoomSize() says how many
    // (at least one).
    virtual char* Room(std::size_t size) = 0;
    virtual std::size_t RoomSize() const = 0;
    // The size bytes written at Room() have arrived: their zero bytes are
    // left out and the rest are the text's.
    virtual void Commit(std::size_t size) = 0;
    // The next log begins a line of its own.
    virtual void BeginNextLog() = 0;
    // The bytes the text has taken so far, from the first log's first
    // (zero bytes left out): where the next byte will stand.
    virtual std::size_t Written() const = 0;

    // Room(), a copy and Commit() until bytes are in.
    void Append(std::string_view bytes);
};

}  // namespace pomurina
