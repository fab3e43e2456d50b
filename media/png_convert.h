// From a decoded PNG (filtered scanlines, png_decoder.h) to the bits of a
// top-down device-independent bitmap: the bitmap's header and colour table
// chosen from the PNG header, the row filters reversed, Adam7 undone and every
// row converted into the bitmap's layout. Needs no window system: the Windows
// half (png_bitmap_win32.cpp) hands it the bits of a DIB section, the
// authoring tool and the tests a buffer of their own.
//
// Formats, by colour type and bit depth:
//   grey 1, 4, 8 and palette 1, 4, 8   same bit count, rows copied
//   grey 2, palette 2                  4 bits, 2-bit samples widened
//   grey 16, grey + alpha 8 and 16     8 bits, the grey's high byte
//   RGB 8 and 16                       24 bits, B G R (high bytes)
//   RGB + alpha 8 and 16               32 bits, B G R A (high bytes, alpha kept)
// Grey pictures get a grey ramp as colour table, palette pictures their PLTE.
#pragma once

#include <cstdint>

struct PngResourceDecoder;

// The layout of a BITMAPINFOHEADER (40 bytes) followed by 256 RGBQUADs.
struct PngDibHeader {
    uint32_t biSize;
    int32_t biWidth;
    int32_t biHeight;  // negative: rows run top to bottom
    uint16_t biPlanes;
    uint16_t biBitCount;
    uint32_t biCompression;
    uint32_t biSizeImage;
    int32_t biXPelsPerMeter;
    int32_t biYPelsPerMeter;
    uint32_t biClrUsed;  // entries of a grey ramp, else 0
    uint32_t biClrImportant;
};

struct PngColour {
    uint8_t blue;
    uint8_t green;
    uint8_t red;
    uint8_t reserved;
};

struct PngBitmapInfo {
    PngDibHeader header;
    PngColour colours[256];
};

// biBitCount of the bitmap for a PNG colour type and bit depth; 0 for a pair
// the PNG format does not allow (the decoder refuses those).
uint32_t pngBitmapBitCount(uint32_t colourType, uint32_t bitDepth);

// Bytes of one bitmap row of width pixels, padded to a multiple of 4.
uint64_t pngBitmapStride(uint32_t width, uint32_t bitCount);

// Fills the header and the colour table (entries past the palette or the ramp
// are zero). Needs the header fields of a loaded decoder.
void pngBitmapInfo(const PngResourceDecoder& decoder, PngBitmapInfo& info);

// Size of the bits: stride times height (at most kPngLargestBlock for every
// picture the decoder accepts).
uint32_t pngBitmapBitsSize(const PngBitmapInfo& info);

// Every buffer the decoder and the conversion need for one picture, counted
// in 64 bits so that no size wraps: the filtered scanlines (0 when they do
// not fit in 32 bits), the bitmap's bits, the two row buffers of the
// conversion (one block) and, for Adam7, its pass row. The decoder refuses
// (Unsupported) a picture any of whose buffers passes kPngLargestBlock.
struct PngWorkingSizes {
    uint64_t scanlines;
    uint64_t bitmapBits;
    uint64_t rowBuffers;
    uint64_t passRow;  // 0 without interlace
};
void pngWorkingSizes(const PngResourceDecoder& decoder, PngWorkingSizes& sizes);
bool pngSizesFit(const PngWorkingSizes& sizes);

// Unfilters and converts every row of a decoded picture into bits, a buffer of
// pngBitmapBitsSize bytes laid out as pngBitmapInfo says. Row padding is left
// as it is (an Adam7 picture of fewer than 8 bits per pixel clears the whole
// buffer first). Fails with WrongState before decode, OutOfMemory when the row
// buffers cannot be had, and with the error unchanged on a filter type above 4.
bool pngConvert(PngResourceDecoder& decoder, unsigned char* bits, uint32_t bitsSize);

// The five PNG row filters reversed on one row of n bytes: a is one filter
// distance to the left, b above, c above-left, all zero outside the row or
// on the first row (previous null). False for a filter type above 4.
bool pngUnfilterRow(uint32_t filterType, const unsigned char* filtered, const unsigned char* previous,
                    unsigned char* out, uint32_t n, uint32_t distance);

// The Paeth predictor: a, b or c, whichever is nearest to a + b - c, ties
// going to a, then b.
inline uint32_t pngPaeth(uint32_t a, uint32_t b, uint32_t c) {
    int pa = static_cast<int>(b) - static_cast<int>(c);  // |p - a| with p = a + b - c
    int pb = static_cast<int>(a) - static_cast<int>(c);  // |p - b|
    int pc = pa + pb;                                    // |p - c|
    pa = pa < 0 ? -pa : pa;
    pb = pb < 0 ? -pb : pb;
    pc = pc < 0 ? -pc : pc;
    // Masks instead of branches: the choice depends on the picture's data.
    uint32_t takeA = 0u - static_cast<uint32_t>((pa <= pb) & (pa <= pc));
    uint32_t takeB = 0u - static_cast<uint32_t>(pb <= pc);
    uint32_t bc = (b & takeB) | (c & ~takeB);
    return (a & takeA) | (bc & ~takeA);
}
