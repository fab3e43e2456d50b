// The authoring side of the LZW variant (see lzw_decoder.h): a greedy encoder
// that widens with 257 before a code that does not fit, resets with 258 before
// the next free code would pass 4095, and ends with 256.
#pragma once

#include <cstdint>
#include <vector>

// Encodes 1 to kLzwMaxOutput bytes. Returns false (and leaves output empty)
// for an empty or too long input, or when the encoded stream would be longer
// than the kLzwMaxInput bytes the decoder accepts.
bool lzwEncode(const unsigned char* input, uint32_t length, std::vector<unsigned char>* output);

// The same stream, for data that will be scrambled: right after the first
// code it writes widen (9 bits), widen (10 bits) and reset (11 bits), which
// decode to nothing and cost 30 bits. The loader reads a resource as stored
// first; scrambled, these codes read as 12 and then 483 while the next free
// code is 260, so the scrambled bytes can never pass for plain data
// (package_format.h's key fixes the bits they are combined with).
bool lzwEncodeForScrambling(const unsigned char* input, uint32_t length, std::vector<unsigned char>* output);
