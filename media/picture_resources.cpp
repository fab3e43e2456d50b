#include "media/picture_resources.h"

void swapNibbles(const unsigned char* from, unsigned char* to, uint32_t size) {
    for (uint32_t i = 0; i < size; ++i) to[i] = static_cast<unsigned char>((from[i] << 4) | (from[i] >> 4));
}
