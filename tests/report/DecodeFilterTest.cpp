// pomurina-report --decode, run as a child process on files in a fresh directory.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "TempDir.h"

namespace {

namespace fs = std::filesystem;
using namespace std::string_literals;

using pomurina::testing::ReadFileBytes;

struct Outcome {
    int status;
    std::string out, err;
};

class DecodeFilter : public ::testing::Test {
protected:
    // Runs the filter on input; stdout goes to outPath when one is given.
    Outcome Run(const std::string& input, const std::string& args, std::string outPath = "") {
        std::ofstream(m_dir / "in", std::ios::binary) << input;
        if (outPath.empty()) outPath = (m_dir / "out").string();
        const std::string command = "'" POMURINA_REPORT "' " + args + " < '" +
                                    (m_dir / "in").string() + "' > '" + outPath + "' 2> '" +
                                    (m_dir / "err").string() + "'";
        const int raw = std::system(command.c_str());
        return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, ReadFileBytes(m_dir / "out"),
                ReadFileBytes(m_dir / "err")};
    }

    pomurina::testing::TempDir m_temp;
    const fs::path& m_dir = m_temp.Path();
};

TEST_F(DecodeFilter, WritesEachDecodedLineAsShiftJis) {
    const Outcome o = Run("%E3%81%82\nx+y%20z\n\n%41%0A%42\n100%", "--decode");
    EXPECT_EQ(o.status, 0);
    // %0A splits the output line, a lone "%" writes a zero byte, the last
    // line without its LF still counts.
    EXPECT_EQ(o.out, "\x82\xA0\nx+y z\n\nA\nB\n100\0\n"s);
    EXPECT_EQ(o.err, "");
}

// Lines longer than one read, and line ends at every place in a read.
TEST_F(DecodeFilter, LinesOfAnyLengthAcrossReads) {
    std::string input, expected;
    for (const std::size_t length : {200000u, 65535u, 1u, 65536u, 0u, 131073u}) {
        input += std::string(length, 'a') + "%42\n";
        expected += std::string(length, 'a') + "B\n";
    }
    input += std::string(70000, 'z');  // a last line without its LF
    expected += std::string(70000, 'z') + "\n";
    const Outcome o = Run(input, "--decode");
    EXPECT_EQ(o.status, 0);
    EXPECT_EQ(o.out, expected);
}

TEST_F(DecodeFilter, Utf8ForATerminalKeepsCarriageReturns) {
    const Outcome o = Run("%E3%81%82\r\n%E7%BA%8A%E2%85%B0\n", "--decode --utf8");
    EXPECT_EQ(o.status, 0);
    EXPECT_EQ(o.out, "あ\r\n纊ⅰ\n");
}

TEST_F(DecodeFilter, StopsAtTheFirstFailingLine) {
    const Outcome o = Run("%41\n%ZZ\n%42\n", "--decode");
    EXPECT_EQ(o.status, 1);
    EXPECT_EQ(o.out, "A\n");
    EXPECT_EQ(o.err, "不正なURL.\n");
}

TEST_F(DecodeFilter, LongLinesAreDecodedWhole) {
    std::string tenThousand;
    for (int i = 0; i < 1111; ++i) tenThousand += "%E3%81%82";
    tenThousand += "Z";
    ASSERT_EQ(tenThousand.size(), 10000u);
    std::string expected;
    for (int i = 0; i < 1111; ++i) expected += "\x82\xA0";
    expected += "Z\n";
    // A line far longer than one read of the input.
    std::string huge;
    for (int i = 0; i < 50000; ++i) huge += "%41";
    const Outcome o = Run(tenThousand + "\n" + huge + "\nend\n", "--decode");
    EXPECT_EQ(o.status, 0);
    EXPECT_EQ(o.out, expected + std::string(50000, 'A') + "\nend\n");
}

TEST_F(DecodeFilter, AFailedWriteIsNoSuccess) {
    const Outcome o = Run("%41\n", "--decode", "/dev/full");
    EXPECT_EQ(o.status, 1);
    EXPECT_NE(o.err.find("cannot write"), std::string::npos) << o.err;
}

}  // namespace
