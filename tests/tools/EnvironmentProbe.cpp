// Test helper: a program that starts and ends like the real one (application object, then the
// start-up sequence; shut-down at the end) and reports what the start-up set up. Copies of it
// under other names show how the executable's name drives the rest.
//
// Prints NAME=VALUE lines and "READY", then obeys commands on its standard input:
//   set KEY VALUE     ConfigSetValue
//   float KEY VALUE   ConfigSetFloat (VALUE read with ".")
// When its input ends it runs the shut-down sequence and prints "DONE".
#include "tools/ConfigStore.h"
#include "tools/Environment.h"
#include "tools/InstanceMarker.h"
#include "tools/ProcessValues.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QLocale>

#include <cstdio>
#include <iostream>
#include <string>

namespace {

void Report(const char* name, const QString& value) {
    std::cout << name << '=' << value.toStdString() << '\n';
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv); // sets the C library's locale from the user's
    StartUpEnvironment();

    const QString instance = InstanceNameFor(QFileInfo(ExecutablePath()).fileName());
    char formatted[32];
    std::snprintf(formatted, sizeof formatted, "%.2f", 1.25);
    Report("AppName", AppName());
    Report("DataFolder", DataFolder());
    Report("Instance", instance);
    Report("Running", IsInstanceRunning(instance) ? QStringLiteral("1") : QStringLiteral("0"));
    Report("ConfigCount", QString::number(ConfigList().Count()));
    Report("Probe", ConfigGetValue(QStringLiteral("Probe"), QString()));
    Report("CFormat", QString::fromLatin1(formatted));
    Report("QtFormat", QLocale().toString(1.25, 'f', 2));
    Report("SystemDecimal", QLocale::system().decimalPoint());
    std::cout << "READY" << std::endl;

    std::string command, key, value;
    while (std::cin >> command >> key >> value) {
        if (command == "set")
            ConfigSetValue(QString::fromStdString(key), QString::fromStdString(value));
        else if (command == "float")
            ConfigSetFloat(QString::fromStdString(key), QString::fromStdString(value).toDouble());
    }

    ShutDownEnvironment();
    std::cout << "DONE" << std::endl;
    return 0;
}
