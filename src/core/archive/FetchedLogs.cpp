#include "archive/FetchedLogs.h"

#include "lists/WindowSettings.h"

namespace pomurina {

namespace {

WindowSettings SettingsIn(const std::string& materiaFolder) {
    return WindowSettings(materiaFolder + "/window.ini");
}

}  // namespace

bool ImportsFetchedLogs(const std::string& materiaFolder) {
    return SettingsIn(materiaFolder).Get(kImportFetchedSetting).value_or("1") != "0";
}

void SetImportsFetchedLogs(const std::string& materiaFolder, bool on) {
    SettingsIn(materiaFolder).Set(kImportFetchedSetting, on ? "1" : "0");
}

std::string SiteOfServer(const std::string& server) {
    if (server.starts_with('[')) return server.substr(1, server.find(']') - 1);
    return server.substr(0, server.find(':'));
}

}  // namespace pomurina
