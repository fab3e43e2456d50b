#include "tools/kerbo_pack/quiz_media.h"

#include <cstring>

PictureFormat pictureFormat(const unsigned char* bytes, uint32_t size) {
    static const unsigned char png[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    if (size >= 3 && bytes[0] == 0xFF && bytes[1] == 0xD8 && bytes[2] == 0xFF) return PictureJpeg;
    if (size >= 6 && (std::memcmp(bytes, "GIF87a", 6) == 0 || std::memcmp(bytes, "GIF89a", 6) == 0))
        return PictureGif;
    if (size >= 8 && std::memcmp(bytes, png, 8) == 0) return PicturePng;
    return PictureUnknown;
}

const char* pictureFormatName(PictureFormat format) {
    switch (format) {
        case PictureJpeg: return "jpeg";
        case PictureGif: return "gif";
        case PicturePng: return "png";
        case PictureUnknown: break;
    }
    return "unknown";
}

ResourceBytes findPicture(const ResourceStore& store, int id, bool* rcdata) {
    ResourceBytes r = store.find(KERBO_TYPE_IMG, id);
    *rcdata = !r.bytes || r.size == 0;
    if (*rcdata) r = store.find(KERBO_TYPE_RCDATA, id);
    if (r.size == 0) r.bytes = nullptr;
    return r;
}
