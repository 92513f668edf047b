#include "io/LogFiles.h"

#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <memory>
#include <optional>
#include <utility>

#include "Errors.h"
#include "io/CompressionFormat.h"
#include "io/ConvertingSink.h"
#include "io/Decompressor.h"
#include "io/FileIo.h"
#include "io/LogFile.h"
#include "text/Cp932.h"

namespace pomurina {
namespace {

constexpr std::size_t kInputChunk = std::size_t{1} << 20;  // compressed bytes read at a time
constexpr std::size_t kOutputRoom = std::size_t{4} << 20;  // bytes read or unpacked at a time

bool IsStandardInput(const std::string& path) {
    return path == kStandardInput;
}

}  // namespace

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
        if (const int error = OpenRegularFile(path, m_fd, m_size))
            throw FileOpenFailure(path, error);
        m_regular = true;
    }
    ~OpenLog() {
        if (m_fd >= 0 && m_fd != STDIN_FILENO) CurrentFileIo().close(m_fd);
    }
    OpenLog(const OpenLog&) = delete;
    OpenLog& operator=(const OpenLog&) = delete;

    bool Regular() const { return m_regular; }
    // How messages name it.
    const std::string& FullName() const { return m_fullName; }
    // The size the file had when opened (0 for standard input).
    std::size_t Size() const { return m_size; }

    // Reads up to size bytes; 0 at the end.  A failure is the log's error.
    std::size_t Read(char* buffer, std::size_t size) {
        const FileIo& io = CurrentFileIo();
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
            Failed(errno);
        }
    }
    // Reads a regular file whole, as ReadLogFile does.
    void ReadWhole(ByteBuffer& out) const {
        if (const int error = ReadLogFile(m_fd, m_size, out)) Failed(error);
    }
    // The file mapped whole at its size of now, when the system maps it
    // (ByteBuffer::MappedFile).
    // Reads through a test's calls (the file-I/O seam) are never mapped.
    std::optional<ByteBuffer> MapWhole() const {
        const FileIo& io = CurrentFileIo();
        struct stat info {};
        if (io.read != SystemFileIo().read || io.pread != SystemFileIo().pread ||
            io.fstat(m_fd, &info) != 0 || !S_ISREG(info.st_mode) || info.st_size <= 0)
            return std::nullopt;
        return ByteBuffer::MappedFile(m_fd, static_cast<std::size_t>(info.st_size));
    }
    // The first bytes of a regular file, read without moving on.
    std::string Peek(std::size_t size) const {
        std::string bytes(size, '\0');
        const ssize_t n = CurrentFileIo().pread(m_fd, bytes.data(), size, 0);
        bytes.resize(n > 0 ? static_cast<std::size_t>(n) : 0);
        return bytes;
    }

    [[noreturn]] void Damaged(CompressionFormat format, bool truncated) const {
        throw CompressedFileError(
            CompressedFileErrorText(m_fullName, CompressionName(format), truncated));
    }

private:
    [[noreturn]] void Failed(int error) const {
        throw FileOpenError(FileOpenErrorText(m_fullName, SystemErrorText(error)));
    }

    std::string m_fullName;  // in messages, as for every file
    int m_fd = -1;
    std::size_t m_size = 0;
    bool m_regular = false;
};

namespace {

void Decompress(OpenLog& log, CompressionFormat format, std::string_view firstBytes, TextSink& out,
                std::atomic<std::size_t>& bytesRead) {
    const std::unique_ptr<Decompressor> decompressor = MakeDecompressor(format);
    std::unique_ptr<char[]> chunk(new char[kInputChunk]);
    std::memcpy(chunk.get(), firstBytes.data(), firstBytes.size());
    std::string_view input(chunk.get(), firstBytes.size());
    bool last = false;
    // What the library holds, charged as it grows (a file may ask for a
    // window of gigabytes) and given back once the log is read.
    MemoryBudget& budget = out.Budget();
    std::size_t charged = 0;
    struct GiveBack {
        MemoryBudget& budget;
        std::size_t& charged;
        ~GiveBack() { budget.Release(charged); }
    } giveBack{budget, charged};
    try {
        for (;;) {
            char* room = out.Room(kOutputRoom);
            const std::size_t size = std::min(kOutputRoom, out.RoomSize());
            const std::size_t written = decompressor->Run(input, last, room, size);
            budget.ChargeGrowth(charged, decompressor->MemoryInUse());
            out.Commit(written);
            if (written == size) continue;
            if (last) break;
            // More compressed bytes after those not used yet.
            if (!input.empty()) std::memmove(chunk.get(), input.data(), input.size());
            const std::size_t n = log.Read(chunk.get() + input.size(), kInputChunk - input.size());
            bytesRead += n;
            last = n == 0;
            input = std::string_view(chunk.get(), input.size() + n);
        }
    } catch (const DamagedData& damage) {
        log.Damaged(format, damage.Truncated());
    }
}

// Reads up to size bytes of log into at, as many as it has; ended tells
// whether it ended first.  Returns how many were read.
std::size_t ReadUpTo(OpenLog& log, char* at, std::size_t size, bool& ended) {
    std::size_t got = 0;
    ended = false;
    while (got < size && !ended) {
        const std::size_t n = log.Read(at + got, size - got);
        got += n;
        ended = n == 0;
    }
    return got;
}

// What is read of a file to tell its format: its zero bytes are left out first.
constexpr std::size_t kFirstBytesPeek = 4 * kFormatSniffBytes;

// The format of a log whose first bytes (kFirstBytesPeek, fewer when ended)
// are first, as ConvertingSink tells it: their zero bytes left out.
LogFormat FirstBytesFormat(std::string first, bool ended) {
    std::erase(first, '\0');
    const bool whole = ended && first.size() < kFormatSniffBytes;
    if (first.size() > kFormatSniffBytes) first.resize(kFormatSniffBytes);
    return DetectLogFormat(first, whole);
}

// Reads a log into out, its format told as it is read; returns that format.
LogFormat ReadLog(OpenLog& log, TextSink& text, std::atomic<std::size_t>& bytesRead,
                  OriginalLog* keep) {
    ConvertingSink out(text);
    if (keep) out.KeepOriginal(*keep);
    // The first bytes tell whether the log is compressed.
    char probe[kFormatProbeBytes];
    bool ended = false;
    const std::size_t probed = ReadUpTo(log, probe, sizeof probe, ended);
    bytesRead += probed;
    const CompressionFormat format = DetectCompression(std::string_view(probe, probed));
    if (format != CompressionFormat::None) {
        Decompress(log, format, {probe, probed}, out, bytesRead);
    } else {
        // A plain log is read straight into its place.
        out.Append({probe, probed});
        while (!ended) {
            char* room = out.Room(kOutputRoom);
            const std::size_t n = log.Read(room, std::min(kOutputRoom, out.RoomSize()));
            bytesRead += n;
            out.Commit(n);
            ended = n == 0;
        }
    }
    out.End();
    return out.Format();
}

}  // namespace

