// The bitmap format chosen for each PNG format, the colour tables, the row
// filters and the conversion's failures. Pixel values of every format are
// checked against libpng in png_oracle_test.
#include <gtest/gtest.h>

#include "png_test_support.h"

namespace {

// A decoded picture made by hand: the header fields and the filtered
// scanlines, as decode would leave them.
struct HandDecoded {
    PngResourceDecoder decoder = {};
    Bytes pixels;
    Bytes palette;

    HandDecoded(uint32_t width, uint32_t height, int colourType, int bitDepth, Bytes scanlines, int interlace = 0)
        : pixels(std::move(scanlines)) {
        decoder.width = width;
        decoder.height = height;
        decoder.colourType = static_cast<uint8_t>(colourType);
        decoder.bitDepth = static_cast<uint8_t>(bitDepth);
        decoder.interlace = static_cast<uint8_t>(interlace);
        decoder.pixels = pixels.data();
        decoder.pixelsSize = static_cast<uint32_t>(pixels.size());
        decoder.decodeState = PngDecoded;
        decoder.sourceState = PngResourceSource;
    }
    void setPalette(Bytes rgb) {
        palette = std::move(rgb);
        decoder.palette = palette.data();
        decoder.paletteCount = static_cast<uint32_t>(palette.size() / 3);
    }
    // The bitmap's bits, or empty when the conversion fails.
    Bytes convert() {
        PngBitmapInfo info;
        pngBitmapInfo(decoder, info);
        Bytes bits(pngBitmapBitsSize(info), 0xEE);
        if (!pngConvert(decoder, bits.data(), static_cast<uint32_t>(bits.size()))) return Bytes();
        return bits;
    }
};

}  // namespace

TEST(PngConvert, BitmapHeaderOfEveryFormat) {
    struct Case {
        int colourType, bitDepth;
        int bitCount;
        uint32_t clrUsed;
    };
    const Case cases[] = {
        {0, 1, 1, 2},   {0, 2, 4, 4},   {0, 4, 4, 16},  {0, 8, 8, 256}, {0, 16, 8, 256},
        {2, 8, 24, 0},  {2, 16, 24, 0}, {3, 1, 1, 0},   {3, 2, 4, 0},   {3, 4, 4, 0},
        {3, 8, 8, 0},   {4, 8, 8, 256}, {4, 16, 8, 256}, {6, 8, 32, 0},  {6, 16, 32, 0},
    };
    for (const Case& c : cases) {
        HandDecoded p(5, 3, c.colourType, c.bitDepth, Bytes());
        PngBitmapInfo info;
        pngBitmapInfo(p.decoder, info);
        EXPECT_EQ(info.header.biSize, 40u);
        EXPECT_EQ(info.header.biWidth, 5);
        EXPECT_EQ(info.header.biHeight, -3);
        EXPECT_EQ(info.header.biPlanes, 1);
        EXPECT_EQ(info.header.biBitCount, c.bitCount) << c.colourType << "/" << c.bitDepth;
        EXPECT_EQ(info.header.biCompression, 0u);
        EXPECT_EQ(info.header.biSizeImage, 0u);
        EXPECT_EQ(info.header.biClrUsed, c.clrUsed) << c.colourType << "/" << c.bitDepth;
        EXPECT_EQ(info.header.biClrImportant, 0u);
    }
    EXPECT_EQ(pngBitmapBitCount(1, 8), 0u);
    EXPECT_EQ(pngBitmapBitCount(3, 16), 0u);
}

TEST(PngConvert, ColourTables) {
    auto greys = [](int bitDepth) {
        HandDecoded p(1, 1, 0, bitDepth, Bytes());
        PngBitmapInfo info;
        pngBitmapInfo(p.decoder, info);
        std::vector<int> levels;
        for (uint32_t i = 0; i < info.header.biClrUsed; ++i) {
            const PngColour& c = info.colours[i];
            EXPECT_TRUE(c.red == c.green && c.green == c.blue && c.reserved == 0);
            levels.push_back(c.red);
        }
        return levels;
    };
    EXPECT_EQ(greys(1), (std::vector<int>{0, 255}));
    EXPECT_EQ(greys(2), (std::vector<int>{0, 85, 170, 255}));
    std::vector<int> sixteen = greys(4);
    ASSERT_EQ(sixteen.size(), 16u);
    EXPECT_EQ(sixteen[1], 17);
    EXPECT_EQ(sixteen[15], 255);
    EXPECT_EQ(greys(16)[200], 200);

    // A palette of 3 entries: B, G, R order, the rest of the table cleared.
    HandDecoded p(1, 1, 3, 8, Bytes());
    p.setPalette({10, 20, 30, 40, 50, 60, 70, 80, 90});
    PngBitmapInfo info;
    pngBitmapInfo(p.decoder, info);
    EXPECT_EQ(info.header.biClrUsed, 0u);
    EXPECT_EQ(info.colours[0].blue, 30);
    EXPECT_EQ(info.colours[0].green, 20);
    EXPECT_EQ(info.colours[0].red, 10);
    EXPECT_EQ(info.colours[2].blue, 90);
    EXPECT_EQ(info.colours[3].red + info.colours[255].blue, 0);

    // More than 256 entries: the first 256 are used.
    Bytes big(300 * 3);
    for (size_t i = 0; i < big.size(); ++i) big[i] = static_cast<unsigned char>(i / 3);
    p.setPalette(big);
    pngBitmapInfo(p.decoder, info);
    EXPECT_EQ(info.colours[255].red, 255);
}

