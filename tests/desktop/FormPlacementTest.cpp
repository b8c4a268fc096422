// Saving and restoring real windows over three offscreen monitors (tests/data/screens-three.json):
//   0: (0, 0) 1920 x 1080, 1: (1920, 0) 1280 x 1024, 2: (-1600, -200) 1600 x 900.
#include "desktop/FormPlacement.h"

#include "tests/desktop/PlacementWindowFixture.h"

#include <QGuiApplication>
#include <QScreen>

namespace {

const QRect kMonitor1(1920, 0, 1280, 1024);

TEST_F(PlacementWindowTest, ScreensAreTheConfiguredMonitors) {
    const QList<QScreen*> screens = QGuiApplication::screens();
    ASSERT_EQ(screens.size(), 3);
    EXPECT_EQ(screens[0]->geometry(), QRect(0, 0, 1920, 1080));
    EXPECT_EQ(screens[1]->geometry(), kMonitor1);
    EXPECT_EQ(screens[2]->geometry(), QRect(-1600, -200, 1600, 900));
}

TEST_F(PlacementWindowTest, SavesANormalWindowRelativeToItsMonitor) {
    const auto window = ShownWindow({2100, 150, 704, 504});
    ASSERT_EQ(window->frameGeometry(), QRect(2100, 150, 704, 504));

    ListSaveFormPlacement(m_settings, QStringLiteral("MainForm"), window.get());

    ASSERT_EQ(m_settings.Count(), 1);
    EXPECT_EQ(m_settings.Get(0),
              QStringLiteral("MAINFORM=HEIGHT=504; LEFT=180; MONITOR=1; STATE=Normal; TOP=150; WIDTH=704"));
}

TEST_F(PlacementWindowTest, SavesAWindowOnAMonitorAtNegativeCoordinates) {
    const auto window = ShownWindow({-1500, -150, 804, 604});
    ASSERT_EQ(window->frameGeometry(), QRect(-1500, -150, 804, 604));

    ListSaveFormPlacement(m_settings, QStringLiteral("MainForm"), window.get());

    EXPECT_EQ(Stored(), QStringLiteral("HEIGHT=604; LEFT=100; MONITOR=2; STATE=Normal; TOP=50; WIDTH=804"));
}

TEST_F(PlacementWindowTest, NormalWindowRoundTrip) {
    const auto window = ShownWindow({2100, 150, 804, 604});
    ListSaveFormPlacement(m_settings, QStringLiteral("MainForm"), window.get());

    window->resize(900, 700);
    window->move(300, 200);
    Settle();
    ListRestoreFormPlacement(m_settings, QStringLiteral("MainForm"), window.get(), false);
    Settle();

    EXPECT_EQ(window->frameGeometry(), QRect(2100, 150, 804, 604));
    EXPECT_EQ(window->windowState() & ~Qt::WindowActive, Qt::WindowNoState);
}

TEST_F(PlacementWindowTest, MaximisedWindowOnMonitor1KeepsItsNormalBounds) {
    const auto window = ShownWindow({2100, 150, 804, 604});
    SetState(*window, Qt::WindowMaximized);
    ASSERT_EQ(window->frameGeometry(), kMonitor1);

    ListSaveFormPlacement(m_settings, QStringLiteral("MainForm"), window.get());
    EXPECT_EQ(Stored(), QStringLiteral("HEIGHT=604; LEFT=180; MONITOR=1; STATE=Maximized; TOP=150; WIDTH=804"));
    Settle();
    EXPECT_TRUE(window->isMaximized());
    EXPECT_EQ(window->frameGeometry(), kMonitor1);

    // A new window, normal on monitor 0, comes back maximised on monitor 1 over the saved
    // normal bounds, and saves the same placement again.
    const auto restored = ShownWindow({100, 80, 704, 504});
    ListRestoreFormPlacement(m_settings, QStringLiteral("MainForm"), restored.get(), false);
    Settle();
    EXPECT_TRUE(restored->isMaximized());
    EXPECT_EQ(restored->frameGeometry(), kMonitor1);
    EXPECT_EQ(NormalOuterBounds(*restored), QRect(2100, 150, 804, 604));

    TStringList again;
    ListSaveFormPlacement(again, QStringLiteral("MainForm"), restored.get());
    EXPECT_EQ(again.Text(), m_settings.Text());

    SetState(*restored, Qt::WindowNoState);
    EXPECT_EQ(restored->frameGeometry(), QRect(2100, 150, 804, 604));
}

TEST_F(PlacementWindowTest, MinimisedWindowSavesNormalAndStaysMinimised) {
    const auto window = ShownWindow({2100, 150, 804, 604});
    SetState(*window, Qt::WindowMinimized);

    ListSaveFormPlacement(m_settings, QStringLiteral("MainForm"), window.get());

    EXPECT_EQ(Stored(), QStringLiteral("HEIGHT=604; LEFT=180; MONITOR=1; STATE=Normal; TOP=150; WIDTH=804"));
    Settle();
    EXPECT_TRUE(window->isMinimized());
}

TEST_F(PlacementWindowTest, RestoreLeavesMinimisedOrMaximisedState) {
    for (const Qt::WindowState state : {Qt::WindowMinimized, Qt::WindowMaximized}) {
        const auto window = ShownWindow({100, 80, 704, 504});
        SetState(*window, state);
        Store("HEIGHT=604; LEFT=20; MONITOR=1; STATE=Normal; TOP=30; WIDTH=804");

        ListRestoreFormPlacement(m_settings, QStringLiteral("MainForm"), window.get(), false);
        Settle();

        EXPECT_EQ(window->windowState() & ~Qt::WindowActive, Qt::WindowNoState) << state;
        EXPECT_EQ(window->frameGeometry(), QRect(1940, 30, 804, 604)) << state;
    }
}

TEST_F(PlacementWindowTest, KeepSize) {
    const struct {
        bool keepSize;
        QRect expected;
    } cases[] = {
        {true, QRect(1930, 20, 704, 504)},
        {false, QRect(1930, 20, 904, 604)},
    };
    for (const auto& c : cases) {
        const auto window = ShownWindow({100, 80, 704, 504});
        Store("HEIGHT=604; LEFT=10; MONITOR=1; STATE=Maximized; TOP=20; WIDTH=904");

        ListRestoreFormPlacement(m_settings, QStringLiteral("MainForm"), window.get(), c.keepSize);
        Settle();

        EXPECT_TRUE(window->isMaximized()) << "keepSize " << c.keepSize;
        EXPECT_EQ(NormalOuterBounds(*window), c.expected) << "keepSize " << c.keepSize;
    }
}

TEST_F(PlacementWindowTest, SizeLimitedByWorkAreaAndMinimum) {
    const struct {
        const char* stored;
        QRect expected;
    } cases[] = {
        // The offscreen monitors' work areas are their full bounds.
        {"HEIGHT=5000; LEFT=0; MONITOR=0; STATE=Normal; TOP=0; WIDTH=5000", QRect(0, 0, 1920, 1080)},
        // The minimum is 650 x 350 inside the frame.
        {"HEIGHT=100; LEFT=0; MONITOR=0; STATE=Normal; TOP=0; WIDTH=300", QRect(0, 0, 654, 354)},
        {"HEIGHT=-604; LEFT=-50; MONITOR=1; STATE=Normal; TOP=-9; WIDTH=-804", QRect(1920, 0, 654, 354)},
    };
    for (const auto& c : cases) {
        const auto window = ShownWindow({100, 80, 704, 504});
        Store(c.stored);

        ListRestoreFormPlacement(m_settings, QStringLiteral("MainForm"), window.get(), false);
        Settle();

        EXPECT_EQ(window->frameGeometry(), c.expected) << c.stored;
    }
}

TEST_F(PlacementWindowTest, MissingOrEmptyValueLeavesTheWindowAlone) {
    for (const char* line : {"OTHER=1", "MAINFORM=", "MAINFORM=   "}) {
        const auto window = ShownWindow({2100, 150, 804, 604});
        SetState(*window, Qt::WindowMaximized);
        m_settings.Clear();
        m_settings.Add(QString::fromUtf8(line));

        ListRestoreFormPlacement(m_settings, QStringLiteral("MainForm"), window.get(), false);
        Settle();

        EXPECT_TRUE(window->isMaximized()) << line;
        EXPECT_EQ(window->frameGeometry(), kMonitor1) << line;
        EXPECT_EQ(NormalOuterBounds(*window), QRect(2100, 150, 804, 604)) << line;
    }
}

// Whatever the stored text, the window ends on a monitor and at least at its minimum size.
TEST_F(PlacementWindowTest, AwkwardStoredValuesGiveAUsableWindow) {
    const char* values[] = {
        "HEIGHT=abc; LEFT=x; MONITOR=zz; STATE=??; TOP=; WIDTH=-5",
        "HEIGHT=1E400; LEFT=1E400; MONITOR=1E400; STATE=Normal; TOP=-1E400; WIDTH=99999999999",
        "HEIGHT=-2147483648; LEFT=-2147483648; MONITOR=-2147483648; STATE=MAX; TOP=2147483647; WIDTH=2147483647",
        "HEIGHT=0; LEFT=0; MONITOR=3; STATE=; TOP=0; WIDTH=0",
        "garbage without any key",
        "WIDTH=1; HEIGHT=2; MONITOR=2; TOP=99999; LEFT=-99999",
    };
    for (const char* value : values) {
        const auto window = ShownWindow({100, 80, 704, 504});
        Store(value);

        ListRestoreFormPlacement(m_settings, QStringLiteral("MainForm"), window.get(), false);
        Settle();

        const QRect outer = window->frameGeometry();
        bool onMonitor = false;
        for (const QScreen* screen : QGuiApplication::screens())
            onMonitor = onMonitor || screen->geometry().contains(outer);
        EXPECT_TRUE(onMonitor) << value;
        EXPECT_GE(window->width(), 650) << value;
        EXPECT_GE(window->height(), 350) << value;
    }
}

TEST_F(PlacementWindowTest, NullWindowIsIgnored) {
    Store("HEIGHT=604; LEFT=10; MONITOR=2; STATE=Normal; TOP=20; WIDTH=904");
    const QString before = m_settings.Text();

    ListRestoreFormPlacement(m_settings, QStringLiteral("MainForm"), nullptr, false);
    ListSaveFormPlacement(m_settings, QStringLiteral("MainForm"), nullptr);

    EXPECT_EQ(m_settings.Text(), before);
}

TEST_F(PlacementWindowTest, ConfigSaveMarksTheStoreChangedAndRestoreDoesNot) {
    const auto window = ShownWindow({2100, 150, 804, 604});
    ListSetValue(ConfigList(), QStringLiteral("MainForm"),
                 QStringLiteral("HEIGHT=504; LEFT=10; MONITOR=0; STATE=Normal; TOP=20; WIDTH=704"));
    ASSERT_FALSE(ConfigDirty());

    ConfigRestoreFormPlacement(QStringLiteral("MainForm"), window.get(), false);
    Settle();
    EXPECT_EQ(window->frameGeometry(), QRect(10, 20, 704, 504));
    EXPECT_FALSE(ConfigDirty());

    window->move(2000, 100);
    Settle();
    ConfigSaveFormPlacement(QStringLiteral("MainForm"), window.get());
    EXPECT_TRUE(ConfigDirty());
    EXPECT_EQ(ConfigGetValue(QStringLiteral("MainForm"), QString()),
              QStringLiteral("HEIGHT=504; LEFT=80; MONITOR=1; STATE=Normal; TOP=100; WIDTH=704"));
}

} // namespace
