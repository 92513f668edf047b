// The window tests need the application object; without a display they draw
// offscreen.  An exception that escapes a handler ends the tests at once.
#include <gtest/gtest.h>

#include "PomurinaApplication.h"
#include "WindowKit.h"

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    pomurina::PomurinaApplication app(argc, argv);
    pomurina::PomurinaApplication::SetFatalEscapes(true);
    QApplication::setFont(pomurina::WindowFont());
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
