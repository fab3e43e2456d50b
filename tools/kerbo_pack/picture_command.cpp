// kerbo-pack picture: what the player makes of a PNG picture, so that an
// author can check it before packing it.
//
//   kerbo-pack picture FILE.png -o OUT.bmp [--fit W H]
//
// The PNG is decoded by the player's own decoder and conversion, and the
// bitmap the player would show, before fitting, is written as a BMP file: the
// same pixel format and colour table (1, 4, 8, 24 or 32 bits; transparency
// not applied, 16-bit samples reduced to their high byte). --fit prints the
// size the player would scale it to in a W x H box (the player's boxes are
// 260 x 260); the BMP itself stays at the picture's own size. Without -o only
// the sizes are printed. Exit 0 on success, 1 when the file cannot be read,
// decoded or written, 2 on a usage error.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "media/picture_fit.h"
#include "media/png_convert.h"
#include "tools/kerbo_pack/commands.h"
#include "tools/kerbo_pack/player_png.h"
#include "tools/kerbo_pack/tool_files.h"

namespace {

int usage() {
    std::fprintf(stderr, "usage: kerbo-pack picture FILE.png -o OUT.bmp [--fit W H]\n");
    return 2;
}

bool parseSide(const char* text, int* side) {
    char* end = nullptr;
    long value = std::strtol(text, &end, 10);
    if (!*text || *end || value < 1 || value > 100000) return false;
    *side = static_cast<int>(value);
    return true;
}

void putLittleEndian(std::vector<unsigned char>& out, uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out.push_back(static_cast<unsigned char>(value >> (8 * i)));
}

// A BMP file: the 14-byte file header, the bitmap's 40-byte header, its colour
// table (biClrUsed entries, or all 2^bits of a palette bitmap) and its rows,
// top to bottom as the negative height says.
std::vector<unsigned char> bmpFile(const PngBitmapInfo& info, const std::vector<unsigned char>& bits) {
    const PngDibHeader& h = info.header;
    uint32_t colours = h.biClrUsed ? h.biClrUsed : (h.biBitCount <= 8 ? 1u << h.biBitCount : 0);
    uint32_t offset = 14 + 40 + 4 * colours;
    std::vector<unsigned char> out;
    out.push_back('B');
    out.push_back('M');
    putLittleEndian(out, offset + static_cast<uint32_t>(bits.size()), 4);
    putLittleEndian(out, 0, 4);
    putLittleEndian(out, offset, 4);
    putLittleEndian(out, h.biSize, 4);
    putLittleEndian(out, static_cast<uint32_t>(h.biWidth), 4);
    putLittleEndian(out, static_cast<uint32_t>(h.biHeight), 4);
    putLittleEndian(out, h.biPlanes, 2);
    putLittleEndian(out, h.biBitCount, 2);
    putLittleEndian(out, h.biCompression, 4);
    putLittleEndian(out, static_cast<uint32_t>(bits.size()), 4);
    putLittleEndian(out, static_cast<uint32_t>(h.biXPelsPerMeter), 4);
    putLittleEndian(out, static_cast<uint32_t>(h.biYPelsPerMeter), 4);
    putLittleEndian(out, h.biClrUsed, 4);
    putLittleEndian(out, h.biClrImportant, 4);
    for (uint32_t i = 0; i < colours; ++i) {
        const PngColour& c = info.colours[i];
        out.insert(out.end(), {c.blue, c.green, c.red, c.reserved});
    }
    out.insert(out.end(), bits.begin(), bits.end());
    return out;
}

}  // namespace

int runPictureCommand(int argc, char** argv) {
    const char* input = nullptr;
    const char* output = nullptr;
    bool fit = false;
    int boxWidth = 0, boxHeight = 0;
    for (int i = 0; i < argc; ++i) {
        if (std::strcmp(argv[i], "-o") == 0 && i + 1 < argc) {
            output = argv[++i];
        } else if (std::strcmp(argv[i], "--fit") == 0 && i + 2 < argc) {
            if (!parseSide(argv[i + 1], &boxWidth) || !parseSide(argv[i + 2], &boxHeight)) return usage();
            fit = true;
            i += 2;
        } else if (argv[i][0] != '-' && !input) {
            input = argv[i];
        } else {
            return usage();
        }
    }
    if (!input || (!output && !fit)) return usage();

    std::vector<unsigned char> file;
    std::string error;
    if (!readWholeFile(input, &file, &error)) {
        std::fprintf(stderr, "kerbo-pack: %s: %s\n", input, error.c_str());
        return 1;
    }
    PlayerPng png;
    if (!decodePngLikePlayer(file, output != nullptr, &png, &error)) {
        std::fprintf(stderr, "kerbo-pack: %s: %s\n", input, error.c_str());
        return 1;
    }
    const PngBitmapInfo& info = png.info;
    const uint32_t width = png.width, height = png.height;

    std::printf("%s: %u x %u, %u bits per pixel\n", input, width, height, info.header.biBitCount);
    if (fit) {
        FittedSize size = fitPictureSize(static_cast<int>(width), static_cast<int>(height), boxWidth, boxHeight);
        std::printf("fitted into %d x %d: %d x %d\n", boxWidth, boxHeight, size.width, size.height);
    }
    if (output && !writeFileReplacing(output, bmpFile(info, png.bits), false, &error)) {
        std::fprintf(stderr, "kerbo-pack: %s: %s\n", output, error.c_str());
        return 1;
    }
    return 0;
}
