// The window's text colours, readable on the desktop theme's background. A designed colour
// (the status line's green, a verdict's red) is drawn as is where it stands out enough from
// the background it is drawn on; where it does not, it is made darker on a light background or
// lighter on a dark one, keeping its hue, until it does. Contrast is the WCAG 2 ratio of
// relative luminances, 1 to 21.
#pragma once

#include <QColor>

// What text needs against its background, and greyed text (a digest of the previous input).
inline constexpr double TextContrast = 4.5;
inline constexpr double GreyedTextContrast = 3.0;

double ContrastRatio(const QColor& first, const QColor& second);

// designed itself when it has the contrast against background, else the nearest colour
// towards black or white (whichever stands out more from background) that has it.
QColor ReadableOn(const QColor& designed, const QColor& background, double contrast = TextContrast);
