#include "app/WindowFit.h"

#include <gtest/gtest.h>

TEST(FitIntoArea, ShrinksAndMovesTheWindowIntoTheArea)
{
    // A screen of 1280 x 720 logical pixels below a 40 px panel, as a
    // 2560 x 1440 screen at twice the scale gives.
    const QRect area(0, 40, 1280, 680);
    const struct {
        QRect Window;
        QRect Fitted;
    } cases[] = {
        {{100, 100, 800, 500}, {100, 100, 800, 500}},   // inside: left alone
        {{-50, 100, 800, 500}, {0, 100, 800, 500}},     // off the left edge
        {{900, 600, 800, 500}, {480, 220, 800, 500}},   // off the right and bottom edges
        {{0, 0, 800, 500}, {0, 40, 800, 500}},          // under the panel
        {{-200, -200, 1600, 1000}, {0, 40, 1280, 680}}, // larger than the screen
        {{300, 100, 1600, 300}, {0, 100, 1280, 300}},   // wider only
    };
    for (const auto& c : cases) {
        const QRect fitted = FitIntoArea(c.Window, area);
        EXPECT_EQ(fitted, c.Fitted) << c.Window.x() << "," << c.Window.y() << " " << c.Window.width() << "x"
                                    << c.Window.height();
        EXPECT_TRUE(area.contains(fitted));
    }
}
