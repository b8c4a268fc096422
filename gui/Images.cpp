#include "gui/Images.h"

#include <QDir>
#include <QPixmap>
#include <QToolButton>

namespace {

const QString PicturesFolder = QStringLiteral(":/images/");

// The rendering's pixmap, marked with its density so that the icon offers it to screens of that
// density and draws it at the picture's size there.
bool AddRendering(QIcon& icon, const QString& file, int scale) {
    QPixmap pixmap(PicturesFolder + file);
    if (pixmap.isNull())
        return false;
    pixmap.setDevicePixelRatio(scale);
    icon.addPixmap(pixmap);
    return true;
}

} // namespace

QIcon PictureIcon(const QString& name, QSize size) {
    QIcon icon;
    if (size.width() != size.height())
        return icon;
    const QString stem = name + u'-' + QString::number(size.width());
    if (!AddRendering(icon, stem + QStringLiteral(".png"), 1) ||
        !AddRendering(icon, stem + QStringLiteral("@2x.png"), 2))
        return QIcon();
    return icon;
}

QIcon ApplicationIcon() {
    QIcon icon;
    for (const QString& file : QDir(PicturesFolder).entryList({QStringLiteral("quviro-*.png")}, QDir::Files))
        AddRendering(icon, file, 1);
    return icon;
}

QToolButton* ImageButton(QWidget* parent, const QString& picture, QSize imageSize, const QString& name,
                         const QString& hint) {
    auto* button = new QToolButton(parent);
    button->setIcon(PictureIcon(picture, imageSize));
    button->setIconSize(imageSize);
    button->setToolTip(hint);
    button->setAccessibleName(name);
    button->setAccessibleDescription(hint);
    button->setFocusPolicy(Qt::StrongFocus);
    return button;
}
