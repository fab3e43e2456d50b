// The PNG decoder and the bitmap conversion on any bytes: every input must be
// refused or decoded without a read or write outside the buffers. Pictures
// whose scanlines or bitmap would pass 64 MiB are skipped after the header
// check (the decoder itself accepts up to 4 GiB).
#include <cstddef>
#include <cstdint>
#include <vector>

#include "media/png_convert.h"
#include "media/png_decoder.h"
#include "package/resource_store.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > (1u << 24)) return 0;
    MemoryResourceStore store;
    store.add(KERBO_TYPE_RCDATA, 1, data, static_cast<uint32_t>(size));
    PngResourceDecoder decoder;
    init(decoder);
    if (!openResource(decoder, &store, 1)) return 0;
    PngBitmapInfo info;
    pngBitmapInfo(decoder, info);
    uint32_t scanlines = 0;
    const uint32_t limit = 64u << 20;
    if (!inflatedSize(decoder, scanlines) || scanlines > limit || pngBitmapBitsSize(info) > limit) {
        release(decoder);
        return 0;
    }
    if (decode(decoder)) {
        // Exactly the size the conversion asks for, so that ASan sees any
        // write past it.
        std::vector<unsigned char> bits(pngBitmapBitsSize(info));
        pngConvert(decoder, bits.data(), static_cast<uint32_t>(bits.size()));
        pngConvert(decoder, bits.data(), static_cast<uint32_t>(bits.size()));  // decoded state kept
    }
    release(decoder);
    return 0;
}
