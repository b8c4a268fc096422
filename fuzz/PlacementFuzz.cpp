// Restoring a placement from arbitrary stored text, on one to three monitors of arbitrary
// layout: the window always has a size of at least one pixel within the limits it accepts, it
// lies on the monitor it was put on (wholly, when it fits), and nothing overflows.
#include "fuzz/FuzzInput.h"
#include "tools/PlacementGeometry.h"

#include <algorithm>
#include <vector>

namespace {

TPlacementRect Rect(TFuzzInput& input, int minSize) {
    TPlacementRect rect;
    rect.left = int(input.Range(-40000, 40000));
    rect.top = int(input.Range(-40000, 40000));
    rect.width = int(input.Range(minSize, 16000));
    rect.height = int(input.Range(minSize, 16000));
    return rect;
}

// The window on the axis of a monitor: inside it when it fits, else covering it.
bool OnAxis(std::int64_t position, std::int64_t extent, std::int64_t near, std::int64_t monitorExtent) {
    if (extent <= monitorExtent)
        return position >= near && position + extent <= near + monitorExtent;
    return position <= near && position + extent >= near + monitorExtent;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    TFuzzInput input(data, size);
    std::vector<TMonitorArea> monitors(std::size_t(input.Range(0, 3)));
    for (TMonitorArea& monitor : monitors) {
        monitor.bounds = Rect(input, 1);
        monitor.workArea = monitor.bounds;
        monitor.workArea.height = std::max(1, monitor.bounds.height - int(input.Range(0, 100)));
    }
    TPlacementWindow window;
    window.bounds = Rect(input, 0);
    window.minWidth = int(input.Range(0, 2000));
    window.minHeight = int(input.Range(0, 2000));
    window.maxWidth = input.Byte() & 1 ? INT_MAX : window.minWidth + int(input.Range(0, 20000));
    window.maxHeight = input.Byte() & 1 ? INT_MAX : window.minHeight + int(input.Range(0, 20000));
    const bool keepSize = input.Byte() & 1;

    TStringList items;
    items.SetText(input.Text());

    std::optional<TPlacementTarget> target;
    try {
        target = ComputeRestoredPlacement(items, window, monitors, keepSize);
    } catch (const std::exception& failure) {
        FuzzFailure("restoring threw", QString::fromUtf8(failure.what()));
    }
    if (!target) {
        if (items.Count() != 0)
            FuzzFailure("stored items gave no placement", items.Text());
        return 0;
    }

    const TPlacementRect& r = target->bounds;
    if (!keepSize) {
        const int lowWidth = std::max(window.minWidth, 1);
        const int lowHeight = std::max(window.minHeight, 1);
        if (r.width < lowWidth || r.width > std::max(window.maxWidth, lowWidth) || r.height < lowHeight ||
            r.height > std::max(window.maxHeight, lowHeight))
            FuzzFailure("the restored size is outside the window's limits", items.Text());
    } else if (r.width != window.bounds.width || r.height != window.bounds.height) {
        FuzzFailure("keepSize changed the size", items.Text());
    }
    if (monitors.empty())
        return 0;

    const bool onSomeMonitor = std::any_of(monitors.begin(), monitors.end(), [&](const TMonitorArea& m) {
        return OnAxis(r.left, r.width, m.bounds.left, m.bounds.width) &&
               OnAxis(r.top, r.height, m.bounds.top, m.bounds.height);
    });
    if (!onSomeMonitor)
        FuzzFailure("the restored window is not on a monitor", items.Text());
    return 0;
}
