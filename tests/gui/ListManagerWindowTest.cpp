// The list manager window on real files in a temporary current directory:
// the file bytes, register and delete on each tab, the keys, and the rules for
// lists that fail to load or to save.
#include <array>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <cerrno>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>

#include "ErrorBox.h"
#include "ListManagerWindow.h"
#include "ProgramDir.h"
#include "ScopedSeams.h"
#include "SjisQt.h"
#include "analysis/LogCounting.h"
#include "io/FileIo.h"
#include "text/Cp932.h"
#include "Errors.h"

namespace fs = std::filesystem;
using namespace pomurina;

namespace {

const char* const kFiles[] = {"materia/DomeinList.dat", "materia/CheckDomeinList.dat",
                              "materia/SERobotsList.dat", "materia/ExcludeHosts.dat"};

using pomurina::testing::ScopedFileIo;
using pomurina::testing::WriteFileBytes;

std::optional<std::string> ReadBytes(const fs::path& path) {
    if (!fs::exists(path)) return std::nullopt;
    return pomurina::testing::ReadFileBytes(path);
}

std::vector<std::string> Rows(const QListWidget* box) {
    std::vector<std::string> rows;
    for (int i = 0; i < box->count(); ++i) rows.push_back(ToSjis(box->item(i)->text()));
    return rows;
}

// The read of one file fails (the file is there; root could read it otherwise).
const char* g_unreadable = nullptr;
int OpenFailingOne(const char* path, int flags, mode_t mode) {
    if ((flags & O_ACCMODE) == O_RDONLY && std::string_view(path) == g_unreadable) {
        errno = EIO;
        return -1;
    }
    return SystemFileIo().open(path, flags, mode);
}
ssize_t WriteFull(int, const void*, size_t) {
    errno = ENOSPC;
    return -1;
}

class DomeinWindow : public ::testing::Test {
protected:
    void SetUp() override {
        fs::current_path(m_dir);
        SetErrorBoxHandler([this](const std::string& text) { m_boxes.push_back(text); });
    }
    void TearDown() override {
        SetErrorBoxHandler({});
        m_window.reset();
    }
    TDomein& Open() {
        m_window = std::make_unique<TDomein>();
        m_window->show();
        return *m_window;
    }
    void Register(int tab, const std::string& sjis) {
        m_window->Seet->setCurrentIndex(tab);
        m_window->InputDomein->setText(FromSjis(sjis));
        m_window->RunButton->click();
    }
    std::string File(int index) { return ReadBytes(m_dir / kFiles[index]).value_or("<none>"); }
    std::string Full(const std::string& relative) {
        return (fs::current_path() / relative).string();
    }

