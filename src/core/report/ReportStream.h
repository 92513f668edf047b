#pragma once
// Where a report is written: text gathered in a buffer and handed to a sink
// in large blocks, so that a report of any size needs only the buffer.
#include <cstdio>
#include <functional>
#include <string>
#include <string_view>

namespace pomurina {

class ReportStream {
public:
    // Takes one block; returns 0 or the error number.
    using Sink = std::function<int(std::string_view block)>;

    explicit ReportStream(Sink sink);
    ReportStream(const ReportStream&) = delete;
    ReportStream& operator=(const ReportStream&) = delete;

    // The buffer itself, for writers that compose text in place; call
    // Breathe() after each piece.
    std::string& Buffer() { return m_buffer; }
    // Hands the buffer to the sink once it is large.
    void Breathe() {
        if (m_buffer.size() >= kBlock) Flush();
    }
    // Hands over what is left; returns 0 or the first error number.
    int Finish();

private:
    static constexpr std::size_t kBlock = 1 << 20;
    void Flush();

    Sink m_sink;
    std::string m_buffer;
    int m_error = 0;
};

// A sink that writes to a stream (standard output).
ReportStream::Sink FileSink(std::FILE* file);

}  // namespace pomurina
