// The window program: "quviro [FILE]". The process environment is set up once the application object exists
// (its constructor resets the C library's locale) and torn down after the event loop; the
// window outlives the shut-down and is destroyed last, touching nothing of the settings
// store any more.
#include "gui/Application.h"
#include "gui/Images.h"
#include "gui/QVMain.h"
#include "gui/StartArguments.h"
#include "gui/TerminationSignals.h"
#include "gui/WindowFonts.h"
#include "tools/Environment.h"
#include "tools/XdgFolders.h"

#include <QDir>

#include <cstdio>
#include <memory>

int main(int argc, char* argv[]) {
    IgnoreRelativeXdgFolders();
    QStringList given;
    for (int i = 1; i < argc; ++i)
        given.append(QString::fromLocal8Bit(argv[i]));
    if (AsksForHelp(given)) {
        std::fputs(StartUsageText().toLocal8Bit().constData(), stdout);
        return 0;
    }
    CatchTerminationSignals();
    TQuviroApplication app(argc, argv);
    // The application object has taken its own options (-platform, -style ...) out already.
    const TStartArguments arguments = ParseStartArguments(TQuviroApplication::arguments().mid(1), QDir::currentPath());
    if (!arguments.Error.isEmpty()) {
        const QString text = QStringLiteral("quviro: ") + arguments.Error + u'\n' + StartUsageText();
        std::fputs(text.toLocal8Bit().constData(), stderr);
        return 2;
    }
    StartUpEnvironment();
    TQuviroApplication::setApplicationName(QStringLiteral("Quviro"));
    TQuviroApplication::setDesktopFileName(QStringLiteral("org.quviro.Quviro"));
    TQuviroApplication::setWindowIcon(ApplicationIcon());
    RegisterSubstituteFonts();

    auto window = std::make_unique<TfrmQVMain>();
    if (!arguments.File.isEmpty())
        window->OpenAtStart(arguments.File);
    CloseOnTerminationSignals(window.get());
    window->show();
    const int result = TQuviroApplication::exec();

    ShutDownEnvironment();
    window.reset();
    return result;
}
