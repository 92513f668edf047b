// Hostile logs, compressed or not, read through the log reader: whatever the
// bytes, a text or the damaged-file error (or the size limit), never a crash
// or a hang; and a file that arrives a few bytes at a time reads exactly as
// one read whole.  The first byte of the input sets how few bytes a read
// gives; the rest is the file.
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <new>
#include <string>

#include "FuzzCheck.h"
#include "ScopedSeams.h"
#include "io/FileIo.h"
#include "io/LogFiles.h"
#include "Errors.h"

using namespace pomurina;

namespace {

std::size_t g_piece = 1;
const std::string g_path = "/tmp/pomurina-decompress-fuzz-" + std::to_string(::getpid());

ssize_t ShortRead(int fd, void* buffer, size_t size) {
    return ::read(fd, buffer, std::min(size, g_piece));
}

// The text read, "error: " and its message, or "limit".
std::string Outcome(const std::string& path) {
    try {
        return ReadLogs({path, path}, [](std::size_t, bool) {});
    } catch (const CompressedFileError& e) {
        return "error: " + e.Message();
    } catch (const std::bad_alloc&) {
        return "limit";
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    static const int removedAtExit = std::atexit([] { ::unlink(g_path.c_str()); });
    (void)removedAtExit;
    std::ofstream(g_path, std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(data + 1), static_cast<std::streamsize>(size - 1));
    // Unpacked far beyond what fuzzing needs is the size limit's case.
    const testing::ScopedLargestLogs limit(std::size_t{1} << 24);
    const std::string whole = Outcome(g_path);
    g_piece = static_cast<std::size_t>(1 + data[0] % 32 * (data[0] >= 128 ? 997 : 1));
    const std::string pieces = [] {
        testing::ScopedFileIo io;
        io.Replace(&FileIo::read, ShortRead);
        return Outcome(g_path);
    }();
    if (whole != "limit" && pieces != "limit") FUZZ_CHECK(whole == pieces);
    return 0;
}
