// main() of the window tests: the program's application object on the offscreen platform
// with one 1920 x 1080 screen (QUVIRO_SCREENS_FILE), standard paths in Qt's test mode, so no
// display is needed and nothing under the home folder is touched.
#include "gui/Application.h"
#include "gui/WindowFonts.h"

#include <gtest/gtest.h>

#include <QStandardPaths>

#include <string>
#include <vector>

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    QStandardPaths::setTestModeEnabled(true);

    std::string platform = std::string("offscreen:configfile=") + QUVIRO_SCREENS_FILE;
    std::vector<char*> qtArgs = {argv[0], const_cast<char*>("-platform"), platform.data()};
    int qtArgc = static_cast<int>(qtArgs.size());
    TQuviroApplication app(qtArgc, qtArgs.data());
    RegisterSubstituteFonts();

    return RUN_ALL_TESTS();
}
