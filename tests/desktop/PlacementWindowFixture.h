// Shared set-up of the window placement tests: the store lists (placement works in
// ScratchList), a keyed list standing for the settings, and windows with a 650 x 350 client
// minimum like the main window's. The offscreen platform draws a 2-pixel frame around a shown
// window and applies state changes asynchronously, so tests settle the event queue before
// they look at a window. It also nudges a shown window that is moved left of or above the
// desktop origin by the frame width, so windows are moved to negative coordinates only before
// they are shown; the arithmetic for such monitors is tested on plain rectangles.
#pragma once

#include "tools/ConfigStore.h"
#include "tools/KeyedList.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QRect>
#include <QWidget>
#include <memory>
#include <ostream>

inline void PrintTo(const QRect& r, std::ostream* os) {
    *os << "QRect(" << r.x() << "," << r.y() << " " << r.width() << "x" << r.height() << ")";
}

inline void PrintTo(const QString& s, std::ostream* os) {
    *os << '"' << s.toStdString() << '"';
}

constexpr int kFrame = 2; // the offscreen platform's frame on every side

class PlacementWindowTest : public testing::Test {
protected:
    void SetUp() override { CreateStoreLists(); }
    void TearDown() override { DestroyStoreLists(); }

    // A shown window whose frame covers `outer`.
    static std::unique_ptr<QWidget> ShownWindow(const QRect& outer) {
        auto window = std::make_unique<QWidget>();
        window->setMinimumSize(650, 350);
        window->resize(outer.width() - 2 * kFrame, outer.height() - 2 * kFrame);
        window->move(outer.topLeft());
        window->show();
        Settle();
        return window;
    }

    static void Settle() {
        for (int i = 0; i < 3; ++i)
            QCoreApplication::processEvents();
    }

    static void SetState(QWidget& window, Qt::WindowStates state) {
        window.setWindowState(state);
        Settle();
    }

    static QRect NormalOuterBounds(const QWidget& window) {
        return window.normalGeometry().adjusted(-kFrame, -kFrame, kFrame, kFrame);
    }

    QString Stored() const { return ListGetValue(m_settings, QStringLiteral("MainForm"), QStringLiteral("<none>")); }
    void Store(const char* value) { ListSetValue(m_settings, QStringLiteral("MainForm"), QString::fromUtf8(value)); }

    TStringList m_settings;
};
