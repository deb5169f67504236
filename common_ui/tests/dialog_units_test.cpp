#include "common_ui/dialog_units.h"

#include <gtest/gtest.h>

#include <QApplication>

namespace {

TEST(DialogUnitsTest, ScalesByFontAndKeepsNeighboursFlush) {
    QFont font = QApplication::font();
    font.setPixelSize(13);
    const common_ui::DialogUnits units(font);
    ASSERT_GT(units.averageCharWidth(), 0);
    ASSERT_GT(units.charHeight(), 0);

    EXPECT_EQ(units.ToPixelsX(4), units.averageCharWidth());
    EXPECT_EQ(units.ToPixelsY(8), units.charHeight());

    // Two controls side by side in units stay side by side in pixels, whatever rounds.
    for (int x = 0; x < 40; ++x) {
        const QRect left = units.ToPixels({x, x, 7, 3});
        const QRect right = units.ToPixels({x + 7, x + 3, 5, 5});
        EXPECT_EQ(left.right() + 1, right.left()) << x;
        EXPECT_EQ(left.bottom() + 1, right.top()) << x;
    }

    QFont bigger = font;
    bigger.setPixelSize(26);
    EXPECT_GT(common_ui::DialogUnits(bigger).ToPixelsX(100), units.ToPixelsX(100));
}

}  // namespace
