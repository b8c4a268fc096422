// The window's fonts. Character heights are in pixels. Where Tahoma or Courier New is not
// installed, a free font of similar shape takes its place: DejaVu Sans for Tahoma, Liberation
// Mono (same metrics as Courier New) for Courier New.
#pragma once

#include <QFont>

QFont TahomaFont(int pixelSize);
QFont CourierNewFont(int pixelSize);
