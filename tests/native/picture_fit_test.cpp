#include <gtest/gtest.h>

#include "media/picture_fit.h"

TEST(PictureFit, SizesInA260Box) {
    struct Case {
        int width, height;
        int fittedWidth, fittedHeight;
    };
    const Case cases[] = {
        {520, 260, 260, 130},  {100, 50, 260, 130},  // reduced and enlarged alike
        {300, 700, 111, 260},  {348, 464, 194, 260},  // 195 exactly, less the rounding of 260 / 464
        {464, 348, 260, 194},  {1, 1, 260, 260},     {5000, 5000, 260, 260}, {4105, 4105, 260, 260},
        {10, 4105, 1, 260},    // 4105 * (260.0 / 4105) is just below 260: the box side is given as it is
        {1, 1000, 1, 260},     // 0.26 pixels wide: kept at 1
        {2000, 1, 260, 1},     {0, 5, 1, 1},
    };
    for (const Case& c : cases) {
        FittedSize s = fitPictureSize(c.width, c.height, 260, 260);
        EXPECT_EQ(s.width, c.fittedWidth) << c.width << "x" << c.height;
        EXPECT_EQ(s.height, c.fittedHeight) << c.width << "x" << c.height;
    }
    FittedSize wide = fitPictureSize(100, 100, 300, 150);
    EXPECT_EQ(wide.width, 150);
    EXPECT_EQ(wide.height, 150);
}
