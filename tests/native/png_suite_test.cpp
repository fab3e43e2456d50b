// The PNG conformance suite (KERBO_SHARED_DIR/pngsuite, skipped when absent):
// every valid file decodes to libpng's pixels, the broken ones fail with
// their code (the decoder ignores CRCs, so a wrong CRC decodes normally).
#include <dirent.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <map>

#include "png_test_support.h"

namespace {

const std::string kSuite = std::string(KERBO_SHARED_DIR) + "/pngsuite";

std::vector<std::string> suiteFiles() {
    std::vector<std::string> names;
    if (DIR* dir = opendir(kSuite.c_str())) {
        while (dirent* entry = readdir(dir)) {
            std::string name = entry->d_name;
            if (name.size() > 4 && name.compare(name.size() - 4, 4, ".png") == 0) names.push_back(name);
        }
        closedir(dir);
    }
    std::sort(names.begin(), names.end());
    return names;
}

}  // namespace

TEST(PngSuite, EveryFileGivesItsExpectedOutcome) {
    std::vector<std::string> files = suiteFiles();
    if (files.empty()) GTEST_SKIP() << "no PNG suite in " << kSuite;

    // The broken files; where the failure shows: at the header or the decode.
    struct Broken {
        PngError error;
        bool atHeader;
    };
    const std::map<std::string, Broken> broken = {
        {"xs1n0g01.png", {PngError::NotPng, true}},      {"xs2n0g01.png", {PngError::NotPng, true}},
        {"xs4n0g01.png", {PngError::NotPng, true}},      {"xs7n0g01.png", {PngError::NotPng, true}},
        {"xcrn0g04.png", {PngError::NotPng, true}},      {"xlfn0g04.png", {PngError::NotPng, true}},
        {"xc1n0g08.png", {PngError::Unsupported, true}}, {"xc9n2c08.png", {PngError::Unsupported, true}},
        {"xd0n2c08.png", {PngError::Unsupported, true}}, {"xd3n2c08.png", {PngError::Unsupported, true}},
        {"xd9n2c08.png", {PngError::Unsupported, true}}, {"xdtn0g01.png", {PngError::NotPng, false}},
    };
    int decoded = 0;
    for (const std::string& name : files) {
        Bytes file = readFile(kSuite + "/" + name);
        ASSERT_FALSE(file.empty()) << name;
        OurPicture ours = decodeOurs(file);
        auto b = broken.find(name);
        if (b != broken.end()) {
            EXPECT_EQ(ours.opened, !b->second.atHeader) << name;
            EXPECT_FALSE(ours.decoded) << name;
            EXPECT_EQ(ours.error, b->second.error) << name << ": " << pngErrorName(ours.error);
            continue;
        }
        ASSERT_TRUE(ours.converted) << name << ": " << pngErrorName(ours.error);
        ++decoded;
        LibpngPicture expected = decodeLibpng(file);
        ASSERT_TRUE(expected.ok) << name;
        bool same = true;
        for (uint32_t y = 0; y < expected.height && same; ++y)
            for (uint32_t x = 0; x < expected.width && same; ++x)
                same = bitmapPixel(ours, x, y) == expectedPixel(expected, x, y);
        EXPECT_TRUE(same) << name;
    }
    EXPECT_EQ(decoded, static_cast<int>(files.size() - broken.size()));
}
