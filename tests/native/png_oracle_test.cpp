// The decoder and the conversion against libpng: pictures of every colour type,
// bit depth and interlace method, encoded by libpng with every filter and
// several kinds of DEFLATE blocks, must give the pixels libpng decodes,
// reduced as the bitmap format reduces them.
#include <gtest/gtest.h>

#include "png_test_support.h"

namespace {

struct Pair {
    int colourType;
    int bitDepth;
};
const Pair kPairs[15] = {{0, 1}, {0, 2}, {0, 4}, {0, 8}, {0, 16}, {2, 8}, {2, 16}, {3, 1},
                         {3, 2}, {3, 4}, {3, 8}, {4, 8}, {4, 16}, {6, 8}, {6, 16}};

// Decodes file with both decoders and compares every pixel; returns a
// description of the first difference, or "".
std::string compareWithLibpng(const Bytes& file) {
    LibpngPicture expected = decodeLibpng(file);
    if (!expected.ok) return "libpng cannot read the file";
    OurPicture ours = decodeOurs(file);
    if (!ours.converted) return std::string("not decoded: ") + pngErrorName(ours.error);
    if (ours.info.header.biWidth != int32_t(expected.width) || ours.info.header.biHeight != -int32_t(expected.height))
        return "wrong size";
    for (uint32_t y = 0; y < expected.height; ++y)
        for (uint32_t x = 0; x < expected.width; ++x)
            if (bitmapPixel(ours, x, y) != expectedPixel(expected, x, y))
                return "pixel " + std::to_string(x) + "," + std::to_string(y) + " differs";
    // Palette pictures: the colour table holds the PLTE in B, G, R order.
    for (size_t i = 0; i < expected.palette.size() / 3 && i < 256; ++i) {
        const PngColour& c = ours.info.colours[i];
        if (c.red != expected.palette[3 * i] || c.green != expected.palette[3 * i + 1] ||
            c.blue != expected.palette[3 * i + 2])
            return "palette entry " + std::to_string(i) + " differs";
    }
    return "";
}

std::string describe(const Pair& pair, uint32_t width, uint32_t height, int interlace, const char* how) {
    return "colour type " + std::to_string(pair.colourType) + " depth " + std::to_string(pair.bitDepth) + " " +
           std::to_string(width) + "x" + std::to_string(height) + (interlace ? " Adam7 " : " plain ") + how;
}

}  // namespace

// Widths 1 to 9 and 33 (every partial byte, Adam7 passes that are empty)
// and heights below 5, with libpng choosing among all filters.
TEST(PngOracle, SmallSizesOfEveryFormat) {
    uint32_t seed = 1;
    for (const Pair& pair : kPairs)
        for (int interlace = 0; interlace <= 1; ++interlace)
            for (uint32_t width : {1u, 2u, 3u, 4u, 5u, 6u, 7u, 8u, 9u, 33u})
                for (uint32_t height = 1; height <= 4; ++height) {
                    Bytes palette;
                    auto rows = makeRows(width, height, pair.colourType, pair.bitDepth, seed++, &palette);
                    Bytes file = encodeLibpng(width, height, pair.colourType, pair.bitDepth, interlace, rows, palette);
                    ASSERT_FALSE(file.empty());
                    EXPECT_EQ(compareWithLibpng(file), "") << describe(pair, width, height, interlace, "");
                }
}

// Each row filter alone, and each kind of DEFLATE block (stored, fixed codes,
// dynamic codes, run-length matches), with image data split over many IDAT
// chunks, at a few hundred pixels and more.
TEST(PngOracle, EveryFilterAndBlockKind) {
    struct Way {
        const char* name;
        EncodeOptions options;
    };
    const Way ways[] = {
        {"filter None", {PNG_FILTER_NONE, 6, Z_DEFAULT_STRATEGY, 8192}},
        {"filter Sub", {PNG_FILTER_SUB, 6, Z_DEFAULT_STRATEGY, 8192}},
        {"filter Up", {PNG_FILTER_UP, 6, Z_DEFAULT_STRATEGY, 8192}},
        {"filter Average", {PNG_FILTER_AVG, 6, Z_DEFAULT_STRATEGY, 8192}},
        {"filter Paeth", {PNG_FILTER_PAETH, 6, Z_DEFAULT_STRATEGY, 8192}},
        {"stored blocks", {PNG_ALL_FILTERS, 0, Z_DEFAULT_STRATEGY, 8192}},
        {"fixed codes", {PNG_ALL_FILTERS, 9, Z_FIXED, 8192}},
        {"run-length matches", {PNG_ALL_FILTERS, 9, Z_RLE, 8192}},
        {"tiny IDAT chunks", {PNG_ALL_FILTERS, 9, Z_DEFAULT_STRATEGY, 7}},
    };
    struct Size {
        uint32_t width, height;
    };
    const Size sizes[] = {{1, 1}, {3, 3}, {6, 3}, {21, 17}, {150, 97}};
    uint32_t seed = 1000;
    for (const Way& way : ways)
        for (const Pair& pair : kPairs)
            for (int interlace = 0; interlace <= 1; ++interlace)
                for (const Size& size : sizes) {
                    Bytes palette;
                    auto rows = makeRows(size.width, size.height, pair.colourType, pair.bitDepth, seed++, &palette);
                    Bytes file = encodeLibpng(size.width, size.height, pair.colourType, pair.bitDepth, interlace,
                                              rows, palette, way.options);
                    ASSERT_FALSE(file.empty());
                    EXPECT_EQ(compareWithLibpng(file), "")
                        << describe(pair, size.width, size.height, interlace, way.name);
                }
}

// Adam7 and plain encodings of one picture give the same bitmap bytes
// (padding included, for the depths below 8 bits too).
TEST(PngOracle, Adam7AndPlainGiveTheSameBitmap) {
    uint32_t seed = 5000;
    for (const Pair& pair : kPairs)
        for (uint32_t width : {1u, 2u, 3u, 4u, 5u, 9u, 33u})
            for (uint32_t height : {1u, 2u, 4u, 7u}) {
                Bytes palette;
                auto rows = makeRows(width, height, pair.colourType, pair.bitDepth, seed++, &palette);
                OurPicture plain = decodeOurs(encodeLibpng(width, height, pair.colourType, pair.bitDepth, 0, rows, palette));
                OurPicture adam7 = decodeOurs(encodeLibpng(width, height, pair.colourType, pair.bitDepth, 1, rows, palette));
                ASSERT_TRUE(plain.converted && adam7.converted) << describe(pair, width, height, 1, "");
                // Bits of the row padding are not pixels: compare the pixels' bytes.
                uint32_t used = static_cast<uint32_t>(pngRowBytes(width, plain.info.header.biBitCount));
                for (uint32_t y = 0; y < height; ++y) {
                    Bytes a(plain.bits.begin() + y * plain.stride, plain.bits.begin() + y * plain.stride + used);
                    Bytes b(adam7.bits.begin() + y * adam7.stride, adam7.bits.begin() + y * adam7.stride + used);
                    EXPECT_EQ(a, b) << describe(pair, width, height, 1, "row ") << y;
                }
            }
}
