#include "report/ReportStream.h"

#include <cerrno>

namespace pomurina {

ReportStream::ReportStream(Sink sink) : m_sink(std::move(sink)) {
    m_buffer.reserve(kBlock + kBlock / 4);
}

void ReportStream::Flush() {
    // After a failure nothing more is written, but the writer may go on.
    if (m_error == 0 && !m_buffer.empty()) m_error = m_sink(m_buffer);
    m_buffer.clear();
}

int ReportStream::Finish() {
    Flush();
    return m_error;
}

ReportStream::Sink FileSink(std::FILE* file) {
    return [file](std::string_view block) {
        errno = 0;
        if (std::fwrite(block.data(), 1, block.size(), file) == block.size()) return 0;
        return errno != 0 ? errno : EIO;
    };
}

}  // namespace pomurina
