// The placement arithmetic on plain rectangles, with work areas that differ from the monitors'
// full bounds (which the offscreen test platform cannot show).
#include "tools/PlacementGeometry.h"
#include "tools/DelimitedList.h"
#include "tools/KeyedList.h"

#include <gtest/gtest.h>

#include <QStringList>
#include <array>
#include <ostream>
#include <vector>

void PrintTo(const TPlacementRect& r, std::ostream* os) {
    *os << "{left " << r.left << ", top " << r.top << ", width " << r.width << ", height " << r.height << "}";
}

namespace {

// Monitor 0 has a task bar of 40 pixels at the bottom; monitor 1 bars on its left and bottom;
// monitor 2 lies left of and above monitor 0, at negative coordinates.
const std::array<TMonitorArea, 3> kMonitors = {{
    {{0, 0, 1920, 1080}, {0, 0, 1920, 1040}},
    {{1920, 0, 1280, 1024}, {1950, 0, 1250, 1000}},
    {{-1600, -200, 1600, 900}, {-1600, -200, 1600, 900}},
}};

// The stored value text as it stands after the "=" of the outer line.
TStringList ItemsOf(const char* value) {
    TStringList items;
    SplitList(QString::fromUtf8(value), &items, u';', true);
    return items;
}

QString JoinedItems(const TStrings& items) {
    return JoinList(&items, u';', 0);
}

TPlacementWindow Window(TPlacementRect bounds, int minWidth = 650, int minHeight = 350) {
    TPlacementWindow window;
    window.bounds = bounds;
    window.minWidth = minWidth;
    window.minHeight = minHeight;
    return window;
}

struct RestoreCase {
    const char* name;
    TPlacementWindow window;
    const char* stored;
    bool keepSize;
    TPlacementRect expected;
    bool maximized;
};

const TPlacementRect kOnMonitor0 = {100, 80, 800, 600};
const TPlacementRect kOnMonitor1 = {2000, 100, 800, 600};
const TPlacementRect kTall = {100, 80, 800, 1200};

const RestoreCase kRestoreCases[] = {
    {"stored normal placement",
     Window(kOnMonitor0),
     "HEIGHT=640; LEFT=100; MONITOR=0; STATE=Normal; TOP=80; WIDTH=1072",
     false,
     {100, 80, 1072, 640},
     false},
    {"maximised on monitor 1",
     Window(kOnMonitor0),
     "HEIGHT=700; LEFT=180; MONITOR=1; STATE=Maximized; TOP=150; WIDTH=900",
     false,
     {2100, 150, 900, 700},
     true},
    {"monitor on negative coordinates",
     Window(kOnMonitor0),
     "HEIGHT=600; LEFT=10; MONITOR=2; STATE=Normal; TOP=10; WIDTH=800",
     false,
     {-1590, -190, 800, 600},
     false},
    {"removed monitor: same offset on monitor 0",
     Window(kOnMonitor1),
     "HEIGHT=700; LEFT=180; MONITOR=3; STATE=Normal; TOP=150; WIDTH=900",
     false,
     {180, 150, 900, 700},
     false},
    {"removed monitor: clamped into monitor 0",
     Window(kOnMonitor1),
     "HEIGHT=700; LEFT=1200; MONITOR=7; STATE=Normal; TOP=900; WIDTH=900",
     false,
     {1020, 380, 900, 700},
     false},
    {"negative monitor index means monitor 0",
     Window(kOnMonitor1),
     "HEIGHT=600; LEFT=5; MONITOR=-1; STATE=Normal; TOP=6; WIDTH=800",
     false,
     {5, 6, 800, 600},
     false},
    {"size above the work area",
     Window(kOnMonitor0),
     "HEIGHT=5000; LEFT=0; MONITOR=0; STATE=Normal; TOP=0; WIDTH=5000",
     false,
     {0, 0, 1920, 1040},
     false},
    // The size is limited before the move, by the monitor the window is on, not the stored one.
    {"size limited by the current monitor's work area",
     Window(kOnMonitor1),
     "HEIGHT=5000; LEFT=0; MONITOR=0; STATE=Normal; TOP=0; WIDTH=5000",
     false,
     {0, 0, 1250, 1000},
     false},
    {"size below the minimum",
     Window(kOnMonitor0),
     "HEIGHT=100; LEFT=0; MONITOR=0; STATE=Normal; TOP=0; WIDTH=300",
     false,
     {0, 0, 650, 350},
     false},
    {"minimum above the work area wins",
     Window(kOnMonitor0, 2500, 1200),
     "HEIGHT=700; LEFT=0; MONITOR=0; STATE=Normal; TOP=0; WIDTH=900",
     false,
     {-580, -120, 2500, 1200},
     false},
    {"no minimum: zero size becomes one pixel",
     Window(kOnMonitor0, 0, 0),
     "HEIGHT=0; LEFT=30; MONITOR=0; STATE=Normal; TOP=40; WIDTH=0",
     false,
     {30, 40, 1, 1},
     false},
    {"negative size",
     Window(kOnMonitor0),
     "HEIGHT=-640; LEFT=0; MONITOR=0; STATE=Normal; TOP=0; WIDTH=-1072",
     false,
     {0, 0, 650, 350},
     false},
    {"LEFT -50 is flush with the monitor's left edge",
     Window(kOnMonitor0),
     "HEIGHT=600; LEFT=-50; MONITOR=0; STATE=Normal; TOP=80; WIDTH=800",
     false,
     {0, 80, 800, 600},
     false},
    {"LEFT -50 on monitor 1",
     Window(kOnMonitor0),
     "HEIGHT=600; LEFT=-50; MONITOR=1; STATE=Normal; TOP=80; WIDTH=800",
     false,
     {1920, 80, 800, 600},
     false},
    {"beyond the right and bottom edges",
     Window(kOnMonitor0),
     "HEIGHT=600; LEFT=1500; MONITOR=1; STATE=Normal; TOP=900; WIDTH=800",
     false,
     {2400, 424, 800, 600},
     false},
    // A window taller than its monitor (1200 on 1080): its far edge meets the monitor's far
    // edge unless the stored offset is at or below 1080 - 1200.
    {"taller than the monitor, TOP 0",
     Window(kTall),
     "LEFT=100; MONITOR=0; STATE=Normal; TOP=0",
     true,
     {100, -120, 800, 1200},
     false},
    {"taller than the monitor, TOP 500",
     Window(kTall),
     "LEFT=100; MONITOR=0; STATE=Normal; TOP=500",
     true,
     {100, -120, 800, 1200},
     false},
    {"taller than the monitor, TOP -119",
     Window(kTall),
     "LEFT=100; MONITOR=0; STATE=Normal; TOP=-119",
     true,
     {100, -120, 800, 1200},
     false},
    {"taller than the monitor, TOP -120",
     Window(kTall),
     "LEFT=100; MONITOR=0; STATE=Normal; TOP=-120",
     true,
     {100, 0, 800, 1200},
     false},
    {"taller than the monitor, TOP -500",
     Window(kTall),
     "LEFT=100; MONITOR=0; STATE=Normal; TOP=-500",
     true,
     {100, 0, 800, 1200},
     false},
    {"keepSize keeps the size",
     Window(kOnMonitor0),
     "HEIGHT=640; LEFT=10; MONITOR=1; STATE=Maximized; TOP=20; WIDTH=1072",
     true,
     {1930, 20, 800, 600},
     true},
    {"keepSize keeps even a size below the minimum",
     Window({100, 80, 200, 100}),
     "HEIGHT=640; LEFT=10; MONITOR=0; STATE=Normal; TOP=20; WIDTH=1072",
     true,
     {10, 20, 200, 100},
     false},
    // A missing offset takes the window's current absolute edge, shifted by the monitor's edge.
    {"missing TOP and LEFT",
     Window({300, 200, 800, 600}),
     "HEIGHT=600; MONITOR=1; STATE=Normal; WIDTH=800",
     false,
     {2220, 200, 800, 600},
     false},
    {"missing size keeps the size",
     Window(kOnMonitor0),
     "LEFT=10; MONITOR=0; STATE=Normal; TOP=20",
     false,
     {10, 20, 800, 600},
     false},
    {"none of the six keys", Window({2100, 150, 800, 600}), "FOO=1", false, {1120, 150, 800, 600}, false},
    {"garbage values",
     Window(kOnMonitor0),
     "HEIGHT=abc; LEFT=x; MONITOR=zz; STATE=??; TOP=; WIDTH=-5",
     false,
     {0, 80, 650, 350},
     false},
    {"lenient numbers",
     Window(kOnMonitor0),
     "HEIGHT=6x00; LEFT=1 0; MONITOR=1.4; STATE=Normal; TOP=2.5; WIDTH=8,00",
     false,
     {1930, 2, 800, 600},
     false},
    {"huge numbers saturate",
     Window(kOnMonitor0),
     "HEIGHT=1E400; LEFT=1E400; MONITOR=1E400; STATE=Normal; TOP=-1E400; WIDTH=99999999999",
     false,
     {0, 0, 1920, 1040},
     false},
    {"huge negative offsets on monitor 2",
     Window(kOnMonitor0),
     "HEIGHT=600; LEFT=-99999999999; MONITOR=2; STATE=Normal; TOP=-2147483648; WIDTH=800",
     false,
     {-1600, -200, 800, 600},
     false},
    {"int32 extremes",
     Window(kOnMonitor0),
     "HEIGHT=2147483647; LEFT=2147483647; MONITOR=2147483647; STATE=Normal; TOP=2147483647; WIDTH=-2147483648",
     false,
     {1270, 40, 650, 1040},
     false},
};

class PlacementGeometryTest : public testing::TestWithParam<RestoreCase> {};

TEST_P(PlacementGeometryTest, RestoresTo) {
    const RestoreCase& c = GetParam();
    const TStringList items = ItemsOf(c.stored);
    ASSERT_GT(items.Count(), 0);

    const std::optional<TPlacementTarget> target = ComputeRestoredPlacement(items, c.window, kMonitors, c.keepSize);

    ASSERT_TRUE(target.has_value());
    EXPECT_EQ(target->bounds, c.expected);
    EXPECT_EQ(target->maximized, c.maximized);
}

INSTANTIATE_TEST_SUITE_P(Cases, PlacementGeometryTest, testing::ValuesIn(kRestoreCases),
                         [](const testing::TestParamInfo<RestoreCase>& info) {
                             std::string name;
                             for (const char* p = info.param.name; *p != 0; ++p)
                                 name += std::isalnum(static_cast<unsigned char>(*p)) ? *p : '_';
                             return name;
                         });

TEST(PlacementGeometry, EmptyItemsLeaveTheWindowAlone) {
    const TStringList items;
    EXPECT_FALSE(ComputeRestoredPlacement(items, Window(kOnMonitor0), kMonitors, false).has_value());
}

TEST(PlacementGeometry, OnlyTheFirstThreeLettersOfTheStateCount) {
    const struct {
        const char* state;
        bool maximized;
    } cases[] = {
        {"Maximized", true}, {"maximised", true}, {"MAXIMUM", true}, {"max", true},     {"mAx!", true},
        {"Ma", false},       {"Normal", false},   {"", false},       {"xMAX", false},   {"Minimized", false},
        {"M A X", false},    {"MAXI", true},      {"0", false},      {"Maximal", true}, {"ma x", false},
    };
    for (const auto& c : cases) {
        TStringList items;
        ListSetValue(items, QStringLiteral("State"), QString::fromUtf8(c.state));
        const std::optional<TPlacementTarget> target =
            ComputeRestoredPlacement(items, Window(kOnMonitor0), kMonitors, false);
        ASSERT_TRUE(target.has_value()) << c.state;
        EXPECT_EQ(target->maximized, c.maximized) << "STATE=" << c.state;
    }
}

TEST(PlacementGeometry, WithoutMonitorsOnlyTheSizeChanges) {
    const TStringList items = ItemsOf("HEIGHT=640; LEFT=100; MONITOR=0; STATE=Maximized; TOP=80; WIDTH=1072");
    const std::optional<TPlacementTarget> target =
        ComputeRestoredPlacement(items, Window({-5, 7, 800, 600}), std::span<const TMonitorArea>(), false);
    ASSERT_TRUE(target.has_value());
    EXPECT_EQ(target->bounds, (TPlacementRect{-5, 7, 1072, 640}));
    EXPECT_TRUE(target->maximized);
}

TEST(PlacementGeometry, MonitorIndexAt) {
    const struct {
        const char* name;
        TPlacementRect rect;
        int expected;
    } cases[] = {
        {"inside monitor 0", {100, 100, 400, 300}, 0},
        {"inside monitor 1", {2000, 100, 400, 300}, 1},
        {"inside monitor 2", {-1000, -100, 400, 300}, 2},
        {"mostly on monitor 1", {1800, 100, 400, 300}, 1},
        {"even split goes to the lower index", {1720, 100, 400, 300}, 0},
        {"beyond the right edge of everything", {4000, 100, 10, 10}, 1},
        {"far up and left", {-5000, -5000, 10, 10}, 2},
        {"below monitor 0", {500, 3000, 10, 10}, 0},
        {"left of monitor 0, below monitor 2", {-300, 1000, 200, 100}, 0},
        {"empty rectangle inside monitor 1", {2500, 500, 0, 0}, 1},
        {"negative size", {2500, 500, -50, -50}, 1},
        {"huge rectangle over monitor 2", {INT_MIN, INT_MIN, INT_MAX, INT_MAX}, 2},
        {"huge rectangle over everything", {-2000, -2000, INT_MAX, INT_MAX}, 0},
        {"at the far corner", {INT_MAX, INT_MAX, INT_MAX, INT_MAX}, 1},
    };
    for (const auto& c : cases)
        EXPECT_EQ(MonitorIndexAt(c.rect, kMonitors), c.expected) << c.name;
    EXPECT_EQ(MonitorIndexAt({0, 0, 10, 10}, std::span<const TMonitorArea>()), -1);
}

TEST(PlacementGeometry, BuildPlacementItems) {
    const struct {
        const char* name;
        TPlacementRect bounds;
        bool maximized;
        const char* expected;
    } cases[] = {
        {"normal on monitor 0",
         {100, 80, 1072, 640},
         false,
         "HEIGHT=640; LEFT=100; MONITOR=0; STATE=Normal; TOP=80; WIDTH=1072"},
        {"normal on monitor 1",
         {2100, 150, 604, 504},
         false,
         "HEIGHT=504; LEFT=180; MONITOR=1; STATE=Normal; TOP=150; WIDTH=604"},
        {"maximised on monitor 2",
         {-1500, -150, 800, 600},
         true,
         "HEIGHT=600; LEFT=100; MONITOR=2; STATE=Maximized; TOP=50; WIDTH=800"},
        {"partly off monitor 0",
         {-300, 1000, 200, 100},
         false,
         "HEIGHT=100; LEFT=-300; MONITOR=0; STATE=Normal; TOP=1000; WIDTH=200"},
        {"extreme values",
         {INT_MIN, 100, INT_MAX, 100},
         false,
         "HEIGHT=100; LEFT=-2147482048; MONITOR=2; STATE=Normal; TOP=300; WIDTH=2147483647"},
    };
    for (const auto& c : cases) {
        TStringList items;
        items.Add(QStringLiteral("STALE=1"));
        BuildPlacementItems(items, c.bounds, c.maximized, kMonitors);
        EXPECT_EQ(JoinedItems(items), QString::fromUtf8(c.expected)) << c.name;
    }
}

TEST(PlacementGeometry, BuildWithoutMonitorsKeepsDesktopCoordinates) {
    TStringList items;
    BuildPlacementItems(items, {-40, 30, 500, 400}, false, std::span<const TMonitorArea>());
    EXPECT_EQ(JoinedItems(items), QStringLiteral("HEIGHT=400; LEFT=-40; MONITOR=0; STATE=Normal; TOP=30; WIDTH=500"));
}

// A window that fits its monitor's work area comes back exactly where it was saved.
TEST(PlacementGeometry, SavedPlacementRestoresUnchanged) {
    const TPlacementRect windows[] = {
        {100, 80, 1072, 640}, {2100, 150, 604, 504}, {-1500, -150, 800, 600}, {1920, 0, 1250, 1000}, {0, 0, 650, 350},
    };
    for (const TPlacementRect& bounds : windows) {
        for (const bool maximized : {false, true}) {
            TStringList items;
            BuildPlacementItems(items, bounds, maximized, kMonitors);
            const std::optional<TPlacementTarget> target =
                ComputeRestoredPlacement(items, Window({50, 50, 700, 500}, 0, 0), kMonitors, false);
            ASSERT_TRUE(target.has_value());
            EXPECT_EQ(target->bounds, bounds) << JoinedItems(items).toStdString();
            EXPECT_EQ(target->maximized, maximized) << JoinedItems(items).toStdString();
        }
    }
}

bool Contains(const TPlacementRect& outer, const TPlacementRect& inner) {
    return inner.left >= outer.left && inner.top >= outer.top &&
           int64_t{inner.left} + inner.width <= int64_t{outer.left} + outer.width &&
           int64_t{inner.top} + inner.height <= int64_t{outer.top} + outer.height;
}

// On one axis a window that fits lies inside the monitor; one that does not covers it, with
// one of its edges on the monitor's edge.
bool OnMonitorAxis(int64_t position, int64_t extent, int64_t monitorNear, int64_t monitorExtent) {
    if (extent <= monitorExtent)
        return position >= monitorNear && position + extent <= monitorNear + monitorExtent;
    return position == monitorNear || position + extent == monitorNear + monitorExtent;
}

// Every combination of awkward stored texts gives a window within its size limits on the
// monitor it names (monitor 0 when that one does not exist).
TEST(PlacementGeometry, AnyStoredValueGivesAWindowOnAMonitor) {
    const char* offsets[] = {nullptr, "", "-50", "1800", "99999", "1E400", "-1E400", "abc"};
    const char* sizes[] = {nullptr, "-5", "0", "700", "99999", "1E400"};
    const char* monitorTexts[] = {nullptr, "0", "1", "2", "3", "-1", "x"};
    const int expectedMonitor[] = {0, 0, 1, 2, 0, 0, 0};
    const TPlacementWindow windows[] = {Window(kOnMonitor0), Window(kOnMonitor1, 0, 0), Window({-4000, 9000, 10, 10})};

    for (const TPlacementWindow& window : windows) {
        for (const char* width : sizes) {
            for (const char* height : sizes) {
                for (const char* left : offsets) {
                    for (const char* top : offsets) {
                        for (size_t m = 0; m < std::size(monitorTexts); ++m) {
                            TStringList items;
                            ListSetValue(items, QStringLiteral("State"), QStringLiteral("Normal"));
                            const std::pair<const char*, const char*> values[] = {{"Width", width},
                                                                                  {"Height", height},
                                                                                  {"Left", left},
                                                                                  {"Top", top},
                                                                                  {"Monitor", monitorTexts[m]}};
                            for (const auto& [key, text] : values) {
                                if (text != nullptr)
                                    ListSetValue(items, QString::fromUtf8(key), QString::fromUtf8(text));
                            }
                            const std::optional<TPlacementTarget> target =
                                ComputeRestoredPlacement(items, window, kMonitors, false);
                            ASSERT_TRUE(target.has_value());
                            const TPlacementRect& r = target->bounds;
                            const TPlacementRect& monitor = kMonitors[expectedMonitor[m]].bounds;
                            const std::string what = JoinedItems(items).toStdString();
                            ASSERT_GE(r.width, std::max(window.minWidth, 1)) << what;
                            ASSERT_GE(r.height, std::max(window.minHeight, 1)) << what;
                            ASSERT_TRUE(OnMonitorAxis(r.left, r.width, monitor.left, monitor.width)) << what;
                            ASSERT_TRUE(OnMonitorAxis(r.top, r.height, monitor.top, monitor.height)) << what;
                            if (r.width <= monitor.width && r.height <= monitor.height) {
                                ASSERT_TRUE(Contains(monitor, r)) << what;
                            }
                        }
                    }
                }
            }
        }
    }
}

} // namespace
