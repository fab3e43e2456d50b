#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "media/clip_type.h"

namespace {

// Each clip is held in a buffer of exactly its size, so that a read past
// its end is caught by AddressSanitizer.
std::string sniff(const std::vector<unsigned char>& clip) {
    if (clip.empty()) return sniffClipType(nullptr, 0);
    std::vector<unsigned char> exact(clip);
    exact.shrink_to_fit();
    return sniffClipType(exact.data(), static_cast<uint32_t>(exact.size()));
}

std::vector<unsigned char> bytesOf(const char* text, size_t size) {
    return std::vector<unsigned char>(text, text + size);
}

struct SniffCase {
    const char* what;
    std::vector<unsigned char> clip;
    const char* extension;
};

}  // namespace

TEST(SniffClipType, EveryRowOfTheTable) {
    const SniffCase cases[] = {
        {"ID3 tag", bytesOf("ID3\x03\0\0\0\0\0\x21", 10), "MP3"},
        {"RIFF AVI", bytesOf("RIFF\x10\0\0\0AVI LIST", 16), "AVI"},
        {"RIFF WAVE", bytesOf("RIFF\x24\0\0\0WAVEfmt ", 16), "WAV"},
        {"RIFF other form", bytesOf("RIFF\x24\0\0\0RMIDdata", 16), "XXX"},
        {"ASF GUID", {0x30, 0x26, 0xB2, 0x75, 0x8E, 0x66, 0xCF, 0x11, 0xA6, 0xD9}, "WMV"},
        {"zero byte, A at 8", {0x00, 0x00, 0x01, 0xBA, 0, 0, 0, 0, 'A'}, "AVI"},
        {"zero byte, W at 8", {0x00, 0x00, 0x01, 0xBA, 0, 0, 0, 0, 'W'}, "AVI"},
        {"MPEG pack start", {0x00, 0x00, 0x01, 0xBA, 0x44, 0x00, 0x04, 0x00, 0x04, 0x01}, "MPG"},
        {"MP3 frame FF F3", {0xFF, 0xF3, 0x64, 0xC4}, "MP3"},
        {"FF 00", {0xFF, 0x00, 0x12, 0x34}, "MPG"},
        {"MP3 frame FF FB", {0xFF, 0xFB, 0x90, 0x64}, "XXX"},
        {"any other first byte", bytesOf("OggS\0\x02\0\0\0\0", 10), "XXX"},
        {"lower-case r", bytesOf("riff\x24\0\0\0WAVE", 12), "XXX"},
    };
    for (const SniffCase& c : cases) EXPECT_EQ(sniff(c.clip), c.extension) << c.what;
}

TEST(SniffClipType, ShortClipsAreJudgedOnTheBytesTheyHave) {
    EXPECT_EQ(sniff({}), "XXX");
    // A missing byte matches nothing, not even zero: FF alone is no MPEG.
    EXPECT_EQ(sniff({0xFF}), "XXX");
    EXPECT_EQ(sniff({0xFF, 0xF3}), "MP3");
    EXPECT_EQ(sniff({0xFF, 0x00}), "MPG");
    EXPECT_EQ(sniff({'I'}), "MP3");
    EXPECT_EQ(sniff({'0'}), "WMV");
    const std::vector<unsigned char> riffWave = bytesOf("RIFF\x24\0\0\0WAVE", 12);
    const std::vector<unsigned char> mpeg = {0x00, 0x00, 0x01, 0xBA, 0, 0, 0, 0, 'A'};
    for (size_t size = 1; size <= 8; ++size) {
        std::vector<unsigned char> riff(riffWave.begin(), riffWave.begin() + size);
        EXPECT_EQ(sniff(riff), "XXX") << "RIFF cut to " << size << " bytes";
        std::vector<unsigned char> zero(mpeg.begin(), mpeg.begin() + size);
        EXPECT_EQ(sniff(zero), "MPG") << "zero-led clip cut to " << size << " bytes";
    }
    EXPECT_EQ(sniff(std::vector<unsigned char>(riffWave.begin(), riffWave.begin() + 9)), "WAV");
    EXPECT_EQ(sniff(mpeg), "AVI");
}

TEST(ClipFileName, DirectoryResourceIdAndExtension) {
    char name[260];
    ASSERT_TRUE(clipFileName(name, sizeof name, "", 403, "MP3"));
    EXPECT_STREQ(name, "kerbo403.MP3");
    ASSERT_TRUE(clipFileName(name, sizeof name, "C:\\clips\\", 496, "XXX"));
    EXPECT_STREQ(name, "C:\\clips\\kerbo496.XXX");
}

TEST(ClipFileName, ANameThatDoesNotFitIsRefused) {
    // "kerbo401.WAV" is 12 characters: 247 of directory fill 259 exactly.
    std::string directory(247, 'd');
    char name[260];
    ASSERT_TRUE(clipFileName(name, sizeof name, directory.c_str(), 401, "WAV"));
    EXPECT_EQ(std::strlen(name), 259u);
    directory += 'd';
    EXPECT_FALSE(clipFileName(name, sizeof name, directory.c_str(), 401, "WAV"));
    EXPECT_STREQ(name, "");
}
