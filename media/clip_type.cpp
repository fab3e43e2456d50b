#include "media/clip_type.h"

#include <cstdio>

namespace {

enum { kAnyByte = -1, kNoFurtherTest = -1 };

// One row of the type table: the first byte, optionally one further byte at
// a given offset, and the extension. The first row that matches decides.
struct ClipTypeRule {
    int firstByte;
    int testOffset;  // kNoFurtherTest: the first byte alone decides
    int testByte;
    const char* extension;
};

// A RIFF file ('R') is told apart by the first letter of its form type at
// offset 8 (AVI or WAVE); an ID3-tagged MP3 starts with 'I'; an ASF file
// with the first byte 0x30 of its header GUID; an MPEG stream with a zero
// byte (some start with a RIFF-like form letter at offset 8: AVI too); an
// untagged MP3 is recognised only by the frame start FF F3, and FF 00 is
// taken for MPEG.
const ClipTypeRule kClipTypes[] = {
    {'I', kNoFurtherTest, kAnyByte, "MP3"},
    {'R', 8, 'A', "AVI"},
    {'R', 8, 'W', "WAV"},
    {'0', kNoFurtherTest, kAnyByte, "WMV"},
    {0x00, 8, 'A', "AVI"},
    {0x00, 8, 'W', "AVI"},
    {0x00, kNoFurtherTest, kAnyByte, "MPG"},
    {0xFF, 1, 0xF3, "MP3"},
    {0xFF, 1, 0x00, "MPG"},
};

const char kUnknownType[] = "XXX";

// The byte at offset, or -1 (matching nothing) beyond the clip.
int byteAt(const unsigned char* bytes, uint32_t size, int offset) {
    return static_cast<uint32_t>(offset) < size ? bytes[offset] : -1;
}

bool ruleMatches(const ClipTypeRule& rule, const unsigned char* bytes, uint32_t size) {
    if (byteAt(bytes, size, 0) != rule.firstByte) return false;
    return rule.testOffset == kNoFurtherTest || byteAt(bytes, size, rule.testOffset) == rule.testByte;
}

}  // namespace

const char* sniffClipType(const unsigned char* bytes, uint32_t size) {
    for (const ClipTypeRule& rule : kClipTypes) {
        if (ruleMatches(rule, bytes, size)) return rule.extension;
    }
    return kUnknownType;
}

bool clipFileName(char* buffer, int capacity, const char* directory, int resourceId,
                  const char* extension) {
    if (capacity <= 0) return false;
    int length = std::snprintf(buffer, static_cast<size_t>(capacity), "%skerbo%d.%s", directory,
                               resourceId, extension);
    if (length < 0 || length >= capacity) {
        buffer[0] = '\0';
        return false;
    }
    return true;
}
