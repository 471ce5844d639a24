// Keeping a window's frame on the available area of a screen.

#include "platform/Geometry.h"

#include <gtest/gtest.h>

namespace {

struct PlacementCase {
    const char* what;
    QRect frame;
    QPoint expected;
};

// The area of a 1920 x 1080 screen at scale 2, below a 20-pixel panel.
const QRect Area(0, 20, 960, 520);

const PlacementCase placementCases[] = {
    {"inside stays", QRect(100, 50, 300, 200), QPoint(100, 50)},
    {"touching every edge stays", QRect(0, 20, 960, 520), QPoint(0, 20)},
    {"over the left edge comes in", QRect(-10, 50, 300, 200), QPoint(0, 50)},
    {"over the top edge comes down", QRect(100, 0, 300, 200), QPoint(100, 20)},
    {"over the right edge comes in", QRect(700, 50, 300, 200), QPoint(660, 50)},
    {"over the bottom edge comes up", QRect(100, 400, 300, 200), QPoint(100, 340)},
    {"over two edges comes in at the corner", QRect(800, 500, 300, 200), QPoint(660, 340)},
    // The results window at scale 2, centred: too large both ways.
    {"too wide and too tall: top left on the area", QRect(-5, -34, 971, 650), QPoint(0, 20)},
    {"too wide only: left edge on the area, height moved in", QRect(-5, 400, 971, 100), QPoint(0, 400)},
    {"too tall only: top on the area, width moved in", QRect(800, -34, 300, 650), QPoint(660, 20)},
    {"too wide, right of the area: left edge on it", QRect(500, 50, 1000, 100), QPoint(0, 50)},
};

TEST(KeepOnScreen, MovesInWhereItFitsAndKeepsTheTopLeftOnTheAreaWhereNot) {
    for (const PlacementCase& c : placementCases)
        EXPECT_EQ(platform::keepOnScreen(c.frame, Area), c.expected) << c.what;
}

TEST(KeepOnScreen, NoAreaLeavesTheWindowWhereItIs) {
    EXPECT_EQ(platform::keepOnScreen(QRect(-50, -60, 300, 200), QRect()), QPoint(-50, -60));
}

} // namespace
