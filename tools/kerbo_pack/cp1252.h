// Conversion between UTF-8 (what the authoring tool reads and prints) and the
// Windows ANSI code page 1252 (what the player's texts are made of).
//
// Code page 1252 is Latin-1 except for 0x80-0x9F, which hold the euro sign,
// typographic quotes, dashes, the ellipsis, Š š Ž ž Œ œ Ÿ and a few more.
// Five bytes of that range (0x81, 0x8D, 0x8F, 0x90, 0x9D) are undefined: no
// Unicode character converts to them, and they convert to U+FFFD.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// Code point of a code page 1252 byte; kCp1252Undefined for the five
// undefined bytes.
constexpr uint32_t kCp1252Undefined = 0xFFFD;
uint32_t cp1252ToCodePoint(unsigned char byte);

// The code page 1252 byte of a Unicode code point, or -1 when the character
// has none.
int codePointToCp1252(uint32_t codePoint);

// Decodes one UTF-8 sequence at text[0 .. length). On success stores the code
// point and the number of bytes it took (1-4) and returns true. Returns false
// for a malformed sequence: a stray continuation byte, a truncated sequence,
// an overlong form, a surrogate (U+D800-U+DFFF) or a value above U+10FFFF.
bool decodeUtf8(const char* text, size_t length, uint32_t* codePoint, size_t* used);

// Converts UTF-8 text to code page 1252 into *out (replaced, not appended).
// Returns false when the text is not valid UTF-8 or holds a character that
// code page 1252 cannot represent; *badOffset (when not null) then receives
// the byte offset of the offending sequence and *out holds the part converted
// before it.
bool utf8ToCp1252(const char* utf8, size_t length, std::string* out, size_t* badOffset);
bool utf8ToCp1252(const char* utf8, std::string* out, size_t* badOffset);  // zero-terminated

// Converts code page 1252 text to UTF-8; the undefined bytes become U+FFFD.
std::string cp1252ToUtf8(const char* cp1252, size_t length);
std::string cp1252ToUtf8(const char* cp1252);  // zero-terminated

// Appends the UTF-8 form of a code point (at most U+10FFFF) to *out.
void appendUtf8(uint32_t codePoint, std::string* out);
