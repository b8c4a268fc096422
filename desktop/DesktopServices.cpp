#include "desktop/DesktopServices.h"

#include <QClipboard>
#include <QGuiApplication>

#include <stdexcept>

void CopyTextToClipboard(const QString& text) {
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (!clipboard) // no application object: there is no clipboard to open
        throw std::runtime_error("Cannot open clipboard.");
    clipboard->setText(text, QClipboard::Clipboard);
}

void OfferTextAsSelection(const QString& text) {
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (clipboard && clipboard->supportsSelection())
        clipboard->setText(text, QClipboard::Selection);
}

QString ClipboardText() {
    const QClipboard* clipboard = QGuiApplication::clipboard();
    return clipboard ? clipboard->text(QClipboard::Clipboard) : QString();
}
