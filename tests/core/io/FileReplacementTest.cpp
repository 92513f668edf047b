// Writing a file beside its target and renaming it: what happens to the
// target's mode, links, permissions and odd kinds of file, and to temporary
// files that a killed writer leaves behind.  Reading refuses odd files at once.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <linux/capability.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <filesystem>
#include <thread>

#include "Errors.h"
#include "ScopedSeams.h"
#include "TempDir.h"
#include "io/FileIo.h"
#include "io/FileReplacement.h"
#include "text/Cp932.h"

using namespace pomurina;
namespace fs = std::filesystem;
using pomurina::testing::ReadFileBytes;
using pomurina::testing::WriteFileBytes;

namespace {

mode_t ModeOf(const fs::path& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 ? info.st_mode & 07777 : 0;
}

// The names in dir that are temporary files of a replacement.
std::vector<std::string> Temporaries(const fs::path& dir) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir))
        if (IsReplacementTemporaryName(entry.path().filename().string()))
            names.push_back(entry.path().filename());
    return names;
}

// Runs body in a child process and returns its exit status (or -1).
template <typename Body>
int InChild(Body body) {
    const pid_t child = ::fork();
    if (child == 0) ::_exit(body());
    int status = 0;
    ::waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// Drops every capability of this process, root's file-permission override
// among them, so that permission bits hold for it as for any user.
bool DropCapabilities() {
    __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct data[2] = {};
    return ::syscall(SYS_capset, &header, data) == 0;
}

class Replacement : public ::testing::Test {
protected:
    pomurina::testing::TempDir m_temp;
    const fs::path& m_dir = m_temp.Path();
};

TEST_F(Replacement, NewFilesFollowTheUmaskReplacedOnesKeepTheirModeForcedOnesGetIt) {
    const mode_t previous = ::umask(027);
    const fs::path file = m_dir / "list.dat";
    EXPECT_EQ(ReplaceFile(file, "a\r\n"), 0);
    EXPECT_EQ(ModeOf(file), 0640u);
    ::chmod(file.c_str(), 0604);
    EXPECT_EQ(ReplaceFile(file, "b\r\n"), 0);
    EXPECT_EQ(ModeOf(file), 0604u);
    // A settings file is owner-only, new or not.
    EXPECT_EQ(ReplaceFile(file, "c\r\n", 0600), 0);
    EXPECT_EQ(ModeOf(file), 0600u);
    ::umask(0);
    EXPECT_EQ(ReplaceFile(m_dir / "settings.dat", "d\r\n", 0600), 0);
    EXPECT_EQ(ModeOf(m_dir / "settings.dat"), 0600u);
    ::umask(previous);
    EXPECT_EQ(ReadFileBytes(file), "c\r\n");
}

// A list shared between sites through links stays shared: the file at the
// end of the links is replaced, beside itself, and every link stays a link.
TEST_F(Replacement, WritesThroughSymbolicLinksToTheirTarget) {
    fs::create_directories(m_dir / "shared");
    fs::create_directories(m_dir / "site" / "materia");
    WriteFileBytes(m_dir / "shared" / "robots.dat", "old\r\n");
    ::chmod((m_dir / "shared" / "robots.dat").c_str(), 0640);
    fs::create_symlink("../../shared/robots.dat", m_dir / "site" / "materia" / "middle.dat");
    fs::create_symlink("middle.dat", m_dir / "site" / "materia" / "SERobotsList.dat");
    fs::current_path(m_dir / "site");
    EXPECT_EQ(ReplaceFile("materia/SERobotsList.dat", "new\r\n"), 0);
    EXPECT_TRUE(fs::is_symlink(m_dir / "site" / "materia" / "SERobotsList.dat"));
    EXPECT_TRUE(fs::is_symlink(m_dir / "site" / "materia" / "middle.dat"));
    EXPECT_EQ(ReadFileBytes(m_dir / "shared" / "robots.dat"), "new\r\n");
    EXPECT_EQ(ModeOf(m_dir / "shared" / "robots.dat"), 0640u);
    EXPECT_TRUE(Temporaries(m_dir / "shared").empty());
    EXPECT_TRUE(Temporaries(m_dir / "site" / "materia").empty());

    // A link that leads nowhere yet names the file to create; a loop is an error.
    fs::create_symlink(m_dir / "shared" / "later.dat", m_dir / "dangling");
    EXPECT_EQ(ReplaceFile(m_dir / "dangling", "x"), 0);
    EXPECT_EQ(ReadFileBytes(m_dir / "shared" / "later.dat"), "x");
    fs::create_symlink("loop", m_dir / "loop");
    EXPECT_EQ(ReplaceFile(m_dir / "loop", "x"), ELOOP);
}

// Anyone may put a link in a sticky folder that everyone may write (/tmp):
// such a link is followed only when it is the user's or the folder owner's,
// as the kernel follows links there, so another user's link can't aim a
// save at the user's files.
TEST_F(Replacement, AnotherUsersLinkInASharedFolderIsNotFollowed) {
    const uid_t me = ::geteuid(), other = me + 4242;
    const struct {
        mode_t folderMode;
        uid_t folderOwner, linkOwner;
        bool followed;
    } cases[] = {
        {01777, me, other, false},         // /tmp, a stranger's link
        {01777, other + 1, other, false},  // someone else's shared folder
        {01777, other, other, true},       // the folder owner's link
        {01777, other, me, true},          // the user's own link
        {00777, me, other, true},          // not sticky
        {01775, me, other, true},          // sticky, not everyone's to write
        {01757, me, other, false},         // the group may not write, everyone may
    };
    const fs::path target = m_dir / "mine.dat";
    const fs::path shared = m_dir / "shared";
    fs::create_directory(shared);
    for (const auto& c : cases) {
        WriteFileBytes(target, "keep\r\n");
        fs::remove(shared / "link");
        fs::create_symlink(target, shared / "link");
        ASSERT_EQ(::lchown((shared / "link").c_str(), c.linkOwner, static_cast<gid_t>(-1)), 0);
        ASSERT_EQ(::chown(shared.c_str(), c.folderOwner, static_cast<gid_t>(-1)), 0);
        ASSERT_EQ(::chmod(shared.c_str(), c.folderMode), 0);
        // Directly, and at the end of a link of the user's own.
        for (const fs::path& path : {shared / "link", m_dir / "to-link"}) {
            fs::remove(m_dir / "to-link");
            fs::create_symlink(shared / "link", m_dir / "to-link");
            const std::string at = path.string() + " " + std::to_string(c.folderMode);
            EXPECT_EQ(ReplaceFile(path, "new\r\n"), c.followed ? 0 : kUntrustedLink) << at;
            EXPECT_EQ(ReadFileBytes(target), c.followed ? "new\r\n" : "keep\r\n") << at;
            EXPECT_TRUE(fs::is_symlink(shared / "link")) << at;
            WriteFileBytes(target, "keep\r\n");
        }
    }
    EXPECT_EQ(FileCreateFailure((shared / "link").string(), kUntrustedLink).Message(),
              Utf8ToCp932("ファイル \"" + (shared / "link").string() +
                          "\". 共有フォルダにある他のユーザーのシンボリック リンクはたどれません。"
                          "リンクの持ち主とリンク先を確かめてください を作成できません"));
}

// The folder's permission would let the rename replace a file that the user
// made read-only; the check is the user's own, so root passes it.
TEST_F(Replacement, ATargetTheUserMayNotWriteIsLeftAlone) {
    const fs::path file = m_dir / "list.dat";
    WriteFileBytes(file, "keep\r\n");
    {
        pomurina::testing::ScopedFileIo io;
        io.Replace(&FileIo::access, [](const char*, int) {
            errno = EACCES;
            return -1;
        });
        EXPECT_EQ(ReplaceFile(file, "new\r\n"), EACCES);
    }
    EXPECT_EQ(ReadFileBytes(file), "keep\r\n");
    EXPECT_TRUE(Temporaries(m_dir).empty());

    // For real, in a child without root's override.
    ::chmod(file.c_str(), 0444);
    const int status = InChild([&] {
        if (!DropCapabilities()) return 100;
        const int probe = ::open(file.c_str(), O_WRONLY);
        if (probe >= 0 || errno != EACCES) return 101;  // the override is still there
        return ReplaceFile(file, "new\r\n");
    });
    if (status == 100 || status == 101) GTEST_SKIP() << "capabilities could not be dropped";
    EXPECT_EQ(status, EACCES);
    EXPECT_EQ(ReadFileBytes(file), "keep\r\n");
    EXPECT_EQ(ModeOf(file), 0444u);
    EXPECT_TRUE(Temporaries(m_dir).empty());
}

TEST_F(Replacement, OnlyRegularFilesAreReplacedOrRead) {
    const fs::path fifo = m_dir / "fifo";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0644), 0);
    EXPECT_EQ(ReplaceFile(fifo, "x"), kNotRegularFile);
    EXPECT_TRUE(fs::is_fifo(fifo));
    EXPECT_EQ(ReplaceFile(m_dir, "x"), EISDIR);
    fs::create_symlink("/dev/null", m_dir / "null");
    EXPECT_EQ(ReplaceFile(m_dir / "null", "x"), kNotRegularFile);
    EXPECT_TRUE(Temporaries(m_dir).empty());

    // Reading: a FIFO without a writer would block the open for ever, and a
    // device such as /dev/zero would fill the memory.
    std::string bytes = "stale";
    EXPECT_EQ(ReadWholeFile(fifo, bytes), kNotRegularFile);
    EXPECT_TRUE(bytes.empty());
    EXPECT_EQ(ReadWholeFile("/dev/zero", bytes), kNotRegularFile);
    EXPECT_EQ(ReadWholeFile("/dev/urandom", bytes), kNotRegularFile);
    EXPECT_EQ(ReadWholeFile(m_dir, bytes), EISDIR);
    WriteFileBytes(m_dir / "plain", "a\r\n");
    EXPECT_EQ(ReadWholeFile(m_dir / "null", bytes), kNotRegularFile);
    EXPECT_EQ(ReadWholeFile(m_dir / "plain", bytes), 0);
    EXPECT_EQ(bytes, "a\r\n");
}

