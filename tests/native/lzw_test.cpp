// The LZW decoder on hand-packed code streams, and round trips through the
// encoder.
#include <gtest/gtest.h>

#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "package/link_block.h"
#include "package/package_format.h"
#include "package/lzw_decoder.h"
#include "package/lzw_encoder.h"
#include "package/message_box.h"

namespace {

struct Code {
    uint32_t value;
    int width;
};

// Packs codes most significant bit first, the last byte filled with zeros.
std::vector<unsigned char> pack(const std::vector<Code>& codes) {
    std::vector<unsigned char> bytes;
    uint64_t pending = 0;
    int count = 0;
    for (const Code& code : codes) {
        pending = pending << code.width | code.value;
        count += code.width;
        while (count >= 8) {
            count -= 8;
            bytes.push_back(static_cast<unsigned char>(pending >> count));
        }
        pending &= (uint64_t{1} << count) - 1;
    }
    if (count > 0) bytes.push_back(static_cast<unsigned char>(pending << (8 - count)));
    return bytes;
}

struct Decoded {
    int result;
    std::string output;
};

Decoded decode(const std::vector<unsigned char>& input) {
    unsigned char* output = nullptr;
    uint32_t length = 0;
    int result = lzwDecode(input.data(), static_cast<uint32_t>(input.size()), &output, &length);
    EXPECT_NE(output, nullptr);
    Decoded decoded{result, std::string(reinterpret_cast<const char*>(output), length)};
    lzwFree(output);
    return decoded;
}

std::vector<Code> nineBit(std::initializer_list<uint32_t> values) {
    std::vector<Code> codes;
    for (uint32_t v : values) codes.push_back(Code{v, 9});
    return codes;
}

// The first code, then count more codes of the letter A: each makes one entry.
std::vector<Code> literalRun(int count) {
    std::vector<Code> codes(count + 1, Code{'A', 9});
    return codes;
}

// A, then always the entry being made (259, 260, ...), widening as the codes
// need: the strings grow by one byte each, the output by 1 + 2 + 3 + ...
std::vector<Code> growingStrings(int count) {
    std::vector<Code> codes{{'A', 9}};
    int width = 9;
    for (uint32_t code = 259; code < 259u + count; ++code) {
        while (code >> width) codes.push_back(Code{257, width++});
        codes.push_back(Code{code, width});
    }
    codes.push_back(Code{256, width});
    return codes;
}

struct DecodeCase {
    const char* name;
    std::vector<Code> codes;
    size_t paddedSize;  // zero bytes appended up to this size; 0 for none
    int result;
    std::string output;
};

std::vector<DecodeCase> decodeCases() {
    std::vector<Code> widenTo32 = nineBit({'A'});
    for (int width = 9; width < 32; ++width) widenTo32.push_back(Code{257, width});
    std::vector<Code> widenTo33 = widenTo32;
    widenTo32.push_back(Code{'B', 32});
    widenTo32.push_back(Code{256, 32});
    widenTo33.push_back(Code{257, 32});
    widenTo33.push_back(Code{'B', 32});

    std::vector<Code> lastEntry = literalRun(3837);  // entries 259 to 4095
    lastEntry.push_back(Code{256, 9});
    std::vector<Code> pastLastEntry = literalRun(3838);
    pastLastEntry.push_back(Code{256, 9});

    std::vector<Code> stop = nineBit({'A', 256});
    return {
        {"a literal then stop", nineBit({'A', 256}), 0, LzwOk, "A"},
        {"the entry being made", nineBit({'A', 259, 256}), 0, LzwOk, "AAA"},
        {"reset keeps the current string", nineBit({'A', 258, 'B', 259, 256}), 0, LzwOk, "ABAB"},
        {"widen", {{'A', 9}, {257, 9}, {'B', 10}, {256, 10}}, 0, LzwOk, "AB"},
        {"reset after widening goes back to 9 bits", {{'A', 9}, {257, 9}, {'B', 10}, {258, 10}, {259, 9}, {256, 9}},
         0, LzwOk, "ABBB"},
        {"first code 256 is the byte 0", nineBit({256, 256}), 0, LzwOk, std::string(1, '\0')},
        {"first code keeps its low eight bits", nineBit({0x1FF, 256}), 0, LzwOk, "\xFF"},
        {"a code past the next free one", nineBit({'A', 'B', 300}), 0, LzwCorrupt, "A"},
        {"a code one past the next free one", nineBit({'A', 260}), 0, LzwCorrupt, ""},
        {"no stop code", nineBit({'A', 'B', 'C'}), 0, LzwCorrupt, "AB"},
        {"empty input", {}, 0, LzwNoInput, ""},
        {"input ends inside the first code", {{1, 8}}, 0, LzwNoInput, ""},
        {"23 widens reach 32 bits", widenTo32, 0, LzwOk, "AB"},
        {"a 24th widen fails the next read", widenTo33, 0, LzwCorrupt, ""},
        {"entry 4095 is the last", lastEntry, 0, LzwOk, std::string(3838, 'A')},
        {"entry 4096 is outside the format", pastLastEntry, 0, LzwCorrupt, std::string(3837, 'A')},
        {"input of 32768 bytes", stop, kLzwMaxInput, LzwOk, "A"},
        {"input beyond 32768 bytes", stop, kLzwMaxInput + 1, LzwCorrupt, ""},
    };
}

TEST(LzwDecode, CodeStreams) {
    for (const DecodeCase& c : decodeCases()) {
        SCOPED_TRACE(c.name);
        std::vector<unsigned char> input = pack(c.codes);
        if (c.paddedSize) input.resize(c.paddedSize, 0);
        Decoded decoded = decode(input);
        EXPECT_EQ(decoded.result, c.result);
        EXPECT_EQ(decoded.output.size(), c.output.size());
        EXPECT_TRUE(decoded.output == c.output);
    }
}

TEST(LzwDecode, OutputStopsAtItsLimit) {
    // 1 + 2 + ... + 489 = 119805 bytes fit; the code of 490 bytes does not.
    Decoded fits = decode(pack(growingStrings(488)));
    EXPECT_EQ(fits.result, LzwOk);
    EXPECT_TRUE(fits.output == std::string(119805, 'A'));

    Decoded tooLong = decode(pack(growingStrings(489)));
    EXPECT_EQ(tooLong.result, LzwCorrupt);
    EXPECT_TRUE(tooLong.output == std::string(119805, 'A'));
}

TEST(LzwDecode, DefaultLinkBlockHoldsTwoEmptyTexts) {
    std::vector<unsigned char> block(linkBlockData.block, linkBlockData.block + kLinkBlockSize);
    Decoded decoded = decode(block);
    EXPECT_EQ(decoded.result, LzwOk);
    EXPECT_EQ(decoded.output, std::string("\0\0||", 4));
}

int allocationsLeft;
void* failingAllocator(size_t size) { return allocationsLeft-- > 0 ? std::malloc(size) : nullptr; }

TEST(LzwDecode, OutOfMemory) {
    std::vector<unsigned char> input = pack(nineBit({'A', 256}));
    unsigned char* untouched = reinterpret_cast<unsigned char*>(&allocationsLeft);
    unsigned char* output = untouched;
    uint32_t length = 77;

    // No output buffer: a message, and the caller's variables left alone.
    clearLastMessage();
    allocationsLeft = 0;
    lzwSetAllocator(failingAllocator);
    EXPECT_EQ(lzwDecode(input.data(), 3, &output, &length), LzwOutOfMemory);
    ASSERT_NE(lastMessage(), nullptr);
    EXPECT_STREQ(lastMessage()->text, "Impossible d'allouer la memoire");
    EXPECT_STREQ(lastMessage()->caption, "information");
    EXPECT_EQ(output, untouched);
    EXPECT_EQ(length, 77u);

    // No working state: the empty output buffer goes to the caller, silently.
    clearLastMessage();
    allocationsLeft = 1;
    EXPECT_EQ(lzwDecode(input.data(), 3, &output, &length), LzwOutOfMemory);
    lzwSetAllocator(nullptr);
    EXPECT_EQ(lastMessage(), nullptr);
    EXPECT_NE(output, untouched);
    EXPECT_EQ(length, 0u);
    lzwFree(output);
}

TEST(LzwEncode, PacksCodesMostSignificantBitFirst) {
    // 'A' (001000001) and 256 (100000000) in 9 bits, zero-filled.
    std::vector<unsigned char> encoded;
    ASSERT_TRUE(lzwEncode(reinterpret_cast<const unsigned char*>("A"), 1, &encoded));
    EXPECT_EQ(encoded, (std::vector<unsigned char>{0x20, 0xC0, 0x00}));
    ASSERT_TRUE(lzwEncode(reinterpret_cast<const unsigned char*>("AAA"), 3, &encoded));
    EXPECT_EQ(encoded, pack(nineBit({'A', 259, 256})));
}

std::vector<unsigned char> randomBytes(size_t size, int alphabet, unsigned seed) {
    std::mt19937 random(seed);
    std::vector<unsigned char> bytes(size);
    for (unsigned char& b : bytes) b = static_cast<unsigned char>(random() % alphabet);
    return bytes;
}

// Words of a small vocabulary, like the texts of a quiz.
std::vector<unsigned char> wordText(size_t size) {
    const char* words[] = {"Quel ", "est ", "le ", "nom ", "de ", "cette ", "ville ", "|", "BRAVO ", "\xE9t\xE9 "};
    std::mt19937 random(7);
    std::vector<unsigned char> bytes;
    while (bytes.size() < size) {
        const char* w = words[random() % 10];
        bytes.insert(bytes.end(), w, w + std::char_traits<char>::length(w));
    }
    bytes.resize(size);
    return bytes;
}

std::vector<unsigned char> repeated(const std::string& pattern, size_t size) {
    std::vector<unsigned char> bytes(size);
    for (size_t i = 0; i < size; ++i) bytes[i] = static_cast<unsigned char>(pattern[i % pattern.size()]);
    return bytes;
}

TEST(LzwEncode, RoundTrips) {
    std::string allValues;
    for (int i = 0; i < 256; ++i) allValues.push_back(static_cast<char>(i));
    struct {
        const char* name;
        std::vector<unsigned char> input;
    } cases[] = {
        {"one byte", {0x7C}},
        {"every byte value", repeated(allValues, 256)},
        {"a run of 120000 bytes", repeated("A", kLzwMaxOutput)},
        {"alternating bytes", repeated("AB", 9999)},
        {"random bytes, several resets", randomBytes(20000, 256, 2)},
        {"two letters, many resets", randomBytes(kLzwMaxOutput, 2, 3)},
        {"quiz-like text of 120000 bytes", wordText(kLzwMaxOutput)},
    };
    for (auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<unsigned char> encoded;
        ASSERT_TRUE(lzwEncode(c.input.data(), static_cast<uint32_t>(c.input.size()), &encoded));
        Decoded decoded = decode(encoded);
        EXPECT_EQ(decoded.result, LzwOk);
        EXPECT_TRUE(decoded.output == std::string(c.input.begin(), c.input.end()));
    }
}

TEST(LzwEncode, RefusesWhatTheDecoderCannotRead) {
    std::vector<unsigned char> encoded{1};
    std::vector<unsigned char> tooLong(kLzwMaxOutput + 1, 'A');
    std::vector<unsigned char> incompressible = randomBytes(kLzwMaxOutput, 256, 4);
    EXPECT_FALSE(lzwEncode(tooLong.data(), 0, &encoded));
    EXPECT_TRUE(encoded.empty());
    EXPECT_FALSE(lzwEncode(tooLong.data(), static_cast<uint32_t>(tooLong.size()), &encoded));
    EXPECT_FALSE(lzwEncode(incompressible.data(), kLzwMaxOutput, &encoded));  // beyond 32768 bytes encoded
}

// A stream meant to be scrambled decodes as the plain one does, and once
// scrambled it never decodes as it is, whatever its first two bytes: the
// loader tries the stored bytes as plain data first.
TEST(LzwEncode, ScrambledStreamsNeverReadAsPlainData) {
    std::vector<std::vector<unsigned char>> inputs = {{'A'}, {'A', '\r', '\n'}, wordText(3000)};
    for (int first = 0; first < 256; ++first) {
        for (int second = 0; second < 256; second += 3)
            inputs.push_back({static_cast<unsigned char>(first), static_cast<unsigned char>(second), '\r', '\n'});
    }
    for (const std::vector<unsigned char>& input : inputs) {
        std::vector<unsigned char> encoded;
        ASSERT_TRUE(lzwEncodeForScrambling(input.data(), static_cast<uint32_t>(input.size()), &encoded));
        Decoded plain = decode(encoded);
        ASSERT_EQ(plain.result, LzwOk);
        ASSERT_TRUE(plain.output == std::string(input.begin(), input.end()));
        scrambleResource(encoded.data(), encoded.size());
        ASSERT_EQ(decode(encoded).result, LzwCorrupt) << int(input[0]) << " " << int(input.size() > 1 ? input[1] : 0);
    }
}

}  // namespace
