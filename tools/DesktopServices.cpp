#include "DesktopServices.h"

#include <QClipboard>
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
    if (csidl == CSIDL_APPDATA)
        folder = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    if (!folder.isEmpty() && !folder.endsWith(QLatin1Char('/')))
        folder += QLatin1Char('/');
    return folder;
}
