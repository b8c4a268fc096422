// The arithmetic of window placement, on plain rectangles: which monitor a window is on, the
// item list that records a placement, and where a recorded placement puts a window. No window
// or screen object is involved, so every rule can be tested and fuzzed without a display;
// FormPlacement.h connects it to real windows.
//
// All rectangles are outer window bounds or monitor bounds in desktop pixels, where a monitor
// may start at negative coordinates.
//
// The placement item list is a keyed value list (KeyedList.h) of six items:
//   HEIGHT, WIDTH  outer size in the normal (restored) state
//   LEFT, TOP      outer position minus the position of the monitor's full bounds
//   MONITOR        0-based index of that monitor in the monitor list
//   STATE          "Maximized" or "Normal" (a minimised window is "Normal")
#pragma once

#include "tools/Strings.h"

#include <climits>
#include <optional>
#include <span>

struct TPlacementRect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;

    friend bool operator==(const TPlacementRect&, const TPlacementRect&) = default;
};

struct TMonitorArea {
    TPlacementRect bounds;   // the whole monitor
    TPlacementRect workArea; // the monitor less task bars and docked bars
};

// What restoring needs to know of a window, all in outer pixels.
struct TPlacementWindow {
    TPlacementRect bounds; // the bounds it has, or would have, in the normal state
    int minWidth = 0;      // 0: no minimum
    int minHeight = 0;
    int maxWidth = INT_MAX;
    int maxHeight = INT_MAX;
};

struct TPlacementTarget {
    TPlacementRect bounds;
    bool maximized = false;

    friend bool operator==(const TPlacementTarget&, const TPlacementTarget&) = default;
};

// The monitor that holds the largest part of rect; when rect meets no monitor, the nearest
// one. Ties go to the lower index. -1 only when there is no monitor at all.
int MonitorIndexAt(const TPlacementRect& rect, std::span<const TMonitorArea> monitors);

// Replaces the content of items with the six placement items of a window whose normal bounds
// are normalBounds, relative to the monitor that holds most of them.
void BuildPlacementItems(TStrings& items, const TPlacementRect& normalBounds, bool maximized,
                         std::span<const TMonitorArea> monitors);

// Where the placement recorded in items puts window; nothing (the window stays untouched)
// when items is empty. In this order:
// - unless keepSize, WIDTH and then HEIGHT, each limited to the window's minimum and to the
//   work area of the monitor the window is on before it moves (recomputed after the width
//   changed), and then to what the window accepts: its minimum and maximum, at least 1;
// - MONITOR, falling back to monitor 0 when missing, negative or not below the count;
// - TOP and then LEFT relative to that monitor's full bounds (a missing item takes the
//   window's current edge as the offset), clamped so that the window lies inside the monitor;
//   a window larger than the monitor gets its far edge on the monitor's far edge when its
//   offset pointed beyond that, and its near edge on the monitor's near edge otherwise;
// - maximized when the first three letters of STATE, in any case, are "MAX".
// Any item text is accepted: numbers are read leniently and saturate, so garbage or huge
// values still yield a window on the chosen monitor. Without monitors only the size changes.
std::optional<TPlacementTarget> ComputeRestoredPlacement(const TStrings& items, const TPlacementWindow& window,
                                                         std::span<const TMonitorArea> monitors, bool keepSize);
