// A save cut short by killing the process never leaves a truncated list file:
// the file is always one whole version, old or new.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <thread>

#include "TempDir.h"
#include "text/TextList.h"

using namespace pomurina;
namespace fs = std::filesystem;

namespace {

// Version v of the list: many entries, each naming its version, so that a
// mixed or cut file shows.
TextList Version(int v) {
    TextList list;
    for (int i = 0; i < 20000; ++i)
        list.Add("v" + std::to_string(v) + " entry " + std::to_string(i) + " .example.jp");
    return list;
}

}  // namespace

TEST(InterruptedSave, KillingTheWriterLeavesOneWholeVersion) {
    const pomurina::testing::TempDir dir;  // temporary files of killed writers go with it
    const fs::path file = dir.Path() / "DomeinList.dat";
    Version(0).SaveToFile(file.string());
    std::vector<std::string> versions;
    for (int v = 0; v < 4; ++v) versions.push_back(Version(v).Text());

    std::mt19937 random(11);
    for (int round = 0; round < 25; ++round) {
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            // Save the versions in turn until killed.
            std::vector<TextList> lists;
            for (int v = 0; v < 4; ++v) lists.push_back(Version(v));
            for (int i = 0;; i = (i + 1) % 4)
                lists[static_cast<std::size_t>(i)].SaveToFile(file.string());
        }
        std::this_thread::sleep_for(std::chrono::microseconds(2000 + random() % 20000));
        ::kill(child, SIGKILL);
        int status = 0;
        ::waitpid(child, &status, 0);

        const std::string bytes = pomurina::testing::ReadFileBytes(file);
        ASSERT_TRUE(std::find(versions.begin(), versions.end(), bytes) != versions.end())
            << "round " << round << ": " << bytes.size() << " bytes";
    }
    // Whatever the killed writers left, the next save cleans up.
    Version(1).SaveToFile(file.string());
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.Path()), fs::directory_iterator()), 1);
}
