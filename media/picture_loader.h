// Pictures from the executable's resources as bitmaps fitted into a box.
#pragma once

#include <cstdint>

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

// The steps of loadPicture, open to the tests.

// A picture file held in memory, decoded by OLE into a bitmap of its own size;
// null, silently, for data it cannot read.
HBITMAP decodePicture(const unsigned char* bytes, uint32_t length);

// The PNG in RT_RCDATA resource id, fitted into the box; null without a
// message when there is no such PNG, with one when it cannot be decoded.
HBITMAP loadPngPicture(int id, int boxWidth, int boxHeight);

// A new bitmap holding the picture scaled to fit the box (picture_fit.h); the
// bitmap given is deleted. Null gives null.
HBITMAP fitBitmap(HBITMAP bitmap, int boxWidth, int boxHeight);
