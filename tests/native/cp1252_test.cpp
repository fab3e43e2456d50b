#include <gtest/gtest.h>

#include <string>

#include "tools/kerbo_pack/cp1252.h"

namespace {

bool isUndefined(int byte) {
    return byte == 0x81 || byte == 0x8D || byte == 0x8F || byte == 0x90 || byte == 0x9D;
}

}  // namespace

// Every defined byte goes to UTF-8 and back unchanged; the five undefined
// bytes come out as U+FFFD, which does not convert back.
TEST(Cp1252, EveryByteRoundTrips) {
    for (int byte = 1; byte < 256; ++byte) {
        const char one[2] = {static_cast<char>(byte), 0};
        const std::string utf8 = cp1252ToUtf8(one);
        std::string back;
        size_t bad = 99;
        if (isUndefined(byte)) {
            EXPECT_EQ(utf8, "\xEF\xBF\xBD") << byte;
            EXPECT_FALSE(utf8ToCp1252(utf8.c_str(), &back, &bad)) << byte;
            EXPECT_EQ(bad, 0u);
        } else {
            EXPECT_TRUE(utf8ToCp1252(utf8.c_str(), &back, &bad)) << byte;
            EXPECT_EQ(back, std::string(one)) << byte;
        }
    }
}

// The 0x80-0x9F range is where 1252 differs from Latin-1.
TEST(Cp1252, KnownCharacters) {
    struct Case {
        const char* utf8;
        const char* cp1252;
    };
    const Case cases[] = {
        {"y a de l'id\xC3\xA9" "e", "y a de l'id\xE9" "e"},
        {"\xC3\x89lan \xC3\xBF", "\xC9lan \xFF"},                      // É, ÿ
        {"\xE2\x82\xAC", "\x80"},                                      // €
        {"\xE2\x80\x9Aguillemets\xE2\x80\x9E", "\x82guillemets\x84"},  // ‚ „
        {"\xE2\x80\x99\xE2\x80\x93\xE2\x80\x94\xE2\x80\xA6", "\x92\x96\x97\x85"},  // ’ – — …
        {"\xC5\x92\xC5\x93\xC5\xA0\xC5\xA1\xC5\xBD\xC5\xBE\xC5\xB8", "\x8C\x9C\x8A\x9A\x8E\x9E\x9F"},
        {"\xC6\x92\xCB\x86\xCB\x9C\xE2\x84\xA2", "\x83\x88\x98\x99"},  // ƒ ˆ ˜ ™
        {"\xC2\xA0\xC2\xAB\xC2\xBB", "\xA0\xAB\xBB"},                  // nbsp « »
    };
    for (const Case& c : cases) {
        std::string out;
        EXPECT_TRUE(utf8ToCp1252(c.utf8, &out, nullptr)) << c.utf8;
        EXPECT_EQ(out, c.cp1252) << c.utf8;
        EXPECT_EQ(cp1252ToUtf8(c.cp1252), c.utf8);
    }
}

// Characters outside 1252 and malformed UTF-8 are refused at their offset;
// what came before is kept.
TEST(Cp1252, RefusedInput) {
    struct Case {
        const char* utf8;
        size_t offset;
        const char* why;
    };
    const Case cases[] = {
        {"Paris \xE4\xB8\xAD", 6, "CJK character"},
        {"ab\xF0\x9F\x98\x80", 2, "emoji, four bytes"},
        {"x\xC2\x81", 1, "C1 control U+0081 is not the byte 0x81"},
        {"x\xC2\x80", 1, "C1 control U+0080 is not the euro sign"},
        {"\xEF\xBF\xBD", 0, "U+FFFD"},
        {"ok\x80", 2, "stray continuation byte"},
        {"ok\xE9t\xE9", 2, "code page 1252 text passed as UTF-8"},
        {"ok\xE2\x82", 2, "truncated sequence"},
        {"\xC0\xA9", 0, "overlong form"},
        {"\xE0\x80\xA9", 0, "overlong three-byte form"},
        {"\xED\xA0\x80", 0, "surrogate"},
        {"\xF4\x90\x80\x80", 0, "above U+10FFFF"},
        {"\xFF", 0, "invalid lead byte"},
    };
    for (const Case& c : cases) {
        std::string out = "junk";
        size_t bad = 999;
        EXPECT_FALSE(utf8ToCp1252(c.utf8, &out, &bad)) << c.why;
        EXPECT_EQ(bad, c.offset) << c.why;
        EXPECT_EQ(out, std::string(c.utf8, c.offset)) << c.why;
    }
}

TEST(Cp1252, LengthFormKeepsZeroBytesAndStopsAtLength) {
    std::string out;
    EXPECT_TRUE(utf8ToCp1252("a\0\xC3\xA9", 4, &out, nullptr));
    EXPECT_EQ(out, std::string("a\0\xE9", 3));
    EXPECT_FALSE(utf8ToCp1252("\xC3\xA9", 1, &out, nullptr));  // sequence cut by the length
    EXPECT_EQ(cp1252ToUtf8("\xE9xyz", 1), "\xC3\xA9");
    EXPECT_TRUE(utf8ToCp1252("", &out, nullptr));
    EXPECT_EQ(out, "");
}
