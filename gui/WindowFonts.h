// The window's fonts. Character heights are in pixels.
//
// Where Tahoma or Courier New is not installed, a free font takes its place: the Tahoma of
// the Wine project (Debian package fonts-wine, which keeps it outside the font folders, so it
// is registered from its file), else DejaVu Sans; Liberation Mono, which has the metrics of
// Courier New.
#pragma once

#include <QFont>

// Registers the substitute fonts that the system's font configuration does not list; call
// once the application object exists. Missing files are skipped.
void RegisterSubstituteFonts();

QFont TahomaFont(int pixelSize);
QFont CourierNewFont(int pixelSize);
