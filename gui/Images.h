// The program's pictures, drawn as SVG and compiled in (resource prefix ":/images").
#pragma once

#include <QIcon>
#include <QSize>
#include <QString>

// The picture at resource path drawn at size, sharp on normal and doubled pixel densities.
// A missing or broken picture gives an icon without pixmaps.
QIcon SvgIcon(const QString& path, QSize size);

// The application icon, at the usual sizes from 16 to 256 pixels.
QIcon ApplicationIcon();
