// The decoder of the program's LZW variant (codes in lzw_decoder.h).
//
// Every dictionary entry holds its whole string. A new entry is always the
// current string followed by one byte, so entries are written one after the
// other into one arena that only grows during a call: an entry is its offset
// and length there, and an entry stays readable after a reset hands its code
// to a new string. Each step that makes an entry also outputs the current
// string, which is at least one byte long, so the arena never holds more than
// the 256 literals, twice the output limit, and the one entry made just before
// the output runs out.
//
// All reads of the input go through nextByte and all writes through
// appendOutput and makeEntry; these check every bound.
#include "package/lzw_decoder.h"

#include <cstdlib>
#include <cstring>

#include "package/message_box.h"

namespace {

enum {
    kLiteralCount = 256,
    kArenaSize = kLiteralCount + 2 * kLzwMaxOutput + kLzwMaxString + 1,
};

struct Entry {
    uint32_t offset;  // into the arena
    uint32_t length;  // 1 to kLzwMaxString
};

struct LzwState {
    // Input and bit reader: the bits of the last byte read that no code has
    // taken yet, as a number, and their count (0 to 7).
    const unsigned char* input;
    uint32_t inputLength;
    uint32_t inputPosition;
    uint32_t pendingBits;
    int pendingCount;

    // Dictionary: entries 0-255 are the literals, 259 up to nextFree - 1 the
    // strings made since the start or the last reset.
    Entry entries[kLzwMaxCode + 1];
    uint32_t nextFree;
    int width;
    Entry current;  // the string of the last code read
    unsigned char arena[kArenaSize];
    uint32_t arenaLength;

    unsigned char* output;
    uint32_t outputLength;
};

LzwAllocator allocateBlock = nullptr;

void* allocate(size_t size) { return allocateBlock ? allocateBlock(size) : std::malloc(size); }

// Takes the next input byte; false once every byte has been used.
bool nextByte(LzwState* s, uint32_t* byte) {
    if (s->inputPosition >= s->inputLength) return false;
    *byte = s->input[s->inputPosition++];
    return true;
}

// Reads one code of the state's width, most significant bit first: the
// pending bits, then whole bytes while 8 or more bits are needed, then the
// top bits of one more byte, whose other bits stay pending. endResult is
// returned when the input runs out.
int readCode(LzwState* s, int endResult, uint32_t* code) {
    uint64_t value = s->pendingBits;
    int needed = s->width - s->pendingCount;
    uint32_t byte = 0;
    while (needed >= 8) {
        if (!nextByte(s, &byte)) return endResult;
        value = value << 8 | byte;
        needed -= 8;
    }
    s->pendingBits = 0;
    s->pendingCount = 0;
    if (needed > 0) {
        if (!nextByte(s, &byte)) return endResult;
        value = value << needed | byte >> (8 - needed);
        s->pendingCount = 8 - needed;
        s->pendingBits = byte & ((1u << s->pendingCount) - 1);
    }
    *code = static_cast<uint32_t>(value);
    return LzwOk;
}

// Appends a string of the arena to the output.
int appendOutput(LzwState* s, Entry string) {
    if (string.length > kLzwMaxOutput - s->outputLength) return LzwCorrupt;
    std::memcpy(s->output + s->outputLength, s->arena + string.offset, string.length);
    s->outputLength += string.length;
    return LzwOk;
}

// Makes the next free entry: the current string followed by lastByte.
int makeEntry(LzwState* s, unsigned char lastByte) {
    if (s->nextFree > kLzwMaxCode) return LzwCorrupt;
    uint32_t length = s->current.length + 1;
    if (length > kLzwMaxString || length > kArenaSize - s->arenaLength) return LzwCorrupt;
    unsigned char* entry = s->arena + s->arenaLength;
    std::memcpy(entry, s->arena + s->current.offset, s->current.length);
    entry[s->current.length] = lastByte;
    s->entries[s->nextFree] = Entry{s->arenaLength, length};
    s->arenaLength += length;
    ++s->nextFree;
    return LzwOk;
}

// A string code c: enter the current string followed by the first byte of
// c's string (of the current string itself when c is the entry being made),
// output the current string, and make c's string the current one.
int takeString(LzwState* s, uint32_t c) {
    if (c > s->nextFree) return LzwCorrupt;
    Entry first = c == s->nextFree ? s->current : s->entries[c];
    int result = makeEntry(s, s->arena[first.offset]);
    if (result == LzwOk) result = appendOutput(s, s->current);
    if (result == LzwOk) s->current = s->entries[c];
    return result;
}

void setUp(LzwState* s, const unsigned char* input, uint32_t inputLength, unsigned char* output) {
    s->input = input;
    s->inputLength = input ? inputLength : 0;
    s->inputPosition = 0;
    s->pendingBits = 0;
    s->pendingCount = 0;
    for (uint32_t i = 0; i < kLiteralCount; ++i) {
        s->arena[i] = static_cast<unsigned char>(i);
        s->entries[i] = Entry{i, 1};
    }
    s->arenaLength = kLiteralCount;
    s->nextFree = kLzwFirstEntry;
    s->width = kLzwFirstWidth;
    s->output = output;
    s->outputLength = 0;
}

// The first code, whatever its value, gives the current string its one byte;
// then codes are read until the stop code or an error.
int decodeCodes(LzwState* s) {
    if (s->inputLength > kLzwMaxInput) return LzwCorrupt;
    uint32_t c = 0;
    int result = readCode(s, LzwNoInput, &c);
    if (result != LzwOk) return result;
    s->current = s->entries[c & 0xFF];
    for (;;) {
        if (s->width > kLzwMaxWidth) return LzwCorrupt;
        result = readCode(s, LzwCorrupt, &c);
        if (result != LzwOk) return result;
        if (c == kLzwStopCode) return appendOutput(s, s->current);
        if (c == kLzwResetCode) {
            s->nextFree = kLzwFirstEntry;
            s->width = kLzwFirstWidth;
        } else if (c == kLzwWidenCode) {
            ++s->width;
        } else {
            result = takeString(s, c);
            if (result != LzwOk) return result;
        }
    }
}

}  // namespace

void lzwSetAllocator(LzwAllocator allocator) { allocateBlock = allocator; }

int lzwDecode(const unsigned char* input, uint32_t inputLength, unsigned char** output,
              uint32_t* outputLength) {
    unsigned char* out = static_cast<unsigned char*>(allocate(kLzwMaxOutput));
    if (!out) {
        showMessage("Impossible d'allouer la memoire", "information", MessageIconNone);
        return LzwOutOfMemory;
    }
    LzwState* s = static_cast<LzwState*>(allocate(sizeof(LzwState)));
    int result = LzwOutOfMemory;
    uint32_t written = 0;
    if (s) {
        setUp(s, input, inputLength, out);
        result = decodeCodes(s);
        written = s->outputLength;
        std::free(s);
    }
    *output = out;
    *outputLength = written;
    return result;
}

void lzwFree(unsigned char* output) { std::free(output); }
