#include "DesktopServices.h"

#include "XdgFolders.h"

#include <QClipboard>
#include <QDir>
#include <QGuiApplication>
#include <QStandardPaths>

#include <stdexcept>

void CopyTextToClipboard(const QString& text) {
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (!clipboard) // no application object: there is no clipboard to open
        throw std::runtime_error("Cannot open clipboard.");
    clipboard->setText(text, QClipboard::Clipboard);
}

QString GetSpecialFolder(int csidl) {
    QString folder;
    if (csidl == CSIDL_APPDATA) {
        // Qt takes a relative XDG_CONFIG_HOME as it stands, which would put the settings in
        // whatever folder the program was started from.
        folder = XdgFolder("XDG_CONFIG_HOME").isEmpty() ? QDir::homePath() + QStringLiteral("/.config")
                                                        : QStandardPaths::writableLocation(
                                                              QStandardPaths::GenericConfigLocation);
    }
    if (!QDir::isAbsolutePath(folder))
        return {};
    if (!folder.endsWith(QLatin1Char('/')))
        folder += QLatin1Char('/');
    return folder;
}
