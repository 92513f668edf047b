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

#include "text/TextList.h"

using namespace pomurina;
namespace fs = std::filesystem;

namespace {

// Version v of the list: many entries, each naming its version, so that a
// mixed or cut file shows.
TextList Version(int v) {
    TextList list;
    for (int i = 0; i < 20000; ++i) list.Add("v" + std::to_string(v) + " entry " + std::to_string(i) + " .example.jp");
    return list;
}

}  // namespace

TEST(InterruptedSave, KillingTheWriterLeavesOneWholeVersion) {
    const fs::path dir = fs::temp_directory_path() / ("pomurina-kill-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    const fs::path file = dir / "DomeinList.dat";
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
            for (int i = 0;; i = (i + 1) % 4) lists[static_cast<std::size_t>(i)].SaveToFile(file.string());
        }
        std::this_thread::sleep_for(std::chrono::microseconds(2000 + random() % 20000));
        ::kill(child, SIGKILL);
        int status = 0;
        ::waitpid(child, &status, 0);

        std::ifstream in(file, std::ios::binary);
        std::ostringstream bytes;
        bytes << in.rdbuf();
        ASSERT_TRUE(std::find(versions.begin(), versions.end(), bytes.str()) != versions.end())
            << "round " << round << ": " << bytes.str().size() << " bytes";
    }
    fs::remove_all(dir);  // temporary files of killed writers go with the folder
}
