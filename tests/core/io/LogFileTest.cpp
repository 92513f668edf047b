// Reading a log whole, in parts at once when it is large: the bytes come
// through whole, a file truncated while it is read gives a prefix of what it
// held, one that grows is read to its new end, and odd files are refused.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <filesystem>

#include "ScopedSeams.h"
#include "TempDir.h"
#include "io/FileIo.h"
#include "io/LogFile.h"

using namespace pomurina;
namespace fs = std::filesystem;

namespace {

// Bytes that differ from place to place, so that a part read to the wrong
// place shows.
std::string Varied(std::size_t size) {
    std::string bytes(size, '\0');
    for (std::size_t i = 0; i < size; ++i)
        bytes[i] = static_cast<char>('a' + (i * 7 + i / 4099) % 26);
    return bytes;
}

// What the seam's pread does for the tests below: reads at most a megabyte
// at a time, and lets the test act on the file before one of the calls.
struct ReadHook {
    static inline std::atomic<int> calls{0};
    static inline int actAt = -1;  // the call before which act runs
    static inline void (*act)() = nullptr;
    static ssize_t Pread(int fd, void* buffer, size_t size, off_t offset) {
        if (calls++ == actAt && act) act();
        return SystemFileIo().pread(fd, buffer, std::min<size_t>(size, 1 << 20), offset);
    }
};

class LogFile : public ::testing::Test {
protected:
    LogFile() {
        ReadHook::calls = 0;
        ReadHook::actAt = -1;
        m_io.Replace(&FileIo::pread, ReadHook::Pread);
    }

    std::string Read(const std::string& path, int expectedError = 0) {
        ByteBuffer bytes;
        EXPECT_EQ(ReadLogFile(path, bytes), expectedError);
        return std::string(bytes.View());
    }

    pomurina::testing::TempDir m_dir;
    pomurina::testing::ScopedFileIo m_io;
    static inline std::string s_path;
};

}  // namespace

TEST_F(LogFile, LargeAndSmallFilesComeThroughWhole) {
    // 40 MB is read in parts at once, across the seam's 1 MB reads.
    for (const std::size_t size :
         {std::size_t{0}, std::size_t{1}, std::size_t{70000}, (std::size_t{40} << 20) + 7}) {
        const std::string bytes = Varied(size);
        const std::string path = m_dir.WriteFile("log", bytes);
        ASSERT_EQ(Read(path), bytes) << size;
    }
}

TEST_F(LogFile, ATruncationWhileReadingGivesAPrefixOfTheFile) {
    // Rotation by copying and truncating, at several moments of the reading.
    const std::string bytes = Varied(std::size_t{40} << 20);
    for (const int moment : {0, 1, 5, 20, 39}) {
        for (const off_t to : {off_t{0}, off_t{12345678}}) {
            s_path = m_dir.WriteFile("rotated.log", bytes);
            ReadHook::calls = 0;
            ReadHook::actAt = moment;
            static off_t s_to;
            s_to = to;
            ReadHook::act = [] { ASSERT_EQ(::truncate(s_path.c_str(), s_to), 0); };
            const std::string read = Read(s_path);
            SCOPED_TRACE(std::to_string(moment) + " " + std::to_string(to));
            EXPECT_LE(read.size(), bytes.size());
            EXPECT_EQ(read, bytes.substr(0, read.size()));
        }
    }
}

TEST_F(LogFile, AFileThatGrowsWhileReadIsReadToItsNewEnd) {
    const std::string bytes = Varied(std::size_t{33} << 20);
    s_path = m_dir.WriteFile("growing.log", bytes);
    ReadHook::actAt = 2;
    ReadHook::act = [] {
        FILE* file = std::fopen(s_path.c_str(), "ab");
        std::fputs("one more line\n", file);
        std::fclose(file);
    };
    EXPECT_EQ(Read(s_path), bytes + "one more line\n");
}

TEST_F(LogFile, AFailedReadOrAnOddFileIsAnError) {
    const std::string path = m_dir.WriteFile("log", Varied(std::size_t{36} << 20));
    ReadHook::actAt = 3;
    m_io.Replace(&FileIo::pread, [](int fd, void* buffer, size_t size, off_t offset) -> ssize_t {
        if (ReadHook::calls++ == 3) {
            errno = EIO;
            return -1;
        }
        return SystemFileIo().pread(fd, buffer, std::min<size_t>(size, 1 << 20), offset);
    });
    EXPECT_EQ(Read(path, EIO), "");
    const std::string fifo = (m_dir.Path() / "fifo").string();
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0644), 0);
    EXPECT_EQ(Read(fifo, kNotRegularFile), "");
    EXPECT_EQ(Read("/dev/zero", kNotRegularFile), "");
    EXPECT_EQ(Read(m_dir.Path().string(), EISDIR), "");
    EXPECT_EQ(Read((m_dir.Path() / "missing").string(), ENOENT), "");
}
