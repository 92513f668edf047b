#include "PomurinaApplication.h"

#include <cstdlib>
#include <cstring>

#include "ErrorBox.h"
#include "text/Cp932.h"

namespace pomurina {
namespace {

bool g_fatalEscapes = false;

}  // namespace

PomurinaApplication::PomurinaApplication(int& argc, char** argv) : QApplication(argc, argv) {
    const char* fatal = std::getenv("POMURINA_FATAL_ESCAPES");
    if (fatal && std::strcmp(fatal, "1") == 0) g_fatalEscapes = true;
}

void PomurinaApplication::SetFatalEscapes(bool fatal) {
    g_fatalEscapes = fatal;
}
bool PomurinaApplication::FatalEscapes() {
    return g_fatalEscapes;
}

bool PomurinaApplication::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (...) {
        const std::string message = CurrentExceptionMessage();
        if (g_fatalEscapes)
            qFatal("An exception escaped an unguarded handler of %s: %s",
                   receiver ? receiver->metaObject()->className() : "?",
                   Cp932ToUtf8(message).c_str());
        ShowErrorBox(message);
        return false;
    }
}

}  // namespace pomurina
