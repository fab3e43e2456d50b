#include "tools/kerbo_pack/cp1252.h"

#include <cstring>

namespace {

// Code points of the bytes 0x80-0x9F; every other byte is its own code point.
constexpr uint32_t kHighControls[32] = {
    0x20AC, kCp1252Undefined, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,  // 80-87
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, kCp1252Undefined, 0x017D, kCp1252Undefined,  // 88-8F
    kCp1252Undefined, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 90-97
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, kCp1252Undefined, 0x017E, 0x0178,  // 98-9F
};

bool isContinuation(unsigned char byte) { return (byte & 0xC0) == 0x80; }

}  // namespace

uint32_t cp1252ToCodePoint(unsigned char byte) {
    if (byte >= 0x80 && byte <= 0x9F) return kHighControls[byte - 0x80];
    return byte;
}

int codePointToCp1252(uint32_t codePoint) {
    if (codePoint < 0x80 || (codePoint >= 0xA0 && codePoint <= 0xFF)) return static_cast<int>(codePoint);
    if (codePoint == kCp1252Undefined) return -1;
    for (int i = 0; i < 32; ++i) {
        if (kHighControls[i] == codePoint) return 0x80 + i;
    }
    return -1;  // C1 controls U+0080-U+009F included: 1252 has other characters there
}

bool decodeUtf8(const char* text, size_t length, uint32_t* codePoint, size_t* used) {
    if (length == 0) return false;
    const unsigned char lead = static_cast<unsigned char>(text[0]);
    size_t count;
    uint32_t value;
    uint32_t smallest;  // below this the form is overlong
    if (lead < 0x80) {
        *codePoint = lead;
        *used = 1;
        return true;
    } else if ((lead & 0xE0) == 0xC0) {
        count = 2, value = lead & 0x1F, smallest = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
        count = 3, value = lead & 0x0F, smallest = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
        count = 4, value = lead & 0x07, smallest = 0x10000;
    } else {
        return false;  // continuation byte or 0xF8-0xFF
    }
    if (count > length) return false;
    for (size_t k = 1; k < count; ++k) {
        const unsigned char byte = static_cast<unsigned char>(text[k]);
        if (!isContinuation(byte)) return false;
        value = (value << 6) | (byte & 0x3F);
    }
    if (value < smallest || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) return false;
    *codePoint = value;
    *used = count;
    return true;
}

bool utf8ToCp1252(const char* utf8, size_t length, std::string* out, size_t* badOffset) {
    out->clear();
    out->reserve(length);
    size_t at = 0;
    while (at < length) {
        uint32_t codePoint = 0;
        size_t used = 0;
        const int byte = decodeUtf8(utf8 + at, length - at, &codePoint, &used) ? codePointToCp1252(codePoint) : -1;
        if (byte < 0) {
            if (badOffset) *badOffset = at;
            return false;
        }
        out->push_back(static_cast<char>(byte));
        at += used;
    }
    return true;
}

bool utf8ToCp1252(const char* utf8, std::string* out, size_t* badOffset) {
    return utf8ToCp1252(utf8, std::strlen(utf8), out, badOffset);
}

void appendUtf8(uint32_t codePoint, std::string* out) {
    if (codePoint < 0x80) {
        out->push_back(static_cast<char>(codePoint));
    } else if (codePoint < 0x800) {
        out->push_back(static_cast<char>(0xC0 | (codePoint >> 6)));
        out->push_back(static_cast<char>(0x80 | (codePoint & 0x3F)));
    } else if (codePoint < 0x10000) {
        out->push_back(static_cast<char>(0xE0 | (codePoint >> 12)));
        out->push_back(static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F)));
        out->push_back(static_cast<char>(0x80 | (codePoint & 0x3F)));
    } else {
        out->push_back(static_cast<char>(0xF0 | (codePoint >> 18)));
        out->push_back(static_cast<char>(0x80 | ((codePoint >> 12) & 0x3F)));
        out->push_back(static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F)));
        out->push_back(static_cast<char>(0x80 | (codePoint & 0x3F)));
    }
}

std::string cp1252ToUtf8(const char* cp1252, size_t length) {
    std::string out;
    out.reserve(length);
    for (size_t i = 0; i < length; ++i) appendUtf8(cp1252ToCodePoint(static_cast<unsigned char>(cp1252[i])), &out);
    return out;
}

std::string cp1252ToUtf8(const char* cp1252) { return cp1252ToUtf8(cp1252, std::strlen(cp1252)); }
