// Pictures from the executable's resources as bitmaps fitted into a box.
#pragma once

#include "package/platform_types.h"

// A picture of resource type "IMG" (JPEG or GIF; ids above 10000 are stored
// nibble-swapped), or a PNG in RT_RCDATA under the same id when there is no
// "IMG" resource, fitted into boxWidth x boxHeight. Null when there is none.
// The bitmap belongs to the caller.
HBITMAP loadPicture(int id, int boxWidth, int boxHeight);

// Height and width of a bitmap; for null, height 0 and width 260.
struct PictureSize {
    int height;
    int width;
};
PictureSize pictureSize(HBITMAP bitmap);