TEST_F(Replacement, TemporaryNamesDoNotGrowWithTheTargetsName) {
    const std::string longest(255, 'n');
    EXPECT_EQ(ReplaceFile(m_dir / longest, "x"), 0);
    EXPECT_EQ(ReadFileBytes(m_dir / longest), "x");
    EXPECT_EQ(ReplaceFile(m_dir / (longest + "n"), "x"), ENAMETOOLONG);
}

// A writer that stops half way through a replacement of file, in a child
// process, until it is killed (at the latest at the end of the scope).
class StoppedWriter {
public:
    explicit StoppedWriter(const fs::path& file) {
        int ready[2];
        if (::pipe(ready) != 0) return;
        m_pid = ::fork();
        if (m_pid == 0) {
            FileReplacement copy(file.string());
            if (copy.Open() != 0 || copy.Write("half") != 0) ::_exit(1);
            (void)::write(ready[1], "r", 1);
            ::pause();
            ::_exit(0);
        }
        char c;
        m_started = ::read(ready[0], &c, 1) == 1;
        ::close(ready[0]);
        ::close(ready[1]);
    }
    ~StoppedWriter() { Kill(); }
    bool Started() const { return m_started; }
    void Kill() {
        if (m_pid <= 0) return;
        ::kill(m_pid, SIGKILL);
        ::waitpid(m_pid, nullptr, 0);
        m_pid = -1;
    }

private:
    pid_t m_pid = -1;
    bool m_started = false;
};

