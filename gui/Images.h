// The program's pictures: drawn as SVG in gui/images/ and rendered to PNG when the program is
// built (gui/CMakeLists.txt), compiled in as ":/images/NAME-SIDE.png" with a doubled rendering
// ":/images/NAME-SIDE@2x.png" for screens of doubled pixel density.
#pragma once

#include <QIcon>
#include <QSize>
#include <QString>

class QToolButton;
class QWidget;

// The picture drawn as images/<name>.svg, at the square size it was rendered at for the window,
// sharp on normal and doubled pixel densities. A picture not rendered at that size (or a size that
// is not a square) gives an icon without pixmaps.
QIcon PictureIcon(const QString& name, QSize size);

// The application icon, at every size it was rendered at (16 to 256 pixels).
QIcon ApplicationIcon();

// An icon-only button showing the picture <name> at imageSize: its accessible name says what it
// does, its description and tooltip are its hint. It takes the focus from Tab and clicks.
QToolButton* ImageButton(QWidget* parent, const QString& picture, QSize imageSize, const QString& name,
                         const QString& hint);
