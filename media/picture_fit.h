// The size a picture is given to fit a box, keeping its proportions.
#pragma once

struct FittedSize {
    int width;
    int height;
};

// The picture grows or shrinks until one side meets the box: the scale factor
// is the smaller of boxWidth / width and boxHeight / height (floating point).
// The side that limits it gets the box's size; the other is scaled and
// truncated toward zero. So 348 x 464 in 260 x 260 gives 194 x 260: the exact
// width, 195, loses a pixel to the rounding of 260 / 464. A side that would
// come out below 1 pixel (a picture more than 260 times longer than wide) is
// given 1; an empty picture or box gives 1 x 1.
FittedSize fitPictureSize(int width, int height, int boxWidth, int boxHeight);
