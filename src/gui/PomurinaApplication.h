#pragma once
// The application object.  Every handler catches its own failures; notify()
// only stands guard behind them: whatever still escapes a handler is shown in
// the error box, or, where fatal escapes are asked for (the tests, or the
// environment variable POMURINA_FATAL_ESCAPES=1), ends the process at once so
// that a handler left unguarded can't go unnoticed.
#include <QApplication>

namespace pomurina {

class PomurinaApplication final : public QApplication {
public:
    PomurinaApplication(int& argc, char** argv);

    static void SetFatalEscapes(bool fatal);
    static bool FatalEscapes();

    bool notify(QObject* receiver, QEvent* event) override;
};

}  // namespace pomurina
