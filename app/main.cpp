// The window program: the process environment is set up before the application object and
// torn down after the event loop; the window outlives the shut-down and is destroyed last,
// touching nothing of the settings store any more.
#include "Application.h"
#include "Environment.h"
#include "Images.h"
#include "QVMain.h"

#include <memory>

int main(int argc, char* argv[]) {
    StartUpEnvironment();
    TQuviroApplication app(argc, argv);
    TQuviroApplication::setApplicationName(QStringLiteral("Quviro"));
    TQuviroApplication::setWindowIcon(ApplicationIcon());

    auto window = std::make_unique<TfrmQVMain>();
    window->show();
    const int result = TQuviroApplication::exec();

    ShutDownEnvironment();
    window.reset();
    return result;
}
