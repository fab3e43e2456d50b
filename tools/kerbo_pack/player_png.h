// A PNG file decoded and converted by the player's own decoder
// (media/png_decoder.h, media/png_convert.h), as the player would when it
// shows the picture.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "media/png_convert.h"

struct PlayerPng {
    uint32_t width;
    uint32_t height;
    uint8_t colourType;
    PngBitmapInfo info;
    std::vector<unsigned char> bits;  // the bitmap's bits, when converted
};

// Decodes file and, with convert, turns it into the bitmap's bits. On
// failure *why says what the player refuses ("the player cannot decode this
// PNG (NotPng, 0x2000)").
bool decodePngLikePlayer(const std::vector<unsigned char>& file, bool convert, PlayerPng* out, std::string* why);
