// The window program. The process environment is set up once the application object exists
// (its constructor resets the C library's locale) and torn down after the event loop; the
// window outlives the shut-down and is destroyed last, touching nothing of the settings
// store any more.
#include "app/Application.h"
#include "app/Images.h"
#include "app/QVMain.h"
#include "app/TerminationSignals.h"
#include "app/WindowFonts.h"
#include "tools/Environment.h"

#include <memory>

int main(int argc, char* argv[]) {
    CatchTerminationSignals();
    TQuviroApplication app(argc, argv);
    StartUpEnvironment();
    TQuviroApplication::setApplicationName(QStringLiteral("Quviro"));
    TQuviroApplication::setDesktopFileName(QStringLiteral("org.quviro.Quviro"));
    TQuviroApplication::setWindowIcon(ApplicationIcon());
    RegisterSubstituteFonts();

    auto window = std::make_unique<TfrmQVMain>();
    CloseOnTerminationSignals(window.get());
    window->show();
    const int result = TQuviroApplication::exec();

    ShutDownEnvironment();
    window.reset();
    return result;
}