    // The three lists, empty.
    pomurina::testing::ProgramDir m_home;
    const fs::path& m_dir = m_home.Path();
    std::vector<std::string> m_boxes;
    std::unique_ptr<TDomein> m_window;
};

TEST_F(DomeinWindow, ReadsEveryLineFormAndWritesEachEntryWithCrLf) {
    struct Case {
        std::string file;
        std::vector<std::string> entries;
        std::string rewritten;
    };
    const Case cases[] = {
        {"a\r\nb\r\n", {"a", "b"}, "a\r\nb\r\n"},
        {"a\nb", {"a", "b"}, "a\r\nb\r\n"},
        {"a\rb", {"a", "b"}, "a\r\nb\r\n"},
        {"a\n\rb", {"a", "", "b"}, "a\r\n\r\nb\r\n"},
        {"a\r\n\r\n", {"a", ""}, "a\r\n\r\n"},
        {"", {}, ""},
        // Bytes that don't decode go back to the file as they came.
        {"\x81\x20x \xff\r\n\xa0", {"\x81\x20x \xff", "\xa0"}, "\x81\x20x \xff\r\n\xa0\r\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.file));
        WriteFileBytes(kFiles[0], c.file);
        TDomein& w = Open();
        if (c.file.find('\xff') == std::string::npos) {
            EXPECT_EQ(Rows(w.ResistList), c.entries);
        }
        EXPECT_EQ(w.ResistList->count(), static_cast<int>(c.entries.size()));
        // Delete with nothing selected writes the unchanged list.
        w.DelButton->click();
        EXPECT_EQ(File(0), c.rewritten);
    }
    EXPECT_TRUE(m_boxes.empty());
}

TEST_F(DomeinWindow, RegisterAndDeleteWriteOnlyTheActiveTabsFile) {
    WriteFileBytes(kFiles[3], "");
    TDomein& w = Open();
    EXPECT_EQ(w.Seet->currentIndex(), 0);
    for (int tab = 0; tab < 4; ++tab) {
        SCOPED_TRACE(tab);
        QListWidget* box = std::array{w.ResistList, w.BList, w.Robots, w.ExcludeHosts}[static_cast<std::size_t>(tab)];
        Register(tab, "a");
        // Enter in the input field registers.
        w.InputDomein->setText("b");
        QTest::keyClick(w.InputDomein, Qt::Key_Return);
        EXPECT_EQ(File(tab), "a\r\nb\r\n");
        EXPECT_TRUE(w.InputDomein->text().isEmpty());
        EXPECT_EQ(w.focusWidget(), w.InputDomein);
        for (int other = 0; other < 4; ++other)
            if (other != tab) {
                EXPECT_EQ(File(other), other < tab ? "b\r\n" : "");
            }

        // Delete in the list deletes the selected entry; none is selected after.
        box->setCurrentRow(0);
        QTest::keyClick(box, Qt::Key_Delete);
        EXPECT_EQ(Rows(box), std::vector<std::string>{"b"});
        EXPECT_TRUE(box->selectedItems().isEmpty());
        box->setCurrentRow(0);
        w.DelButton->click();
        EXPECT_EQ(File(tab), "");
        EXPECT_EQ(box->count(), 0);
        Register(tab, "b");
    }
    EXPECT_TRUE(m_boxes.empty());
}

TEST_F(DomeinWindow, KeepsTypedTextExactlyAndIgnoresOtherKeys) {
    TDomein& w = Open();
    const std::string japanese = Utf8ToCp932("ドメイン.jp");
    for (const std::string& entry : {std::string("  "), std::string("  "), japanese})
        Register(0, entry);
    EXPECT_EQ(File(0), "  \r\n  \r\n" + japanese + "\r\n");

    // Empty input, Enter in a list and Delete in the input touch no file.
    WriteFileBytes(kFiles[0], "x\ny");
    w.InputDomein->clear();
    QTest::keyClick(w.InputDomein, Qt::Key_Enter);
    w.ResistList->setCurrentRow(0);
    QTest::keyClick(w.ResistList, Qt::Key_Return);
    w.InputDomein->setText("ab");
    w.InputDomein->setCursorPosition(0);
    QTest::keyClick(w.InputDomein, Qt::Key_Delete);
    EXPECT_EQ(w.InputDomein->text(), "b");
    EXPECT_EQ(File(0), "x\ny");
    EXPECT_EQ(w.ResistList->count(), 3);
    EXPECT_TRUE(m_boxes.empty());
}

TEST_F(DomeinWindow, MissingFileIsReportedAloneAndCreatedByTheFirstChange) {
    fs::remove(kFiles[0]);
    WriteFileBytes(kFiles[1], "watched\r\n");
    WriteFileBytes(kFiles[2], "bot\r\n");
    TDomein& w = Open();
    ASSERT_EQ(m_boxes.size(), 1u);
    EXPECT_EQ(m_boxes[0],
              WithFullStop(FileOpenErrorText(Full(kFiles[0]), SystemErrorText(ENOENT))));
    EXPECT_EQ(Rows(w.BList), std::vector<std::string>{"watched"});
    EXPECT_EQ(Rows(w.Robots), std::vector<std::string>{"bot"});
    Register(0, "own");
    EXPECT_EQ(File(0), "own\r\n");
    EXPECT_EQ(m_boxes.size(), 1u);
}

TEST_F(DomeinWindow, FileThatCouldNotBeReadIsNeverWrittenBack) {
    const std::string stored = "kept1\r\nkept2\r\n";
    WriteFileBytes(kFiles[1], stored);
    g_unreadable = kFiles[1];
    TDomein& w = [&]() -> TDomein& {
        ScopedFileIo io;
        io.Replace(&FileIo::open, OpenFailingOne);
        return Open();
    }();
    ASSERT_EQ(m_boxes.size(), 1u);
    EXPECT_EQ(m_boxes[0], WithFullStop(FileOpenErrorText(Full(kFiles[1]), SystemErrorText(EIO))));

    const std::string refused = WithFullStop(NotLoadedErrorText(Full(kFiles[1])));
    Register(1, "new");
    w.BList->setCurrentRow(-1);
    w.DelButton->click();
    EXPECT_EQ(File(1), stored);
    EXPECT_EQ(m_boxes, (std::vector<std::string>{m_boxes[0], refused, refused}));
    EXPECT_EQ(w.BList->count(), 0);
    EXPECT_EQ(w.InputDomein->text(), "new");
    // The other lists still save.
    Register(2, "bot");
    EXPECT_EQ(File(2), "bot\r\n");
    EXPECT_EQ(m_boxes.size(), 3u);
}

// The entries after a zero byte are in the file only: the list is shown and
// used as read, but writing it back would lose them.
TEST_F(DomeinWindow, AListCutShortByAZeroByteIsNeverWrittenBack) {
    const std::string stored("own.example\r\nblog\0\r\nlater.example\r\n", 35);
    WriteFileBytes(kFiles[0], stored);
    TDomein& w = Open();
    EXPECT_TRUE(m_boxes.empty());
    EXPECT_EQ(Rows(w.ResistList), (std::vector<std::string>{"own.example", "blog"}));
    const std::string refused = WithFullStop(NotLoadedErrorText(Full(kFiles[0])));
    Register(0, "new");
    w.ResistList->setCurrentRow(0);
    w.DelButton->click();
    EXPECT_EQ(m_boxes, (std::vector<std::string>{refused, refused}));
    EXPECT_EQ(File(0), stored);
    EXPECT_EQ(w.ResistList->count(), 2);
    Register(1, "watched");
    EXPECT_EQ(File(1), "watched\r\n");
}

// Most users never fill the hosts a filter leaves out: no file is an empty
// list, created by the first entry; a file cut short by a zero byte is never
// written back, as with the other lists.
TEST_F(DomeinWindow, TheExcludedHostsAreEmptyWithoutAFileAndGuardedLikeTheOtherLists) {
    Open();
    EXPECT_TRUE(m_boxes.empty());
    EXPECT_EQ(File(3), "<none>");
    Register(3, "203.0.113.0/24");
    EXPECT_EQ(File(3), "203.0.113.0/24\r\n");
    m_window.reset();

    const std::string stored("10.0.0.1\r\n\0" "192.0.2.1\r\n", 22);
    WriteFileBytes(kFiles[3], stored);
    TDomein& again = Open();
    EXPECT_EQ(Rows(again.ExcludeHosts), std::vector<std::string>{"10.0.0.1"});
    Register(3, "new");
    EXPECT_EQ(m_boxes, std::vector<std::string>{WithFullStop(NotLoadedErrorText(Full(kFiles[3])))});
    EXPECT_EQ(File(3), stored);
    EXPECT_EQ(again.Seet->count(), 4);
}

// A FIFO would block the window's creation for ever; it is refused at once
// like any list that can't be read, and stays what it is.
TEST_F(DomeinWindow, AFifoInPlaceOfAListIsRefusedAtOnce) {
    fs::remove(kFiles[0]);
    ASSERT_EQ(::mkfifo(kFiles[0], 0644), 0);
    WriteFileBytes(kFiles[1], "watched\r\n");
    TDomein& w = Open();
    ASSERT_EQ(m_boxes.size(), 1u);
    EXPECT_EQ(m_boxes[0],
              WithFullStop(FileOpenErrorText(Full(kFiles[0]), SystemErrorText(kNotRegularFile))));
    EXPECT_EQ(Rows(w.BList), std::vector<std::string>{"watched"});
    Register(0, "own");
    EXPECT_EQ(m_boxes.size(), 2u);
    EXPECT_TRUE(fs::is_fifo(kFiles[0]));
}

TEST_F(DomeinWindow, FailedWriteKeepsTheChangeAndTheOldFile) {
    WriteFileBytes(kFiles[0], "old\r\n");
    TDomein& w = Open();
    // A write goes to the current directory of its moment: here one without materia.
    const fs::path elsewhere = m_dir / "elsewhere";
    fs::create_directory(elsewhere);
    fs::current_path(elsewhere);
    w.RunButton->setFocus();
    Register(0, "new");
    ASSERT_EQ(m_boxes.size(), 1u);
    EXPECT_EQ(m_boxes[0],
              WithFullStop(FileCreateErrorText(Full(kFiles[0]), SystemErrorText(ENOENT))));
    EXPECT_EQ(Rows(w.ResistList), (std::vector<std::string>{"old", "new"}));
    EXPECT_EQ(w.InputDomein->text(), "new");
    EXPECT_EQ(w.focusWidget(), w.RunButton);

    // A write that fails midway leaves the old file whole.
    fs::current_path(m_dir);
    {
        ScopedFileIo io;
        io.Replace(&FileIo::write, WriteFull);
        w.ResistList->setCurrentRow(0);
        w.DelButton->click();
    }
    ASSERT_EQ(m_boxes.size(), 2u);
    EXPECT_EQ(m_boxes[1],
              WithFullStop(FileCreateErrorText(Full(kFiles[0]), SystemErrorText(ENOSPC))));
    EXPECT_EQ(File(0), "old\r\n");
    EXPECT_EQ(Rows(w.ResistList), std::vector<std::string>{"new"});
    // No temporary file is left beside the lists.
    EXPECT_EQ(std::distance(fs::directory_iterator(m_dir / "materia"), {}), 3);

    // The next successful write holds the whole list shown.
    w.DelButton->click();
    EXPECT_EQ(File(0), "new\r\n");

    // A list the user made read-only is not replaced (root passes the check,
    // so the seam answers as for any user).
    {
        ScopedFileIo io;
        io.Replace(&FileIo::access, [](const char*, int) {
            errno = EACCES;
            return -1;
        });
        Register(0, "refused");
    }
    ASSERT_EQ(m_boxes.size(), 3u);
    EXPECT_EQ(m_boxes[2],
              WithFullStop(FileCreateErrorText(Full(kFiles[0]), SystemErrorText(EACCES))));
    EXPECT_EQ(File(0), "new\r\n");
}

TEST_F(DomeinWindow, NextAnalysisRunUsesARegisteredRobot) {
    Open();
    Register(2, "PomuBot");
    WriteFileBytes("access.log",
                   "10.0.0.7 - - [01/Jan/2024:03:04:05 +0900] \"GET /a.html HTTP/1.1\" 200 100 "
                   "\"-\" \"Mozilla/5.0 (compatible; PomuBot/1.0)\"\r\n");
    MemoryWindow result;
    LogCounting(result, "access.log", RunPlaces{m_dir.string(), "materia"});
    const std::vector<std::string> lines = result.GetPane(PaneId::RobotsLog).Lines().ToVector();
    ASSERT_GE(lines.size(), 7u);
    EXPECT_EQ(lines[1], "PomuBot");
    EXPECT_NE(lines.back().find("10.0.0.7"), std::string::npos);
}

}  // namespace
