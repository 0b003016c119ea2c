#include "multivideo/VideoGrid.h"

#include <gtest/gtest.h>

TEST(VideoGrid, OneVideoTakesTheWholePanel)
{
    EXPECT_EQ(VideoGridRects(QSize(800, 450), {QSize(320, 240)}), QList<QRect>{QRect(0, 0, 800, 450)});
    EXPECT_TRUE(VideoGridRects(QSize(800, 450), {}).isEmpty());
}

TEST(VideoGrid, TwoStandSideBySideKeepingTheirRatios)
{
    const QList<QRect> rects = VideoGridRects(QSize(1000, 400), {QSize(1920, 1080), QSize(320, 240)});
    // Cells of 500 x 400; 16:9 fills the width, 4:3 too, both centred.
    EXPECT_EQ(rects, (QList<QRect>{QRect(0, 59, 500, 281), QRect(500, 12, 500, 375)}));
}

TEST(VideoGrid, ThreeAndFourFillATwoByTwoGridWithoutOverlap)
{
    const QSize panel(801, 601);
    for (int count : {3, 4}) {
        QList<QSize> pictures(count, QSize(400, 300));
        pictures[1] = QSize(); // unknown: fills its cell
        const QList<QRect> rects = VideoGridRects(panel, pictures);
        ASSERT_EQ(rects.size(), count);
        EXPECT_EQ(rects[1], QRect(400, 0, 401, 300));
        EXPECT_EQ(rects[2].topLeft(), QPoint(0, 300)) << count;
        for (int i = 0; i < count; ++i) {
            EXPECT_TRUE(QRect(QPoint(0, 0), panel).contains(rects[i])) << i;
            if (i != 1)
                EXPECT_NEAR(double(rects[i].width()) / rects[i].height(), 4.0 / 3.0, 0.01) << i;
            for (int j = i + 1; j < count; ++j)
                EXPECT_FALSE(rects[i].intersects(rects[j])) << i << " " << j;
        }
    }
}
