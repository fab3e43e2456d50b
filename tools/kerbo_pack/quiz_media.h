// How the authoring tool recognises a picture's format. The resource ids and
// the nibble swap of solved-state pictures are the player's
// (media/picture_resources.h); a PNG goes into RT_RCDATA as it is, since the
// player's PNG path does not unswap.
#pragma once

#include <cstdint>

#include "media/picture_resources.h"
#include "package/resource_store.h"

enum PictureFormat { PictureUnknown = 0, PictureJpeg, PictureGif, PicturePng };

// From the file's signature: FF D8 FF, "GIF87a"/"GIF89a", or the PNG signature.
PictureFormat pictureFormat(const unsigned char* bytes, uint32_t size);
const char* pictureFormatName(PictureFormat format);  // "jpeg", "gif", "png", "unknown"

// The picture with a resource id as the player finds it: "IMG" (bytes as
// stored, nibble-swapped above 10000), else RT_RCDATA (*rcdata set). Bytes
// null when there is neither, or only empty ones.
ResourceBytes findPicture(const ResourceStore& store, int id, bool* rcdata);
