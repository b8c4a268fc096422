#include "tools/VersionInfo.h"

#include "platform/ProgramVersion.h"
#include "tools/TextUtils.h"

bool GetVersionNumbers(const QString& module, int& major, int& minor, int& release, int& build) {
    VersionRecord::TNumbers numbers;
    const bool found = ReadProgramVersion(module.isEmpty() ? std::string() : SystemName(module), numbers);
    major = numbers.major;
    minor = numbers.minor;
    release = numbers.release;
    build = numbers.build;
    return found;
}

bool GetVersionNumbers(int& major, int& minor, int& release, int& build) {
    return GetVersionNumbers(QString(), major, minor, release, build);
}

QString GetVersionText(const QString& module) {
    int major = 0, minor = 0, release = 0, build = 0;
    if (!GetVersionNumbers(module, major, minor, release, build))
        return QString();
    return QStringLiteral("%1.%2.%3.%4").arg(major).arg(minor).arg(release).arg(build);
}

QString GetVersionText() {
    return GetVersionText(QString());
}
