#include "tools/UserFolders.h"

#include "tools/XdgFolders.h"

#include <QDir>
#include <QStandardPaths>

QString GetSpecialFolder(int csidl) {
    QString folder;
    if (csidl == CSIDL_APPDATA) {
        // Qt takes a relative XDG_CONFIG_HOME as it stands, which would put the settings in
        // whatever folder the program was started from.
        folder = XdgFolder("XDG_CONFIG_HOME").isEmpty()
                     ? QDir::homePath() + QStringLiteral("/.config")
                     : QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    }
    if (!QDir::isAbsolutePath(folder))
        return {};
    if (!folder.endsWith(QLatin1Char('/')))
        folder += QLatin1Char('/');
    return folder;
}
