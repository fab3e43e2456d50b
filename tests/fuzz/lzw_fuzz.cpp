// The LZW decoder on arbitrary input, and both directions of the round trip:
// whatever decodes must encode and decode to the same bytes, and the input
// itself, taken as plain data, must come back from the encoder and decoder.
#include <cstdint>
#include <cstring>
#include <vector>

#include "package/lzw_decoder.h"
#include "package/lzw_encoder.h"

static void requireRoundTrip(const unsigned char* plain, uint32_t length) {
    std::vector<unsigned char> encoded;
    if (!lzwEncode(plain, length, &encoded)) return;  // longer than the decoder accepts
    unsigned char* decoded = nullptr;
    uint32_t decodedLength = 0;
    int result = lzwDecode(encoded.data(), static_cast<uint32_t>(encoded.size()), &decoded, &decodedLength);
    if (result != LzwOk || decodedLength != length || std::memcmp(decoded, plain, length) != 0) __builtin_trap();
    lzwFree(decoded);
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > kLzwMaxInput + 1) return 0;
    unsigned char* output = nullptr;
    uint32_t length = 0;
    int result = lzwDecode(data, static_cast<uint32_t>(size), &output, &length);
    if (result != LzwOk && result != LzwNoInput && result != LzwCorrupt) __builtin_trap();
    if (length > kLzwMaxOutput || (result == LzwOk && length == 0)) __builtin_trap();
    if (result == LzwOk) requireRoundTrip(output, length);
    lzwFree(output);
    if (size > 0) requireRoundTrip(data, static_cast<uint32_t>(size));
    return 0;
}
