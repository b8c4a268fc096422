// Test helper: takes the instance marker named on the command line, reports "held" or
// "none", keeps the marker until its standard input ends, then releases it and exits.
#include "tools/InstanceMarker.h"

#include <cstdio>
#include <iostream>
#include <string>

int main(int argc, char** argv) {
    if (argc != 2)
        return 2;
    const QString name = QString::fromLocal8Bit(argv[1]);
    RegisterInstance(name);
    std::cout << (IsInstanceRunning(name) ? "held" : "none") << std::endl;
    std::string line;
    while (std::getline(std::cin, line)) {
    }
    ReleaseInstanceAtoms();
    return 0;
}
