#include "tools/PlacementGeometry.h"

#include "tools/KeyedList.h"
#include "tools/Numbers.h"
#include "tools/TextUtils.h"

#include <QStringLiteral>
#include <algorithm>
#include <cstdint>

namespace {

// Stored offsets and sizes are arbitrary 32-bit values, so sums of them are formed in 64 bits
// and brought back into range by saturation rather than wrapping.
int SaturateToInt(int64_t value) {
    return static_cast<int>(std::clamp<int64_t>(value, INT_MIN, INT_MAX));
}

// Length of the overlap of [a, a + aLength) and [b, b + bLength), 0 when they do not meet.
int64_t Overlap(int64_t a, int64_t aLength, int64_t b, int64_t bLength) {
    const int64_t low = std::max(a, b);
    const int64_t high = std::min(a + aLength, b + bLength);
    return std::max<int64_t>(0, high - low);
}

// Distance between [a, a + aLength) and [b, b + bLength), 0 when they meet.
int64_t Gap(int64_t a, int64_t aLength, int64_t b, int64_t bLength) {
    if (a + aLength <= b)
        return b - (a + aLength);
    if (b + bLength <= a)
        return a - (b + bLength);
    return 0;
}

// The size a window takes when asked for `requested`: its maximum, then its minimum (the
// minimum wins when they conflict), and never less than one pixel.
int ConstrainSize(int requested, int minimum, int maximum) {
    return std::max({std::min(requested, maximum), minimum, 1});
}

int WorkAreaWidth(const TPlacementRect& window, std::span<const TMonitorArea> monitors) {
    const int index = MonitorIndexAt(window, monitors);
    return index < 0 ? 0 : monitors[index].workArea.width;
}

int WorkAreaHeight(const TPlacementRect& window, std::span<const TMonitorArea> monitors) {
    const int index = MonitorIndexAt(window, monitors);
    return index < 0 ? 0 : monitors[index].workArea.height;
}

// One axis of keeping the window on its monitor: the stored offset moved to the monitor's
// edge, clamped to the monitor's extent less the window's.
int PlaceOnAxis(int storedOffset, int monitorNear, int monitorExtent, int windowExtent) {
    const int position = SaturateToInt(int64_t{storedOffset} + monitorNear);
    const int highest = SaturateToInt(int64_t{monitorNear} + monitorExtent - windowExtent);
    return ClampInt(position, monitorNear, highest);
}

bool IsMaximizedStateText(const QString& state) {
    return Upper(QStringView(state).left(3)) == QStringLiteral("MAX");
}

} // namespace

int MonitorIndexAt(const TPlacementRect& rect, std::span<const TMonitorArea> monitors) {
    int best = -1;
    int64_t bestArea = 0;
    for (size_t i = 0; i < monitors.size(); ++i) {
        const TPlacementRect& m = monitors[i].bounds;
        const int64_t area =
            Overlap(rect.left, rect.width, m.left, m.width) * Overlap(rect.top, rect.height, m.top, m.height);
        if (area > bestArea) {
            best = static_cast<int>(i);
            bestArea = area;
        }
    }
    if (best >= 0)
        return best;

    // Nothing overlaps (or rect is empty): the nearest monitor. The gaps reach 2^33, so their
    // squares are summed as doubles.
    double bestDistance = 0;
    for (size_t i = 0; i < monitors.size(); ++i) {
        const TPlacementRect& m = monitors[i].bounds;
        const double dx = Gap(rect.left, std::max(rect.width, 0), m.left, std::max(m.width, 0));
        const double dy = Gap(rect.top, std::max(rect.height, 0), m.top, std::max(m.height, 0));
        const double distance = dx * dx + dy * dy;
        if (best < 0 || distance < bestDistance) {
            best = static_cast<int>(i);
            bestDistance = distance;
        }
    }
    return best;
}

void BuildPlacementItems(TStrings& items, const TPlacementRect& normalBounds, bool maximized,
                         std::span<const TMonitorArea> monitors) {
    const int monitor = MonitorIndexAt(normalBounds, monitors);
    const TPlacementRect origin = monitor < 0 ? TPlacementRect{} : monitors[monitor].bounds;

    items.Clear();
    ListSetValue(items, QStringLiteral("State"), maximized ? QStringLiteral("Maximized") : QStringLiteral("Normal"));
    ListSetFloat(items, QStringLiteral("Left"), double(normalBounds.left) - origin.left);
    ListSetFloat(items, QStringLiteral("Top"), double(normalBounds.top) - origin.top);
    ListSetFloat(items, QStringLiteral("Width"), normalBounds.width);
    ListSetFloat(items, QStringLiteral("Height"), normalBounds.height);
    ListSetFloat(items, QStringLiteral("Monitor"), std::max(monitor, 0));
}

std::optional<TPlacementTarget> ComputeRestoredPlacement(const TStrings& items, const TPlacementWindow& window,
                                                         std::span<const TMonitorArea> monitors, bool keepSize) {
    if (items.Count() == 0)
        return std::nullopt;

    TPlacementRect bounds = window.bounds;
    if (!keepSize) {
        const int width =
            ListGetInt(items, QStringLiteral("Width"), bounds.width, window.minWidth, WorkAreaWidth(bounds, monitors));
        bounds.width = ConstrainSize(width, window.minWidth, window.maxWidth);
        const int height = ListGetInt(items, QStringLiteral("Height"), bounds.height, window.minHeight,
                                      WorkAreaHeight(bounds, monitors));
        bounds.height = ConstrainSize(height, window.minHeight, window.maxHeight);
    }

    if (!monitors.empty()) {
        int index = ListGetInt(items, QStringLiteral("Monitor"), -1, 0, 0);
        if (index < 0 || static_cast<size_t>(index) >= monitors.size())
            index = 0;
        const TPlacementRect& monitor = monitors[index].bounds;
        bounds.top = PlaceOnAxis(ListGetInt(items, QStringLiteral("Top"), bounds.top, 0, 0), monitor.top,
                                 monitor.height, bounds.height);
        bounds.left = PlaceOnAxis(ListGetInt(items, QStringLiteral("Left"), bounds.left, 0, 0), monitor.left,
                                  monitor.width, bounds.width);
    }

    return TPlacementTarget{bounds, IsMaximizedStateText(ListGetValue(items, QStringLiteral("State"), QString()))};
}
