#include "tools/kerbo_pack/player_png.h"

#include <cstdio>

#include "media/png_decoder.h"
#include "package/resource_store.h"

bool decodePngLikePlayer(const std::vector<unsigned char>& file, bool convert, PlayerPng* out, std::string* why) {
    MemoryResourceStore store;
    if (!store.add(KERBO_TYPE_RCDATA, 1, file.data(), static_cast<uint32_t>(file.size()))) {
        *why = "out of memory";
        return false;
    }
    PngResourceDecoder decoder;
    init(decoder);
    if (!openResource(decoder, &store, 1) || !decode(decoder)) {
        char text[96];
        std::snprintf(text, sizeof text, "the player cannot decode this PNG (%s, 0x%04X)", pngErrorName(decoder.error),
                      static_cast<unsigned>(decoder.error));
        *why = text;
        release(decoder);
        return false;
    }
    out->width = decoder.width;
    out->height = decoder.height;
    out->colourType = decoder.colourType;
    pngBitmapInfo(decoder, out->info);
    bool converted = true;
    if (convert) {
        out->bits.assign(pngBitmapBitsSize(out->info), 0);
        converted = pngConvert(decoder, out->bits.data(), static_cast<uint32_t>(out->bits.size()));
    }
    const PngError error = decoder.error;
    release(decoder);
    if (!converted) {
        *why = std::string("the player cannot show this PNG (") +
               (error == PngError::NoError ? "a row has an unknown filter type" : pngErrorName(error)) + ")";
    }
    return converted;
}
