#include "GuiTestKit.h"

#include <unistd.h>

#include <cstdio>
#include <fstream>

#include "ErrorBox.h"
#include "analysis/LogCounting.h"
#include "io/DataFolder.h"
#include "text/Cp932.h"

namespace pomurina::guitest {

CaughtBoxes::CaughtBoxes() {
    SetErrorBoxHandler([this](const std::string& text) { m_texts.push_back(Cp932ToUtf8(text)); });
    SetInformationHandler(
        [this](const std::string& text) { m_texts.push_back(Cp932ToUtf8(text)); });
}

CaughtBoxes::~CaughtBoxes() {
    SetErrorBoxHandler(nullptr);
    SetInformationHandler(nullptr);
}

std::string Sjis(const char* utf8) {
    return Utf8ToCp932(utf8);
}

std::string LogLine(int hour, const std::string& request, int status, const std::string& size,
                    const std::string& host, const std::string& referrer) {
    char time[64];
    std::snprintf(time, sizeof time, "[05/Mar/2020:%02d:05:00 +0900]", hour);
    return host + " - - " + time + " \"" + request + " HTTP/1.1\" " + std::to_string(status) + " " +
           size + " \"" + referrer + "\" \"Mozilla/5.0 (test)\"";
}

std::string DumpOf(ResultWindow& window, const std::optional<std::string>& error) {
    return testing::StateDumpOf(window, error);
}

std::string WithoutProgressLines(const std::string& dump) {
    return dump.substr(0, dump.find("\nprogress "));
}

std::string ReferenceDump(const std::string& path) {
    MemoryWindow window;
    return testing::DumpAfterRun(window, [&] {
        LogCounting(window, path, RunPlaces{DataFolder(), "materia"});
    });
}

}  // namespace pomurina::guitest
