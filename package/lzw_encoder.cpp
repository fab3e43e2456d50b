// The greedy encoder of the program's LZW variant (format in lzw_decoder.h).
//
// It writes the code of the longest known string, then adds that string
// followed by the next input byte at the next free code, exactly as the
// decoder numbers its entries. Before a code that does not fit the width in
// force it writes 257 (in the old width); before an entry would be made past
// 4095 it writes 258 and starts again from code 259 with 9 bits; the stream
// ends with 256. No string it writes is longer than 4095 bytes, so that no
// entry the decoder makes is longer than 4096.
#include "package/lzw_encoder.h"

#include <cstdlib>
#include <cstring>

#include "package/lzw_decoder.h"

namespace {

enum {
    kLongestWritten = kLzwMaxString - 1,
    kHashSlots = 8192,  // a power of two, twice the entries a dictionary can hold
};

// Codes packed most significant bit first.
struct BitWriter {
    std::vector<unsigned char>* bytes;
    uint32_t pending;  // the last count bits, not yet a whole byte
    int count;
};

void putBits(BitWriter* writer, uint32_t code, int width) {
    writer->pending = (writer->pending << width) | code;
    writer->count += width;
    while (writer->count >= 8) {
        writer->count -= 8;
        writer->bytes->push_back(static_cast<unsigned char>(writer->pending >> writer->count));
    }
    writer->pending &= (1u << writer->count) - 1;
}

// The last byte is filled with zero bits.
void flushBits(BitWriter* writer) {
    if (writer->count > 0) {
        writer->bytes->push_back(static_cast<unsigned char>(writer->pending << (8 - writer->count)));
    }
    writer->pending = 0;
    writer->count = 0;
}

// The dictionary as a hash table from (prefix code, next byte) to the code of
// that string, with the length and reset generation of every code.
struct Encoder {
    uint32_t slotKey[kHashSlots];  // prefix * 256 + byte + 1; 0 for a free slot
    uint16_t slotCode[kHashSlots];
    uint16_t length[kLzwMaxCode + 1];
    uint32_t generation[kLzwMaxCode + 1];
    uint32_t resets;
    uint32_t nextFree;
    int width;
    BitWriter writer;
};

uint32_t slotOf(uint32_t key) { return (key * 2654435761u) >> 19 & (kHashSlots - 1); }

int findCode(const Encoder* e, uint32_t prefix, unsigned char byte) {
    uint32_t key = prefix * 256 + byte + 1;
    for (uint32_t slot = slotOf(key);; slot = (slot + 1) & (kHashSlots - 1)) {
        if (e->slotKey[slot] == 0) return -1;
        if (e->slotKey[slot] == key) return e->slotCode[slot];
    }
}

void insertCode(Encoder* e, uint32_t prefix, unsigned char byte, uint32_t code) {
    uint32_t key = prefix * 256 + byte + 1;
    uint32_t slot = slotOf(key);
    while (e->slotKey[slot] != 0) slot = (slot + 1) & (kHashSlots - 1);
    e->slotKey[slot] = key;
    e->slotCode[slot] = static_cast<uint16_t>(code);
}

void putCode(Encoder* e, uint32_t code) {
    while (code >> e->width != 0) {
        putBits(&e->writer, kLzwWidenCode, e->width);
        ++e->width;
    }
    putBits(&e->writer, code, e->width);
}

void reset(Encoder* e) {
    putBits(&e->writer, kLzwResetCode, e->width);
    e->width = kLzwFirstWidth;
    e->nextFree = kLzwFirstEntry;
    ++e->resets;
    std::memset(e->slotKey, 0, sizeof e->slotKey);
}

uint32_t lengthOf(const Encoder* e, uint32_t code) { return code < 256 ? 1 : e->length[code]; }

// The entry the decoder makes on reading the code after prefix. The first
// entry after a reset may extend a string of the old dictionary; it gets its
// number but cannot be found, since its prefix's code now means another
// string. Strings of the longest length allowed are not extended further.
void addEntry(Encoder* e, uint32_t prefix, unsigned char byte) {
    if (e->nextFree > kLzwMaxCode) reset(e);
    uint32_t code = e->nextFree++;
    uint32_t length = lengthOf(e, prefix) + 1;
    e->length[code] = static_cast<uint16_t>(length);
    e->generation[code] = e->resets;
    bool prefixCurrent = prefix < 256 || e->generation[prefix] == e->resets;
    if (prefixCurrent && length <= kLongestWritten) insertCode(e, prefix, byte, code);
}

// The code of the longest known string at *position, which moves past it.
uint32_t longestMatch(const Encoder* e, const unsigned char* input, uint32_t length, uint32_t* position) {
    uint32_t code = input[(*position)++];
    while (*position < length) {
        int longer = findCode(e, code, input[*position]);
        if (longer < 0) break;
        code = static_cast<uint32_t>(longer);
        ++*position;
    }
    return code;
}

}  // namespace

static bool encode(const unsigned char* input, uint32_t length, bool guarded, std::vector<unsigned char>* output) {
    output->clear();
    if (!input || length == 0 || length > kLzwMaxOutput) return false;
    Encoder* e = static_cast<Encoder*>(std::calloc(1, sizeof(Encoder)));
    if (!e) return false;
    e->writer.bytes = output;
    e->width = kLzwFirstWidth;
    e->nextFree = kLzwFirstEntry;

    uint32_t position = 0;
    uint32_t code = longestMatch(e, input, length, &position);
    putCode(e, code);
    if (guarded) {
        putBits(&e->writer, kLzwWidenCode, kLzwFirstWidth);
        putBits(&e->writer, kLzwWidenCode, kLzwFirstWidth + 1);
        putBits(&e->writer, kLzwResetCode, kLzwFirstWidth + 2);
    }
    while (position < length) {
        addEntry(e, code, input[position]);
        code = longestMatch(e, input, length, &position);
        putCode(e, code);
    }
    putBits(&e->writer, kLzwStopCode, e->width);
    flushBits(&e->writer);
    std::free(e);

    if (output->size() > kLzwMaxInput) {
        output->clear();
        return false;
    }
    return true;
}

bool lzwEncode(const unsigned char* input, uint32_t length, std::vector<unsigned char>* output) {
    return encode(input, length, false, output);
}

bool lzwEncodeForScrambling(const unsigned char* input, uint32_t length, std::vector<unsigned char>* output) {
    return encode(input, length, true, output);
}
