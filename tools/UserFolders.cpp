#include "tools/UserFolders.h"

#include "platform/ShellFolders.h"
#include "tools/XdgFolders.h"

#include <QDir>
#include <QStandardPaths>

namespace {

// Where the system names no application-data folder: the XDG config folder.
QString XdgConfigFolder() {
    // Qt takes a relative XDG_CONFIG_HOME as it stands, which would put the settings in
    // whatever folder the program was started from.
    return XdgFolder("XDG_CONFIG_HOME").isEmpty()
               ? QDir::homePath() + QStringLiteral("/.config")
               : QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
}

} // namespace

QChar PathDelimiter() {
    return QLatin1Char(SystemPathDelimiter());
}

QString GetSpecialFolder(int csidl) {
    if (csidl != CSIDL_APPDATA)
        return {};
    const std::string system = SystemAppDataFolder();
    QString folder = system.empty() ? XdgConfigFolder() : QString::fromStdString(system);
    if (!QDir::isAbsolutePath(folder))
        return {};
    if (!folder.endsWith(PathDelimiter()))
        folder += PathDelimiter();
    return folder;
}
