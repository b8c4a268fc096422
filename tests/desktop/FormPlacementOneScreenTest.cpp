// Restoring placements saved on monitors that are gone: one offscreen monitor
// (tests/data/screens-one.json), (0, 0) 1920 x 1080.
#include "desktop/FormPlacement.h"

#include "tests/desktop/PlacementWindowFixture.h"

#include <QGuiApplication>

namespace {

TEST_F(PlacementWindowTest, OnlyOneScreen) {
    ASSERT_EQ(QGuiApplication::screens().size(), 1);
}

TEST_F(PlacementWindowTest, RemovedMonitorFallsBackToMonitor0) {
    const struct {
        const char* stored;
        QRect expectedOuter;
        bool maximized;
    } cases[] = {
        {"HEIGHT=504; LEFT=180; MONITOR=1; STATE=Normal; TOP=150; WIDTH=704", QRect(180, 150, 704, 504), false},
        // The offset is kept but the window is clamped into monitor 0.
        {"HEIGHT=504; LEFT=1700; MONITOR=2; STATE=Normal; TOP=900; WIDTH=704", QRect(1216, 576, 704, 504), false},
        {"HEIGHT=604; LEFT=-300; MONITOR=5; STATE=Maximized; TOP=-20; WIDTH=804", QRect(0, 0, 804, 604), true},
    };
    for (const auto& c : cases) {
        const auto window = ShownWindow({600, 400, 704, 504});
        Store(c.stored);

        ListRestoreFormPlacement(m_settings, QStringLiteral("MainForm"), window.get(), false);
        Settle();

        EXPECT_EQ(window->isMaximized(), c.maximized) << c.stored;
        EXPECT_EQ(NormalOuterBounds(*window), c.expectedOuter) << c.stored;
        if (c.maximized) {
            EXPECT_EQ(window->frameGeometry(), QRect(0, 0, 1920, 1080)) << c.stored;
        } else {
            EXPECT_EQ(window->frameGeometry(), c.expectedOuter) << c.stored;
        }
    }
}

} // namespace
