#include "gui/WindowFonts.h"

#include <QFile>
#include <QFontDatabase>
#include <QStringList>

namespace {

const QString WineTahomaFile = QStringLiteral("/usr/share/wine/fonts/tahoma.ttf");
const QString WineTahomaBoldFile = QStringLiteral("/usr/share/wine/fonts/tahomabd.ttf");

QFont PixelFont(const QStringList& families, int pixelSize, QFont::StyleHint hint) {
    QFont font;
    font.setFamilies(families);
    font.setStyleHint(hint);
    font.setPixelSize(pixelSize);
    return font;
}

} // namespace

void RegisterSubstituteFonts() {
    if (QFontDatabase::hasFamily(QStringLiteral("Tahoma")))
        return;
    for (const QString& file : {WineTahomaFile, WineTahomaBoldFile}) {
        if (QFile::exists(file))
            QFontDatabase::addApplicationFont(file);
    }
}

QFont TahomaFont(int pixelSize) {
    return PixelFont({QStringLiteral("Tahoma"), QStringLiteral("DejaVu Sans")}, pixelSize, QFont::SansSerif);
}

QFont CourierNewFont(int pixelSize) {
    return PixelFont({QStringLiteral("Courier New"), QStringLiteral("Liberation Mono")}, pixelSize, QFont::Monospace);
}
