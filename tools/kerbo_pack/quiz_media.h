// The pictures and clips of a quiz as resources: their ids, how a picture's
// format is recognised, and how solved-state pictures are stored.
//
// Question n's picture or clip is "IMG" 400 + n; its solved-state picture is
// "IMG" 10400 + n (10401 + q for question q + 1), stored nibble-swapped like
// every "IMG" above 10000. A PNG picture goes into RT_RCDATA under the same id
// instead, stored as it is: the player's PNG path does not unswap.
#pragma once

#include <cstdint>
#include <vector>

enum {
    kQuestionMediaBase = 400,
    kSolvedPictureBase = 10400,
    kLastPlainPictureId = 10000,  // "IMG" resources above this are nibble-swapped
};

enum PictureFormat { PictureUnknown = 0, PictureJpeg, PictureGif, PicturePng };

// From the file's signature: FF D8 FF, "GIF87a"/"GIF89a", or the PNG signature.
PictureFormat pictureFormat(const unsigned char* bytes, uint32_t size);
const char* pictureFormatName(PictureFormat format);  // "jpeg", "gif", "png", "unknown"

// Exchanges the high and low four bits of every byte; its own inverse.
void swapNibbles(std::vector<unsigned char>* bytes);
