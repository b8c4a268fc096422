#include "WindowFonts.h"

#include <QStringList>

namespace {

QFont PixelFont(const QStringList& families, int pixelSize, QFont::StyleHint hint) {
    QFont font;
    font.setFamilies(families);
    font.setStyleHint(hint);
    font.setPixelSize(pixelSize);
    return font;
}

} // namespace

QFont TahomaFont(int pixelSize) {
    return PixelFont({QStringLiteral("Tahoma"), QStringLiteral("DejaVu Sans")}, pixelSize, QFont::SansSerif);
}

QFont CourierNewFont(int pixelSize) {
    return PixelFont({QStringLiteral("Courier New"), QStringLiteral("Liberation Mono")}, pixelSize, QFont::Monospace);
}
