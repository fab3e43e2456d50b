// The program's own LZW variant, which the quiz package and the link block are
// stored in.
//
// Codes are packed most significant bit first. 0-255 are literal bytes, 256
// stops, 257 widens every following code by one bit (the width never grows by
// itself), 258 resets the dictionary to 259 and 9 bits but keeps the current
// string, and 259-4095 are dictionary strings in the order they were made.
#pragma once

#include <cstddef>
#include <cstdint>

enum LzwResult {
    LzwOk = 0,
    LzwOutOfMemory = -4,  // a working block could not be allocated
    LzwNoInput = -5,      // the input is empty or ends inside the first code
    LzwCorrupt = -7,      // no stop code, a code past the next free one, a width past 32
                          // bits, or a stream outside the format (an entry beyond 4095,
                          // a string beyond 4096 bytes, output beyond 120000 bytes,
                          // input beyond 32768 bytes)
};

enum {
    kLzwStopCode = 256,
    kLzwWidenCode = 257,
    kLzwResetCode = 258,
    kLzwFirstEntry = 259,  // the first dictionary string, at the start and after a reset
    kLzwFirstWidth = 9,    // bits per code, at the start and after a reset
    kLzwMaxWidth = 32,
    kLzwMaxCode = 4095,
    kLzwMaxString = 4096,
    kLzwMaxInput = 32768,
    kLzwMaxOutput = 120000,
};

// Decodes inputLength bytes. The output buffer (kLzwMaxOutput bytes, from
// malloc) goes to the caller with every result but an early LzwOutOfMemory,
// holding the bytes decoded so far; release it with lzwFree. When the output
// buffer itself cannot be had, the message "Impossible d'allouer la memoire"
// (caption "information") is shown first.
int lzwDecode(const unsigned char* input, uint32_t inputLength, unsigned char** output,
              uint32_t* outputLength);

void lzwFree(unsigned char* output);

// The allocator of the decoder's blocks, for tests that make memory run out:
// it must hand out blocks that free() releases. Null restores malloc.
typedef void* (*LzwAllocator)(size_t size);
void lzwSetAllocator(LzwAllocator allocator);
