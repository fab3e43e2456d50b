#include "tools/kerbo_pack/icon_file.h"

#include <cstring>

namespace {

uint16_t read16(const unsigned char* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }
uint32_t read32(const unsigned char* p) {
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 | static_cast<uint32_t>(p[2]) << 16 |
           static_cast<uint32_t>(p[3]) << 24;
}
void put16(std::vector<unsigned char>* out, unsigned value) {
    out->push_back(static_cast<unsigned char>(value));
    out->push_back(static_cast<unsigned char>(value >> 8));
}

bool fail(std::string* reason, const std::string& text) {
    *reason = text;
    return false;
}

const unsigned char kPngSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};

// A DIB's header against its directory entry.
bool checkDib(const IconImage& image, int index, std::string* reason) {
    const std::string which = "image " + std::to_string(index + 1);
    if (image.size < 40) return fail(reason, which + " is too short for a bitmap header");
    uint32_t headerSize = read32(image.bytes);
    if (headerSize != 40 && headerSize != 108 && headerSize != 124)
        return fail(reason, which + " is neither a PNG nor a bitmap (header size " + std::to_string(headerSize) + ")");
    int32_t width = static_cast<int32_t>(read32(image.bytes + 4));
    int32_t height = static_cast<int32_t>(read32(image.bytes + 8));
    int entryWidth = image.entry[0] ? image.entry[0] : 256;
    int entryHeight = image.entry[1] ? image.entry[1] : 256;
    if (width != entryWidth || height != 2 * entryHeight) {
        return fail(reason, which + " is " + std::to_string(width) + " x " + std::to_string(height / 2) +
                         " pixels but its directory entry says " + std::to_string(entryWidth) + " x " +
                         std::to_string(entryHeight));
    }
    return true;
}

}  // namespace

bool parseIconFile(const unsigned char* bytes, uint32_t size, std::vector<IconImage>* images, std::string* reason) {
    images->clear();
    if (size < 6 || read16(bytes) != 0 || read16(bytes + 2) != 1) return fail(reason, "not an icon file (.ico)");
    uint32_t count = read16(bytes + 4);
    if (count == 0) return fail(reason, "the icon file holds no image");
    if (count > kIconMaxImages)
        return fail(reason, "the icon file holds " + std::to_string(count) + " images; at most 64 are taken");
    if (size < 6 + 16 * count) return fail(reason, "the icon file's directory runs past its end");
    for (uint32_t i = 0; i < count; ++i) {
        const unsigned char* entry = bytes + 6 + 16 * i;
        uint32_t length = read32(entry + 8), offset = read32(entry + 12);
        if (length == 0 || offset > size || length > size - offset)
            return fail(reason, "image " + std::to_string(i + 1) + " lies outside the icon file");
        IconImage image;
        image.bytes = bytes + offset;
        image.size = length;
        std::memcpy(image.entry, entry, sizeof image.entry);
        bool png = length >= 8 && std::memcmp(image.bytes, kPngSignature, 8) == 0;
        if (!png) {
            if (!checkDib(image, static_cast<int>(i), reason)) return false;
            // Some writers leave planes and bits a pixel at 0; Windows picks
            // an image by the group entry, so take them from the bitmap.
            if (read16(entry + 6) == 0) {
                image.entry[4] = 1, image.entry[5] = 0;
                image.entry[6] = image.bytes[14], image.entry[7] = image.bytes[15];
            }
        }
        images->push_back(image);
    }
    return true;
}

std::vector<unsigned char> iconGroupData(const std::vector<IconImage>& images, int firstId) {
    std::vector<unsigned char> out;
    put16(&out, 0);
    put16(&out, 1);
    put16(&out, static_cast<unsigned>(images.size()));
    for (size_t i = 0; i < images.size(); ++i) {
        out.insert(out.end(), images[i].entry, images[i].entry + sizeof images[i].entry);
        put16(&out, static_cast<unsigned>(firstId + static_cast<int>(i)));
    }
    return out;
}
