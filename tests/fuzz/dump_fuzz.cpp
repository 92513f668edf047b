// A whole run on any bytes, dumped: the run completes or fails with a
// message, and the dump always has its frame and as many lines as it says.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "FuzzCheck.h"
#include "analysis/LogCounting.h"
#include "window/StateDump.h"
#include "Errors.h"

using namespace pomurina;
namespace fs = std::filesystem;

namespace {

const fs::path& Folder() {
    static const fs::path folder = [] {
        const fs::path dir =
            fs::temp_directory_path() / ("pomurina-dump-fuzz-" + std::to_string(::getpid()));
        fs::create_directories(dir / "materia");
        for (const char* name : {"DomeinList.dat", "CheckDomeinList.dat"})
            std::ofstream(dir / "materia" / name);
        std::ofstream(dir / "materia" / "SERobotsList.dat") << "bot\r\nGoogle\r\n";
        return dir;
    }();
    return folder;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const fs::path log = Folder() / "access.log";
    std::ofstream(log, std::ios::binary)
        .write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));

    MemoryWindow window;
    std::optional<std::string> error;
    try {
        LogCounting(window, log.string(), RunPlaces{Folder().string(), "materia"});
    } catch (const Error& e) {
        error = WithFullStop(e.Message());
    }
    char* buffer = nullptr;
    std::size_t length = 0;
    std::FILE* out = ::open_memstream(&buffer, &length);
    FUZZ_CHECK(WriteStateDump(window, error, out));
    std::fclose(out);
    const std::string dump(buffer, length);
    std::free(buffer);

    FUZZ_CHECK(dump.rfind("pomurina-dump 1\n", 0) == 0);
    FUZZ_CHECK(dump.size() >= 4 && dump.compare(dump.size() - 4, 4, "end\n") == 0);
    // Walk the sections: every "pane NAME N" is followed by N lines.
    std::size_t at = 0, panes = 0;
    while ((at = dump.find("\npane ", at)) != std::string::npos) {
        const std::size_t eol = dump.find('\n', at + 1);
        const std::size_t count =
            std::stoull(dump.substr(dump.rfind(' ', eol) + 1, eol - dump.rfind(' ', eol) - 1));
        std::size_t lineEnd = eol;
        for (std::size_t i = 0; i < count; ++i) lineEnd = dump.find('\n', lineEnd + 1);
        FUZZ_CHECK(lineEnd != std::string::npos);
        at = lineEnd;
        ++panes;
    }
    FUZZ_CHECK(panes == 20);
    return 0;
}
