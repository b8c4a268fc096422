// Saving and restoring the placement of a top-level window (its state, outer position and
// size, and monitor) as one value of a keyed value list, e.g. the line
//   MAINFORM=HEIGHT=640; LEFT=100; MONITOR=0; STATE=Normal; TOP=80; WIDTH=1072
// The rules are those of PlacementGeometry.h; this file reads and sets the real window.
//
// Monitors are QGuiApplication::screens() in their order, with geometry() as full bounds and
// availableGeometry() as work area. Window bounds are outer bounds (frameGeometry()); the
// minimum and maximum sizes count with the frame added.
//
// Both operations use ScratchList() (ConfigStore.h): the store lists must exist, and the calls
// are not re-entrant. A null form is ignored.
#pragma once

#include "tools/Strings.h"

#include <QString>

class QWidget;

// Stores the placement of form under key. A maximised window is recorded with its normal
// (restored) bounds, framed as the window was in the normal state when TrackNormalFrame has
// seen that (a window manager may draw a maximised window with a thinner frame), else with
// the current frame; the window's state is left as it is.
void ListSaveFormPlacement(TStrings& list, const QString& key, QWidget* form);

// Makes form remember its frame while it is in the normal state, for ListSaveFormPlacement;
// a window calls it once it exists (a second call changes nothing). Restoring calls it too.
void TrackNormalFrame(QWidget* form);

// Applies the placement stored under key: the window is switched to the normal state, sized
// (unless keepSize), moved onto the stored monitor (monitor 0 if that one is gone) and
// maximised again if it was saved so. A missing key or an empty value leaves the window
// exactly as it is. Any stored text gives a window on a monitor and within its size limits.
void ListRestoreFormPlacement(TStrings& list, const QString& key, QWidget* form, bool keepSize);

// The same on the SystemConfig store (ConfigStore.h); saving marks the store changed,
// restoring does not.
void ConfigSaveFormPlacement(const QString& key, QWidget* form);
void ConfigRestoreFormPlacement(const QString& key, QWidget* form, bool keepSize);
