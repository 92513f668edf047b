#include "io/LogFiles.h"

#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <memory>
#include <new>

#include "io/CompressionFormat.h"
#include "io/Decompressor.h"
#include "io/FileIo.h"
#include "text/Cp932.h"
#include "text/Errors.h"

namespace pomurina {
namespace {

constexpr std::size_t kInputChunk = std::size_t{1} << 20;  // compressed bytes read at a time
constexpr std::size_t kOutputRoom = std::size_t{4} << 20;  // bytes asked of a decompressor

bool IsStandardInput(const std::string& path) {
    return path == kStandardInput;
}

// One log, open for reading.
class OpenLog {
public:
    // The full name is taken now: a relative path means the current
    // directory of this moment.
    explicit OpenLog(const std::string& path)
        : m_fullName(IsStandardInput(path) ? LogNameText(path) : PathText(FullPath(path))) {
        if (IsStandardInput(path)) {
            m_fd = STDIN_FILENO;
            return;
        }
        struct stat info {};
        if (const int error = OpenRegularFile(path, m_fd, info)) throw FileOpenFailure(path, error);
        m_size = static_cast<std::size_t>(info.st_size > 0 ? info.st_size : 0);
    }
    ~OpenLog() {
        if (m_fd >= 0 && m_fd != STDIN_FILENO) CurrentFileIo().close(m_fd);
    }
    OpenLog(const OpenLog&) = delete;
    OpenLog& operator=(const OpenLog&) = delete;

    // The size the file had when opened (0 for standard input).
    std::size_t Size() const { return m_size; }

    // Reads up to size bytes; 0 at the end.  A failure is the log's error.
    std::size_t Read(char* buffer, std::size_t size) {
        FileIo& io = CurrentFileIo();
        for (;;) {
            const ssize_t n = io.read(m_fd, buffer, size);
            if (n >= 0) return static_cast<std::size_t>(n);
            if (errno == EINTR) continue;
            if (errno == EAGAIN || errno == EWOULDBLOCK) {
                // Standard input left non-blocking by whoever made it.
                pollfd wait{m_fd, POLLIN, 0};
                (void)::poll(&wait, 1, -1);
                continue;
            }
            throw FileOpenError(FileOpenErrorText(m_fullName, SystemErrorText(errno)));
        }
    }

    [[noreturn]] void Damaged(CompressionFormat format, bool truncated) const {
        throw CompressedFileError(
            CompressedFileErrorText(m_fullName, CompressionName(format), truncated));
    }

private:
    std::string m_fullName;  // in messages, as for every file
    int m_fd = -1;
    std::size_t m_size = 0;
};

// The joined text, written in place: callers ask for room at its end, fill
// some of it and commit what they filled.
class JoinedText {
public:
    void Reserve(std::size_t size) {
        if (m_text.size() < size) m_text.resize(std::min(size, LargestLogs()));
    }
    // Room for up to size more bytes at the end (RoomSize() says how many,
    // at least one); a text at its largest can't grow.
    char* Room(std::size_t size) {
        if (RoomSize() < size) {
            if (m_length >= LargestLogs()) throw std::bad_alloc();
            m_text.resize(std::min(std::max(m_length + size, m_text.size() * 2), LargestLogs()));
        }
        return m_text.data() + m_length;
    }
    std::size_t RoomSize() const { return m_text.size() - m_length; }
    void Commit(std::size_t size) { m_length += size; }
    void Append(std::string_view bytes) {
        while (!bytes.empty()) {
            char* room = Room(bytes.size());
            const std::size_t n = std::min(bytes.size(), RoomSize());
            std::memcpy(room, bytes.data(), n);
            Commit(n);
            bytes.remove_prefix(n);
        }
    }
    std::size_t Length() const { return m_length; }

    // After a log: the one that follows begins a line of its own.  A log's
    // zero bytes are left out of the analysis, so its last line end is
    // looked for before them.
    void EndLog(std::size_t logStart) {
        for (std::size_t i = m_length; i > logStart; --i) {
            if (m_text[i - 1] != '\0') {
                m_last = m_text[i - 1];
                break;
            }
        }
    }
    void SeparateFromNext() {
        if (m_last != '\0' && m_last != '\r' && m_last != '\n') {
            Append("\n");
            m_last = '\n';
        }
    }

