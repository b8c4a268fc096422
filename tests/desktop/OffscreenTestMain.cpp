// main() of the window tests: a QApplication on the offscreen platform with the screens of
// the JSON file named by QUVIRO_SCREENS_FILE (fixed per test executable at build time), so
// that no display is needed and the monitor layout is known.
#include <gtest/gtest.h>

#include <QApplication>
#include <string>
#include <vector>

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);

    std::string platform = std::string("offscreen:configfile=") + QUVIRO_SCREENS_FILE;
    std::vector<char*> qtArgs = {argv[0], const_cast<char*>("-platform"), platform.data()};
    int qtArgc = static_cast<int>(qtArgs.size());
    QApplication app(qtArgc, qtArgs.data());

    return RUN_ALL_TESTS();
}
