#include "tools/SpecialFolders.h"

#include <QStandardPaths>

QString GetSpecialFolder(int csidl) {
    QString folder;
    if (csidl == CSIDL_APPDATA)
        folder = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    if (!folder.isEmpty() && !folder.endsWith(QLatin1Char('/')))
        folder += QLatin1Char('/');
    return folder;
}