// A writer killed half way leaves its temporary file; the next write in that
// folder removes it, but never the file of a writer that is still at work.
TEST_F(Replacement, TheNextWriteRemovesWhatAKilledWriterLeft) {
    const fs::path file = m_dir / "list.dat";
    WriteFileBytes(file, "keep\r\n");
    StoppedWriter working(file);
    StoppedWriter killed(file);
    ASSERT_TRUE(working.Started() && killed.Started());
    killed.Kill();
    ASSERT_EQ(Temporaries(m_dir).size(), 2u);
    EXPECT_EQ(ReadFileBytes(file), "keep\r\n");

    EXPECT_EQ(ReplaceFile(file, "new\r\n"), 0);
    EXPECT_EQ(Temporaries(m_dir).size(), 1u);  // the live writer's
    working.Kill();
    // A write in another folder leaves this one alone; the next one here cleans it.
    fs::create_directory(m_dir / "other");
    EXPECT_EQ(ReplaceFile(m_dir / "other" / "x", "x"), 0);
    EXPECT_EQ(Temporaries(m_dir).size(), 1u);
    EXPECT_EQ(ReplaceFile(file, "newer\r\n"), 0);
    EXPECT_TRUE(Temporaries(m_dir).empty());
    EXPECT_EQ(ReadFileBytes(file), "newer\r\n");
}

}  // namespace
