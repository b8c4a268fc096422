#include "text/VersionInfo.h"

#include "platform/ProgramVersion.h"

bool GetVersionNumbers(const std::string& module, int& major, int& minor, int& release, int& build) {
    VersionRecord::TNumbers numbers;
    const bool found = ReadProgramVersion(module, numbers);
    major = numbers.major;
    minor = numbers.minor;
    release = numbers.release;
    build = numbers.build;
    return found;
}

bool GetVersionNumbers(int& major, int& minor, int& release, int& build) {
    return GetVersionNumbers(std::string(), major, minor, release, build);
}

std::string GetVersionText(const std::string& module) {
    int major = 0, minor = 0, release = 0, build = 0;
    if (!GetVersionNumbers(module, major, minor, release, build))
        return {};
    return std::to_string(major) + '.' + std::to_string(minor) + '.' + std::to_string(release) + '.' +
           std::to_string(build);
}

std::string GetVersionText() {
    return GetVersionText(std::string());
}
