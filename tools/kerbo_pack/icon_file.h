// An icon file (.ico) and the two kinds of resource Windows keeps it as: one
// RT_ICON (type 3) per image and one RT_GROUP_ICON (type 14) that lists them.
//
// A .ico file is a 6-byte header (reserved 0, type 1, image count), then one
// 16-byte entry per image (width, height, colour count, reserved, planes, bits
// a pixel, byte count, file offset of the image), then the images: each a
// BITMAPINFOHEADER-based DIB (colour mask, then AND mask, height doubled) or
// a PNG file. The group resource has the same 6-byte header, then 14-byte
// entries whose last field is the id of the image's RT_ICON resource instead
// of an offset. A width or height of 0 means 256.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct IconImage {
    const unsigned char* bytes;  // inside the file's buffer
    uint32_t size;
    unsigned char entry[12];     // the directory entry without its offset
};

// Reads the directory of an icon file and checks every image: inside the
// file, and either a PNG or a DIB whose header size, width and doubled height
// agree with its entry. On failure *reason says what is wrong.
bool parseIconFile(const unsigned char* bytes, uint32_t size, std::vector<IconImage>* images, std::string* reason);

// The RT_GROUP_ICON data for images stored as RT_ICON firstId, firstId + 1, ...
std::vector<unsigned char> iconGroupData(const std::vector<IconImage>& images, int firstId);

enum { kIconMaxImages = 64 };
