// The window's pictures come from renderings made at build time: every icon-only button shows its
// picture drawn for its own size, at normal and at doubled pixel density (a missing rendering
// would leave a button blank, or blurred where Qt scales a normal one up).
#include "gui/Images.h"
#include "gui/ResultPanel.h"
#include "gui/SaltRow.h"

#include <gtest/gtest.h>

#include <QIcon>
#include <QImage>
#include <QPixmap>
#include <QToolButton>
#include <QWidget>

#include <functional>
#include <string>

namespace {

// Pixels that are not fully transparent: a rendering shows something.
int VisiblePixels(const QPixmap& pixmap) {
    const QImage image = pixmap.toImage().convertToFormat(QImage::Format_ARGB32);
    int visible = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            visible += qAlpha(image.pixel(x, y)) != 0;
    return visible;
}

// The icon as the button draws it, at each density, comes from a rendering of that density.
void ExpectRenderedAtBothDensities(const QToolButton* button, const std::string& which) {
    const QSize size = button->iconSize();
    for (int scale : {1, 2}) {
        const QPixmap pixmap = button->icon().pixmap(size, scale);
        EXPECT_EQ(pixmap.size(), size * scale) << which << " at density " << scale;
        EXPECT_GT(VisiblePixels(pixmap), 0) << which << " at density " << scale;
    }
}

struct TButtonCase {
    const char* Name;
    std::function<QToolButton*(QWidget&)> Make;
};

} // namespace

TEST(ImagesTest, EveryButtonPictureIsRenderedForItsSizeAtBothDensities) {
    const TButtonCase cases[] = {
        {"# button", [](QWidget& window) { return (new TResultPanel(&window))->btnRefresh; }},
        {"stop button",
         [](QWidget& window) {
             auto* panel = new TResultPanel(&window);
             panel->ShowBusy(true);
             return panel->btnRefresh;
         }},
        {"salt delete button", [](QWidget& window) { return (new TSaltRow(&window))->btnSaltDel; }},
        {"salt clear button", [](QWidget& window) { return (new TSaltRow(&window))->btnSaltClear; }},
    };
    for (const TButtonCase& c : cases) {
        QWidget window;
        const QToolButton* button = c.Make(window);
        ASSERT_FALSE(button->icon().isNull()) << c.Name;
        ExpectRenderedAtBothDensities(button, c.Name);
    }
}

TEST(ImagesTest, PictureNotRenderedAtTheSizeGivesNoPixmaps) {
    EXPECT_TRUE(PictureIcon(QStringLiteral("hash-tag"), QSize(17, 17)).isNull());
    EXPECT_TRUE(PictureIcon(QStringLiteral("hash-tag"), QSize(32, 16)).isNull());
    EXPECT_TRUE(PictureIcon(QStringLiteral("no-such-picture"), QSize(32, 32)).isNull());
}

TEST(ImagesTest, ApplicationIconSpansTheSizesDesktopsAsk) {
    const QIcon icon = ApplicationIcon();
    for (int side : {16, 32, 48, 256}) {
        const QPixmap pixmap = icon.pixmap(QSize(side, side), 1.0);
        EXPECT_EQ(pixmap.size(), QSize(side, side)) << side;
        EXPECT_GT(VisiblePixels(pixmap), 0) << side;
    }
}