LogReading::LogReading(const std::vector<std::string>& paths) {
    bool files = true;
    for (const std::string& path : paths) {
        m_logs.push_back(std::make_unique<OpenLog>(path));
        files = files && m_logs.back()->Regular();
        m_totalSize += m_logs.back()->Size();
    }
    if (!files) m_totalSize = 0;
    m_formats.assign(m_logs.size(), LogFormat::Unknown);
    m_originals.resize(m_logs.size());
}

LogReading::~LogReading() = default;

bool LogReading::OnePlainFile() {
    if (m_logs.size() != 1 || !m_logs[0]->Regular()) return false;
    std::string first = m_logs[0]->Peek(kFirstBytesPeek);
    if (DetectCompression(first.substr(0, kFormatProbeBytes)) != CompressionFormat::None)
        return false;
    const bool ended = first.size() < kFirstBytesPeek;
    const LogFormat format = FirstBytesFormat(std::move(first), ended);
    if (IsConverted(format)) return false;
    m_formats[0] = format;
    return true;
}

void LogReading::ReadPlainFile(ByteBuffer& out, MemoryBudget& budget) {
    budget.SetLogName(m_logs[0]->FullName());
    std::size_t charged = 0;
    budget.ChargeGrowth(charged, m_logs[0]->Size());
    if (std::optional<ByteBuffer> mapped = m_logs[0]->MapWhole())
        out = std::move(*mapped);
    else
        m_logs[0]->ReadWhole(out);
    // It may have grown meanwhile.
    budget.ChargeGrowth(charged, out.size());
}

void LogReading::ReadInto(TextSink& text, const LogReadingTold& told) {
    for (std::size_t i = 0; i < m_logs.size(); ++i) {
        text.Budget().SetLogName(m_logs[i]->FullName());
        told(i, false);
        if (i > 0) text.BeginNextLog();
        std::shared_ptr<OriginalLog> original;
        if (m_keepOriginals) {
            original = std::make_shared<OriginalLog>();
            original->runBytesBefore = text.Written();
        }
        m_formats[i] = ReadLog(*m_logs[i], text, m_bytesRead, original.get());
        if (IsConverted(m_formats[i])) m_originals[i] = std::move(original);
        m_logs[i].reset();
        told(i, true);
    }
}

std::string ReadLogs(const std::vector<std::string>& paths, const LogReadingTold& told) {
    LogReading reading(paths);
    MemoryBudget budget(RunMemory());
    LogText text(budget);
    reading.ReadInto(text, told);
    text.Finish();
    return std::string(text.Bytes()->View());
}

std::optional<LogFormat> FirstLinesFormat(const std::string& path) {
    if (IsStandardInput(path)) return std::nullopt;  // read once, by the run
    try {
        OpenLog log(path);
        std::string first(kFirstBytesPeek, '\0');
        bool ended = false;
        first.resize(ReadUpTo(log, first.data(), first.size(), ended));
        const CompressionFormat compression =
            DetectCompression(std::string_view(first).substr(0, kFormatProbeBytes));
        if (compression != CompressionFormat::None) {
            // The first bytes unpacked are enough: a log compresses well.
            std::string text(kFirstBytesPeek, '\0');
            std::string_view input(first);
            const std::size_t written =
                MakeDecompressor(compression)->Run(input, ended, text.data(), text.size());
            ended = ended && written < text.size();
            text.resize(written);
            first = std::move(text);
        }
        if (first.empty()) return std::nullopt;  // no line to tell it by
        return FirstBytesFormat(std::move(first), ended);
    } catch (...) {
        return std::nullopt;  // the run says what is wrong with it
    }
}

std::string LogNameText(const std::string& path) {
    if (IsStandardInput(path)) return Utf8ToCp932("標準入力");
    return PathText(path);
}

std::string MoreLogsText(std::size_t count) {
    if (count < 2) return "";
    return Utf8ToCp932(" 他" + std::to_string(count - 1) + "ファイル");
}

}  // namespace pomurina
