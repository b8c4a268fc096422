// Edge anchoring: where a control goes when its container grows or shrinks.
#include "gui/Anchors.h"

#include "tests/gui/QtPrinters.h"

#include <gtest/gtest.h>

#include <QWidget>

namespace {

constexpr QSize Design{634, 321};

struct ArrangeCase {
    const char* name;
    TAnchors anchors;
    QSize size;
    QRect expected;
};

// The control is designed at (100, 50) with size 200 x 40.
const ArrangeCase ArrangeCases[] = {
    {"left top stays", TAnchor::Left | TAnchor::Top, {834, 421}, {100, 50, 200, 40}},
    {"left right stretches", TAnchor::Left | TAnchor::Top | TAnchor::Right, {834, 421}, {100, 50, 400, 40}},
    {"right only moves", TAnchor::Right | TAnchor::Top, {834, 421}, {300, 50, 200, 40}},
    {"bottom only moves", TAnchor::Left | TAnchor::Bottom, {834, 421}, {100, 150, 200, 40}},
    {"all edges stretch both ways",
     TAnchor::Left | TAnchor::Top | TAnchor::Right | TAnchor::Bottom,
     {834, 421},
     {100, 50, 400, 140}},
    {"right bottom moves both ways", TAnchor::Right | TAnchor::Bottom, {834, 421}, {300, 150, 200, 40}},
    {"shrinking moves back", TAnchor::Right | TAnchor::Bottom, {534, 301}, {0, 30, 200, 40}},
    {"stretch never goes negative", TAnchor::Left | TAnchor::Right | TAnchor::Top, {334, 321}, {100, 50, 0, 40}},
    {"no horizontal anchor keeps the centre's fraction", TAnchor::Top, {1268, 321}, {300, 50, 200, 40}},
    {"design size changes nothing", TAnchor::Right | TAnchor::Bottom, Design, {100, 50, 200, 40}},
};

TEST(AnchorsTest, ArrangeFollowsTheAnchoredEdges) {
    for (const ArrangeCase& c : ArrangeCases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(TAnchorLayout::Arrange({100, 50, 200, 40}, c.anchors, Design, c.size), c.expected);
    }
}

TEST(AnchorsTest, ResizingTheContainerMovesPlacedControls) {
    QWidget container;
    container.resize(Design);
    auto* layout = new TAnchorLayout(&container, Design);
    auto* stretched = new QWidget(&container);
    auto* moved = new QWidget(&container);
    layout->Place(stretched, {8, 64, 618, 49}, TAnchor::Left | TAnchor::Top | TAnchor::Right | TAnchor::Bottom);
    layout->Place(moved, {583, 271, 43, 41}, TAnchor::Right | TAnchor::Bottom);
    // A hidden widget gets its resize events only when shown.
    container.show();

    container.resize(Design + QSize(100, 30));
    EXPECT_EQ(stretched->geometry(), QRect(8, 64, 718, 79));
    EXPECT_EQ(moved->geometry(), QRect(683, 301, 43, 41));

    container.resize(Design);
    EXPECT_EQ(moved->geometry(), QRect(583, 271, 43, 41));
}

TEST(AnchorsTest, PlaceUsesTheContainersCurrentSize) {
    QWidget container;
    container.resize(Design + QSize(50, 0));
    auto* layout = new TAnchorLayout(&container, Design);
    auto* control = new QWidget(&container);
    layout->Place(control, {583, 271, 43, 41}, TAnchor::Right | TAnchor::Bottom);
    EXPECT_EQ(control->geometry(), QRect(633, 271, 43, 41));
}

} // namespace
