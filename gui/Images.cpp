#include "gui/Images.h"

#include <QImage>
#include <QPainter>
#include <QPixmap>
#include <QSvgRenderer>
#include <QToolButton>

namespace {

void AddRendering(QIcon& icon, QSvgRenderer& renderer, QSize size, int scale) {
    QImage image(size * scale, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    {
        QPainter painter(&image);
        renderer.render(&painter);
    }
    QPixmap pixmap = QPixmap::fromImage(image);
    pixmap.setDevicePixelRatio(scale);
    icon.addPixmap(pixmap);
}

} // namespace

QIcon SvgIcon(const QString& path, QSize size) {
    QIcon icon;
    QSvgRenderer renderer(path);
    if (!renderer.isValid())
        return icon;
    for (int scale : {1, 2})
        AddRendering(icon, renderer, size, scale);
    return icon;
}

QIcon ApplicationIcon() {
    QIcon icon;
    QSvgRenderer renderer(QStringLiteral(":/images/quviro.svg"));
    if (!renderer.isValid())
        return icon;
    for (int side : {16, 24, 32, 48, 64, 128, 256})
        AddRendering(icon, renderer, QSize(side, side), 1);
    return icon;
}

QToolButton* ImageButton(QWidget* parent, const QString& image, QSize imageSize, const QString& name,
                         const QString& hint) {
    auto* button = new QToolButton(parent);
    button->setIcon(SvgIcon(image, imageSize));
    button->setIconSize(imageSize);
    button->setToolTip(hint);
    button->setAccessibleName(name);
    button->setAccessibleDescription(hint);
    button->setFocusPolicy(Qt::StrongFocus);
    return button;
}