TEST(PngConvert, RowPadding) {
    EXPECT_EQ(pngBitmapStride(3, 24), 12u);  // 9 bytes padded to 12
    EXPECT_EQ(pngBitmapStride(33, 1), 8u);   // 5 bytes padded to 8
    EXPECT_EQ(pngBitmapStride(1, 4), 4u);
    EXPECT_EQ(pngBitmapStride(4, 32), 16u);

    // RGB 3 x 2: B, G, R bytes, rows 12 bytes apart, padding left alone.
    HandDecoded p(3, 2, 2, 8, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 0, 11, 12, 13, 14, 15, 16, 17, 18, 19});
    Bytes bits = p.convert();
    EXPECT_EQ(bits, (Bytes{3, 2, 1, 6, 5, 4, 9, 8, 7, 0xEE, 0xEE, 0xEE, 13, 12, 11, 16, 15, 14, 19, 18, 17, 0xEE,
                           0xEE, 0xEE}));
}

TEST(PngConvert, SixteenBitAndAlphaSamples) {
    // RGBA 16: high bytes as B, G, R, A. Grey + alpha 16: the grey's high byte.
    HandDecoded rgba(1, 1, 6, 16, {0, 0x11, 0x12, 0x21, 0x22, 0x31, 0x32, 0x41, 0x42});
    EXPECT_EQ(rgba.convert(), (Bytes{0x31, 0x21, 0x11, 0x41}));
    HandDecoded greyAlpha(2, 1, 4, 16, {0, 0x11, 0x12, 0x21, 0x22, 0x31, 0x32, 0x41, 0x42});
    EXPECT_EQ(greyAlpha.convert(), (Bytes{0x11, 0x31, 0xEE, 0xEE}));
    // Grey 2: samples 0, 1, 2, 3, 3 widened to nibbles.
    HandDecoded grey2(5, 1, 0, 2, {0, 0x1B, 0xC0});
    EXPECT_EQ(grey2.convert(), (Bytes{0x01, 0x23, 0x30, 0xEE}));
}

TEST(PngConvert, Filters) {
    struct Case {
        const char* name;
        uint32_t type;
        Bytes row;
        Bytes above;  // empty: first row
        uint32_t distance;
        Bytes expected;
    };
    const Case cases[] = {
        {"Sub", 1, {1, 2, 3, 1, 1, 1, 255}, {}, 3, {1, 2, 3, 2, 3, 4, 1}},
        {"Up, first row", 2, {5, 6}, {}, 1, {5, 6}},
        {"Up", 2, {5, 6}, {250, 1}, 1, {255, 7}},
        {"Average, first row", 3, {8, 8, 8}, {}, 1, {8, 12, 14}},
        {"Average, sum in 9 bits", 3, {0, 1}, {255, 255}, 1, {127, 192}},  // 1 + (127 + 255) / 2
        {"Paeth, first row is Sub", 4, {4, 4, 4}, {}, 1, {4, 8, 12}},
        {"Paeth, left edge takes b", 4, {1, 0}, {9, 9}, 1, {10, 10}},
    };
    for (const Case& c : cases) {
        Bytes out(c.row.size());
        ASSERT_TRUE(pngUnfilterRow(c.type, c.row.data(), c.above.empty() ? nullptr : c.above.data(), out.data(),
                                   static_cast<uint32_t>(c.row.size()), c.distance))
            << c.name;
        EXPECT_EQ(out, c.expected) << c.name;
    }
    Bytes out(2);
    EXPECT_FALSE(pngUnfilterRow(5, out.data(), nullptr, out.data(), 2, 1));

    // Paeth ties: a when pa = pc < pb, b when pb = pc < pa, a when all equal.
    EXPECT_EQ(pngPaeth(6, 12, 10), 6u);
    EXPECT_EQ(pngPaeth(12, 6, 10), 6u);
    EXPECT_EQ(pngPaeth(14, 6, 10), 10u);  // pc = 0
    EXPECT_EQ(pngPaeth(7, 7, 7), 7u);
    EXPECT_EQ(pngPaeth(1, 100, 1), 100u);
    EXPECT_EQ(pngPaeth(100, 1, 1), 100u);
    EXPECT_EQ(pngPaeth(0, 0, 255), 0u);
}

TEST(PngConvert, Failures) {
    // Filter type 5 on the second row: no bitmap, the error left as it was,
    // the decoder still decoded.
    HandDecoded p(2, 2, 0, 8, {0, 1, 2, 5, 3, 4});
    p.decoder.error = PngError::NoError;
    EXPECT_TRUE(p.convert().empty());
    EXPECT_EQ(p.decoder.error, PngError::NoError);
    EXPECT_EQ(p.decoder.decodeState, uint32_t(PngDecoded));
    p.pixels[3] = 0;
    EXPECT_FALSE(p.convert().empty());  // and a later conversion works

    HandDecoded loaded(2, 2, 0, 8, {0, 1, 2, 0, 3, 4});
    loaded.decoder.decodeState = PngLoaded;
    EXPECT_TRUE(loaded.convert().empty());
    EXPECT_EQ(loaded.decoder.error, PngError::WrongState);

    // Scanlines shorter than the picture: refused, nothing read past them.
    HandDecoded shortData(2, 2, 0, 8, {0, 1, 2, 0, 3});
    EXPECT_TRUE(shortData.convert().empty());
}
