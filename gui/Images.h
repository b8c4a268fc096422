// The program's pictures, drawn as SVG and compiled in (resource prefix ":/images").
#pragma once

#include <QIcon>
#include <QSize>
#include <QString>

class QToolButton;
class QWidget;

// The picture at resource path drawn at size, sharp on normal and doubled pixel densities.
// A missing or broken picture gives an icon without pixmaps.
QIcon SvgIcon(const QString& path, QSize size);

// The application icon, at the usual sizes from 16 to 256 pixels.
QIcon ApplicationIcon();

// An icon-only button showing the picture at resource path: its accessible name says what it
// does, its description and tooltip are its hint. It takes the focus from Tab and clicks.
QToolButton* ImageButton(QWidget* parent, const QString& image, QSize imageSize, const QString& name,
                         const QString& hint);
