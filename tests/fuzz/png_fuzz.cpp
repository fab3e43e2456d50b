// The PNG decoder and the bitmap conversion on any bytes: every input must be
// refused or decoded without a read or write outside the buffers. Every size
// the header check accepts is worked out and allocated for (up to 2 GiB);
// blocks above 64 MiB fail through the allocation filter, so that the size
// arithmetic runs on huge pictures while the fuzzer's memory stays small.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "media/png_convert.h"
#include "media/png_decoder.h"
#include "package/resource_store.h"

namespace {

const uint64_t kFuzzLargestBlock = 64u << 20;

bool smallEnough(uint64_t size) { return size <= kFuzzLargestBlock; }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > (1u << 24)) return 0;
    pngSetAllocationFilter(smallEnough);
    MemoryResourceStore store;
    store.add(KERBO_TYPE_RCDATA, 1, data, static_cast<uint32_t>(size));
    PngResourceDecoder decoder;
    init(decoder);
    if (!openResource(decoder, &store, 1)) return 0;
    PngBitmapInfo info;
    pngBitmapInfo(decoder, info);
    if (decode(decoder)) {
        // Exactly the size the conversion asks for, so that ASan sees any
        // write past it; the bitmap comes through the same filter.
        uint32_t bitsSize = pngBitmapBitsSize(info);
        unsigned char* bits = static_cast<unsigned char*>(pngAllocate(bitsSize));
        if (bits) {
            pngConvert(decoder, bits, bitsSize);
            pngConvert(decoder, bits, bitsSize);  // decoded state kept
            pngFree(bits);
        }
    }
    release(decoder);
    return 0;
}
