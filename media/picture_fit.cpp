#include "media/picture_fit.h"

// side * scale truncated toward zero, at least 1.
static int scaledSide(int side, double scale) {
    double scaled = side * scale;
    if (!(scaled >= 1.0)) return 1;
    if (scaled >= 2147483647.0) return 2147483647;
    return static_cast<int>(scaled);
}

FittedSize fitPictureSize(int width, int height, int boxWidth, int boxHeight) {
    if (width <= 0 || height <= 0 || boxWidth <= 0 || boxHeight <= 0) return FittedSize{1, 1};
    double rx = static_cast<double>(boxWidth) / width;
    double ry = static_cast<double>(boxHeight) / height;
    // The limiting side is given the box's size itself: width * (box / width)
    // can round to just below box (4105 * (260.0 / 4105) does).
    if (ry > rx) return FittedSize{boxWidth, scaledSide(height, rx)};
    if (rx > ry) return FittedSize{scaledSide(width, ry), boxHeight};
    return FittedSize{boxWidth, boxHeight};
}
