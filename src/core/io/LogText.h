#pragma once
// The text of a run's logs as it is read: the logs one after the other,
// their zero bytes left out as they arrive, a line end put after a log whose
// last line has none.  One thread writes it; others may read the bytes that
// Length() says have arrived, whose place never moves (Fixed()); where the
// system sets aside no room for the largest text, the text grows as it is
// read and is read only once whole.
#include <atomic>
#include <cstddef>
#include <functional>
#include <memory>
#include <string_view>

#include "text/ByteBuffer.h"

namespace pomurina {

class LogText {
public:
    // Room for up to capacity bytes.
    explicit LogText(std::size_t capacity);

    bool Fixed() const { return m_fixed; }

    // The writer's side.  Room for up to size more bytes at the end
    // (RoomSize() says how many, at least one); a text at its largest can't
    // grow (std::bad_alloc), and a stopped one ends the reading (Stopped).
    char* Room(std::size_t size);
    std::size_t RoomSize() const { return m_bytes->size() - m_length; }
    // The size bytes written at Room() have arrived: their zero bytes are
    // left out and the rest are the text's.
    void Commit(std::size_t size);
    void Append(std::string_view bytes);
    // The next log begins a line of its own.
    void BeginNextLog();
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

private:
    std::shared_ptr<ByteBuffer> m_bytes;
    std::size_t m_capacity;
    bool m_fixed = true;
    std::size_t m_length = 0;
    char m_last = '\0';  // the last byte, '\0' while there is none
    std::atomic<std::size_t> m_published{0};
    std::atomic<bool> m_stopped{false};
    std::function<void()> m_arrived;
};

}  // namespace pomurina