    std::string Take() {
        m_text.resize(m_length);
        return std::move(m_text);
    }

private:
    std::string m_text;
    std::size_t m_length = 0;
    char m_last = '\0';  // the last byte that is not zero, '\0' while there is none
};

void Decompress(OpenLog& log, CompressionFormat format, std::string_view firstBytes,
                JoinedText& out) {
    const std::unique_ptr<Decompressor> decompressor = MakeDecompressor(format);
    std::unique_ptr<char[]> chunk(new char[kInputChunk]);
    std::memcpy(chunk.get(), firstBytes.data(), firstBytes.size());
    std::string_view input(chunk.get(), firstBytes.size());
    bool last = false;
    try {
        for (;;) {
            char* room = out.Room(kOutputRoom);
            const std::size_t size = std::min(kOutputRoom, out.RoomSize());
            const std::size_t written = decompressor->Run(input, last, room, size);
            out.Commit(written);
            if (written == size) continue;
            if (last) break;
            // More compressed bytes after those not used yet.
            if (!input.empty()) std::memmove(chunk.get(), input.data(), input.size());
            const std::size_t n = log.Read(chunk.get() + input.size(), kInputChunk - input.size());
            last = n == 0;
            input = std::string_view(chunk.get(), input.size() + n);
        }
    } catch (const DamagedData& damage) {
        log.Damaged(format, damage.Truncated());
    }
}

void ReadLog(OpenLog& log, JoinedText& out) {
    // The first bytes tell whether the log is compressed.
    char probe[kFormatProbeBytes];
    std::size_t probed = 0;
    bool ended = false;
    while (probed < sizeof probe && !ended) {
        const std::size_t n = log.Read(probe + probed, sizeof probe - probed);
        probed += n;
        ended = n == 0;
    }
    const CompressionFormat format = DetectCompression(std::string_view(probe, probed));
    if (format != CompressionFormat::None) return Decompress(log, format, {probe, probed}, out);
    // A plain file is read straight into its place.
    out.Reserve(out.Length() + log.Size() + 1);
    out.Append({probe, probed});
    while (!ended) {
        char* room = out.Room(kInputChunk);
        const std::size_t n = log.Read(room, out.RoomSize());
        out.Commit(n);
        ended = n == 0;
    }
}

std::size_t& LargestLogsSet() {
    static std::size_t bytes = 0;
    return bytes;
}

}  // namespace

std::size_t LargestLogs() {
    if (LargestLogsSet()) return LargestLogsSet();
    const long pages = ::sysconf(_SC_PHYS_PAGES), pageSize = ::sysconf(_SC_PAGESIZE);
    if (pages <= 0 || pageSize <= 0) return std::size_t{1} << 40;
    return static_cast<std::size_t>(pages) * static_cast<std::size_t>(pageSize);
}

void SetLargestLogs(std::size_t bytes) {
    LargestLogsSet() = bytes;
}

std::string LogNameText(const std::string& path) {
    if (IsStandardInput(path)) return Utf8ToCp932("標準入力");
    return PathText(path);
}

std::string MoreLogsText(std::size_t count) {
    if (count < 2) return "";
    return Utf8ToCp932(" 他" + std::to_string(count - 1) + "ファイル");
}

std::string ReadLogs(const std::vector<std::string>& paths, const LogReadingTold& told) {
    std::vector<std::unique_ptr<OpenLog>> logs;
    for (const std::string& path : paths) logs.push_back(std::make_unique<OpenLog>(path));
    JoinedText text;
    for (std::size_t i = 0; i < logs.size(); ++i) {
        told(i, false);
        if (i > 0) text.SeparateFromNext();
        const std::size_t start = text.Length();
        ReadLog(*logs[i], text);
        text.EndLog(start);
        logs[i].reset();
        told(i, true);
    }
    return text.Take();
}

}  // namespace pomurina
