// Decoded PNG scanlines to bitmap rows: format choice, row filters, Adam7.
#include "media/png_convert.h"

#include <cstring>

#include "media/png_decoder.h"

namespace {

// How one unfiltered PNG row becomes one bitmap row.
enum RowConversion {
    CopyRow,         // same layout
    WidenTwoBitRow,  // 2-bit samples to 4-bit ones
    FirstByteRow,    // one byte of every `step`: the grey's high byte
    BgrRow,          // R, G, B samples of `step` bytes to B, G, R bytes
    BgraRow,         // R, G, B, A samples of `step` bytes to B, G, R, A bytes
};

struct PngFormat {
    uint8_t colourType;
    uint8_t bitDepth;
    uint8_t bitCount;       // of the bitmap
    uint16_t greyEntries;   // size of the grey ramp; 0: the PLTE, or no colour table
    RowConversion conversion;
    uint8_t step;           // bytes per pixel (FirstByteRow) or per sample (BgrRow, BgraRow)
};

// The 15 colour type / bit depth pairs of the PNG format.
const PngFormat kFormats[15] = {
    {0, 1, 1, 2, CopyRow, 0},        {0, 2, 4, 4, WidenTwoBitRow, 0}, {0, 4, 4, 16, CopyRow, 0},
    {0, 8, 8, 256, CopyRow, 0},      {0, 16, 8, 256, FirstByteRow, 2}, {2, 8, 24, 0, BgrRow, 1},
    {2, 16, 24, 0, BgrRow, 2},       {3, 1, 1, 0, CopyRow, 0},        {3, 2, 4, 0, WidenTwoBitRow, 0},
    {3, 4, 4, 0, CopyRow, 0},        {3, 8, 8, 0, CopyRow, 0},        {4, 8, 8, 256, FirstByteRow, 2},
    {4, 16, 8, 256, FirstByteRow, 4}, {6, 8, 32, 0, BgraRow, 1},      {6, 16, 32, 0, BgraRow, 2},
};

const PngFormat* findFormat(uint32_t colourType, uint32_t bitDepth) {
    for (const PngFormat& format : kFormats)
        if (format.colourType == colourType && format.bitDepth == bitDepth) return &format;
    return nullptr;
}

// ---------------------------------------------------------------------------
// Row conversions: n pixels from in to out, writing exactly the bytes that
// hold them.

void widenTwoBitRow(const unsigned char* in, unsigned char* out, uint32_t n) {
    uint32_t outBytes = (n + 1) / 2;
    for (uint32_t i = 0; i < outBytes; ++i) {
        uint32_t b = in[i >> 1];
        if ((i & 1) == 0) b >>= 4;  // samples 0 and 1 of the byte, then 2 and 3
        out[i] = static_cast<unsigned char>(((b & 0x0C) << 2) | (b & 0x03));
    }
}

template <uint32_t Step>
void firstByteRow(const unsigned char* in, unsigned char* out, uint32_t n) {
    for (uint32_t i = 0; i < n; ++i) out[i] = in[i * Step];
}

// Channels samples of Step bytes each (R, G, B[, A]) to bytes B, G, R[, A].
template <uint32_t Step, uint32_t Channels>
void bgrRow(const unsigned char* in, unsigned char* out, uint32_t n) {
    for (uint32_t i = 0; i < n; ++i, in += Channels * Step, out += Channels) {
        out[0] = in[2 * Step];
        out[1] = in[Step];
        out[2] = in[0];
        if (Channels == 4) out[3] = in[3 * Step];
    }
}

struct RowConverter {
    const PngFormat* format;
    void (*convert)(const unsigned char* in, unsigned char* out, uint32_t n);  // null: copy

    void operator()(const unsigned char* in, unsigned char* out, uint32_t n) const {
        if (convert)
            convert(in, out, n);
        else
            std::memcpy(out, in, static_cast<size_t>(pngRowBytes(n, format->bitCount)));
    }
};

RowConverter rowConverter(const PngFormat* format) {
    RowConverter c = {format, nullptr};
    switch (format->conversion) {
        case CopyRow: break;
        case WidenTwoBitRow: c.convert = widenTwoBitRow; break;
        case FirstByteRow: c.convert = format->step == 2 ? firstByteRow<2> : firstByteRow<4>; break;
        case BgrRow: c.convert = format->step == 1 ? bgrRow<1, 3> : bgrRow<2, 3>; break;
        case BgraRow: c.convert = format->step == 1 ? bgrRow<1, 4> : bgrRow<2, 4>; break;
    }
    return c;
}

}  // namespace

uint32_t pngBitmapBitCount(uint32_t colourType, uint32_t bitDepth) {
    const PngFormat* format = findFormat(colourType, bitDepth);
    return format ? format->bitCount : 0;
}

uint64_t pngBitmapStride(uint32_t width, uint32_t bitCount) { return (pngRowBytes(width, bitCount) + 3) & ~uint64_t(3); }

void pngBitmapInfo(const PngResourceDecoder& decoder, PngBitmapInfo& info) {
    std::memset(&info, 0, sizeof info);
    const PngFormat* format = findFormat(decoder.colourType, decoder.bitDepth);
    PngDibHeader& h = info.header;
    h.biSize = sizeof(PngDibHeader);
    h.biWidth = static_cast<int32_t>(decoder.width);
    h.biHeight = -static_cast<int32_t>(decoder.height);
    h.biPlanes = 1;
    h.biBitCount = format ? format->bitCount : 0;
    if (!format) return;
    if (format->greyEntries) {
        // Grey ramp: entry i is i * 255 / (n - 1), truncated.
        uint32_t n = format->greyEntries;
        h.biClrUsed = n;
        for (uint32_t i = 0; i < n; ++i) {
            uint8_t v = static_cast<uint8_t>(i * 255 / (n - 1));
            info.colours[i] = PngColour{v, v, v, 0};
        }
    } else if (decoder.colourType == 3 && decoder.palette) {
        // PLTE triples are red, green, blue; entries past 256 are ignored.
        uint32_t n = decoder.paletteCount < 256 ? decoder.paletteCount : 256;
        for (uint32_t i = 0; i < n; ++i) {
            const unsigned char* rgb = decoder.palette + 3 * i;
            info.colours[i] = PngColour{rgb[2], rgb[1], rgb[0], 0};
        }
    }
}

// Each row buffer holds one PNG row and 8 bytes of slack, rounded up to 8.
static uint64_t rowBufferSize(uint64_t rowBytes) { return (rowBytes + 8 + 7) & ~uint64_t(7); }

void pngWorkingSizes(const PngResourceDecoder& decoder, PngWorkingSizes& sizes) {
    std::memset(&sizes, 0, sizeof sizes);
    uint32_t scanlines = 0;
    if (inflatedSize(decoder, scanlines)) sizes.scanlines = scanlines;
    // Below 2^31 * 2^36 bits: no 64-bit product here wraps.
    uint64_t stride = pngBitmapStride(decoder.width, pngBitmapBitCount(decoder.colourType, decoder.bitDepth));
    sizes.bitmapBits = stride * decoder.height;
    sizes.rowBuffers = 2 * rowBufferSize(pngRowBytes(decoder.width, pngBitsPerPixel(decoder)));
    if (decoder.interlace) sizes.passRow = stride + 16;
}

bool pngSizesFit(const PngWorkingSizes& sizes) {
    return sizes.scanlines != 0 && sizes.scanlines <= kPngLargestBlock && sizes.bitmapBits <= kPngLargestBlock &&
           sizes.rowBuffers <= kPngLargestBlock && sizes.passRow <= kPngLargestBlock;
}

uint32_t pngBitmapBitsSize(const PngBitmapInfo& info) {
    uint64_t height = info.header.biHeight < 0 ? -int64_t(info.header.biHeight) : info.header.biHeight;
    return static_cast<uint32_t>(pngBitmapStride(static_cast<uint32_t>(info.header.biWidth), info.header.biBitCount) *
                                 height);
}

// ---------------------------------------------------------------------------
// Row filters (filter method 0). a: the unfiltered byte one filter distance to
// the left; b: the byte above; c: the byte above a; all 0 outside the row and
// on the first row. Sums are modulo 256. The filter distance is the bytes of
// one pixel, at least 1: 1, 2, 3, 4, 6 or 8.

// The lanes of a pixel, unrolled so that each lane's neighbours stay in
// registers.
#if defined(__clang__)
#define KERBO_UNROLL _Pragma("unroll")
#elif defined(__GNUC__)
#define KERBO_UNROLL _Pragma("GCC unroll 8")
#else
#define KERBO_UNROLL
#endif

namespace {

// One filter for a filter distance D known at compile time: the rows are
// taken a pixel (D bytes) at a time, and each of the D byte lanes keeps its
// left neighbour a (and c, the byte above it) in a local, 0 at the left edge.
// above is null on the first row. Bytes past the last whole pixel (a row that
// is not a whole number of pixels) are done by finishRow.
template <uint32_t D>
struct Unfilter {
    static uint32_t sub(const unsigned char* x, unsigned char* out, uint32_t n) {
        unsigned char a[D] = {};
        uint32_t i = 0;
        for (; i + D <= n; i += D)
            KERBO_UNROLL
            for (uint32_t d = 0; d < D; ++d) out[i + d] = a[d] = static_cast<unsigned char>(x[i + d] + a[d]);
        return i;
    }
    static uint32_t up(const unsigned char* x, const unsigned char* above, unsigned char* out, uint32_t n) {
        for (uint32_t i = 0; i < n; ++i) out[i] = static_cast<unsigned char>(x[i] + above[i]);
        return n;
    }
    static uint32_t average(const unsigned char* x, const unsigned char* above, unsigned char* out, uint32_t n) {
        uint32_t a[D] = {};
        uint32_t i = 0;
        if (!above) {
            for (; i + D <= n; i += D)
                KERBO_UNROLL
                for (uint32_t d = 0; d < D; ++d) out[i + d] = static_cast<unsigned char>(a[d] = (x[i + d] + (a[d] >> 1)) & 0xFF);
            return i;
        }
        for (; i + D <= n; i += D)
            KERBO_UNROLL
            for (uint32_t d = 0; d < D; ++d)
                out[i + d] = static_cast<unsigned char>(a[d] = (x[i + d] + ((a[d] + above[i + d]) >> 1)) & 0xFF);
        return i;
    }
    static uint32_t paeth(const unsigned char* x, const unsigned char* above, unsigned char* out, uint32_t n) {
        uint32_t a[D] = {};
        uint32_t c[D] = {};
        uint32_t i = 0;
        for (; i + D <= n; i += D)
            KERBO_UNROLL
            for (uint32_t d = 0; d < D; ++d) {
                uint32_t b = above[i + d];
                a[d] = (x[i + d] + pngPaeth(a[d], b, c[d])) & 0xFF;
                c[d] = b;
                out[i + d] = static_cast<unsigned char>(a[d]);
            }
        return i;
    }
    // Bytes from + 1 to n of a row whose first from bytes are done.
    static void finishRow(uint32_t filterType, const unsigned char* x, const unsigned char* above, unsigned char* out,
                          uint32_t from, uint32_t n) {
        for (uint32_t i = from; i < n; ++i) {
            uint32_t a = i >= D ? out[i - D] : 0;
            uint32_t b = above ? above[i] : 0;
            uint32_t c = above && i >= D ? above[i - D] : 0;
            uint32_t p = filterType == 1 ? a : filterType == 2 ? b : filterType == 3 ? (a + b) >> 1 : pngPaeth(a, b, c);
            out[i] = static_cast<unsigned char>(x[i] + p);
        }
    }
    static bool row(uint32_t filterType, const unsigned char* x, const unsigned char* above, unsigned char* out,
                    uint32_t n) {
        uint32_t done;
        switch (filterType) {
            case 0: std::memcpy(out, x, n); return true;  // None
            case 1: done = sub(x, out, n); break;         // Sub: x + a
            case 2:                                       // Up: x + b
                if (!above) {
                    std::memcpy(out, x, n);
                    return true;
                }
                done = up(x, above, out, n);
                break;
            case 3: done = average(x, above, out, n); break;  // Average: x + floor((a + b) / 2), in 9 bits
            case 4:  // Paeth; on the first row b = c = 0, so it predicts a
                if (!above) {
                    filterType = 1;
                    done = sub(x, out, n);
                } else {
                    done = paeth(x, above, out, n);
                }
                break;
            default: return false;
        }
        finishRow(filterType, x, above, out, done, n);
        return true;
    }
};

}  // namespace

bool pngUnfilterRow(uint32_t filterType, const unsigned char* filtered, const unsigned char* previous,
                    unsigned char* out, uint32_t n, uint32_t distance) {
    switch (distance) {
        case 1: return Unfilter<1>::row(filterType, filtered, previous, out, n);
        case 2: return Unfilter<2>::row(filterType, filtered, previous, out, n);
        case 3: return Unfilter<3>::row(filterType, filtered, previous, out, n);
        case 4: return Unfilter<4>::row(filterType, filtered, previous, out, n);
        case 6: return Unfilter<6>::row(filterType, filtered, previous, out, n);
        default: return Unfilter<8>::row(filterType, filtered, previous, out, n);
    }
}

namespace {

// The unfiltered rows of one image (the whole picture, or one Adam7 pass):
// a None row is used where it lies in pixels, the others are unfiltered
// alternately into two row buffers so that the row above is always at hand.
struct RowReader {
    const unsigned char* next;  // filter byte of the next row in pixels
    const unsigned char* end;   // end of pixels
    unsigned char* buffers[2];
    const unsigned char* previous;  // row above, null on the first row
    uint32_t rowBytes;
    uint32_t distance;
    uint32_t count;  // rows read so far in this image

    void startImage(uint32_t bytes) {
        rowBytes = bytes;
        previous = nullptr;
        count = 0;
    }

    // The next unfiltered row, or null when its filter type is unknown or it
    // would lie past the end of pixels.
    const unsigned char* nextRow() {
        if (static_cast<uint64_t>(end - next) < uint64_t(rowBytes) + 1) return nullptr;
        uint32_t filterType = next[0];
        const unsigned char* row = next + 1;
        if (filterType != 0) {
            unsigned char* out = buffers[count & 1];
            if (!pngUnfilterRow(filterType, row, previous, out, rowBytes, distance)) return nullptr;
            row = out;
        }
        next += rowBytes + 1;
        previous = row;
        ++count;
        return row;
    }
};

// Places the pixels of one converted Adam7 pass row into its bitmap row:
// pixel k goes to column start + (k << shift). Below 8 bits per pixel the
// pixels are or-ed into the cleared bitmap.
void placePassRow(const unsigned char* passRow, uint32_t passWidth, unsigned char* bitmapRow,
                  const PngAdam7Pass& pass, uint32_t bitCount) {
    if (pass.columnShift == 0) {  // pass 7: every column
        std::memcpy(bitmapRow, passRow, static_cast<size_t>(pngRowBytes(passWidth, bitCount)));
        return;
    }
    uint32_t column = pass.columnStart;
    uint32_t step = 1u << pass.columnShift;
    if (bitCount >= 8) {
        uint32_t bytes = bitCount / 8;
        for (uint32_t k = 0; k < passWidth; ++k, column += step)
            std::memcpy(bitmapRow + column * bytes, passRow + k * bytes, bytes);
    } else if (bitCount == 4) {
        for (uint32_t k = 0; k < passWidth; ++k, column += step) {
            uint32_t nibble = (passRow[k >> 1] >> ((k & 1) ? 0 : 4)) & 0x0F;
            bitmapRow[column >> 1] |= static_cast<unsigned char>((column & 1) ? nibble : nibble << 4);
        }
    } else {
        for (uint32_t k = 0; k < passWidth; ++k, column += step) {
            uint32_t bit = (passRow[k >> 3] >> (7 - (k & 7))) & 1;
            bitmapRow[column >> 3] |= static_cast<unsigned char>(bit << (7 - (column & 7)));
        }
    }
}

bool convertPlain(RowReader& rows, const RowConverter& convert, const PngResourceDecoder& decoder,
                  unsigned char* bits, uint32_t stride) {
    rows.startImage(static_cast<uint32_t>(pngRowBytes(decoder.width, pngBitsPerPixel(decoder))));
    for (uint32_t y = 0; y < decoder.height; ++y, bits += stride) {
        const unsigned char* row = rows.nextRow();
        if (!row) return false;
        convert(row, bits, decoder.width);
    }
    return true;
}

bool convertAdam7(RowReader& rows, const RowConverter& convert, const PngResourceDecoder& decoder,
                  unsigned char* bits, uint32_t stride, unsigned char* passRow) {
    uint32_t bitCount = convert.format->bitCount;
    if (bitCount < 8) std::memset(bits, 0, static_cast<size_t>(stride) * decoder.height);
    for (int p = 0; p < 7; ++p) {
        uint32_t passWidth, passHeight;
        if (!adam7PassSize(decoder.width, decoder.height, p, passWidth, passHeight)) continue;
        const PngAdam7Pass& pass = kAdam7Passes[p];
        rows.startImage(static_cast<uint32_t>(pngRowBytes(passWidth, pngBitsPerPixel(decoder))));
        for (uint32_t j = 0; j < passHeight; ++j) {
            const unsigned char* row = rows.nextRow();
            if (!row) return false;
            convert(row, passRow, passWidth);
            uint32_t y = pass.rowStart + (j << pass.rowShift);
            placePassRow(passRow, passWidth, bits + static_cast<size_t>(y) * stride, pass, bitCount);
        }
    }
    return true;
}

}  // namespace

bool pngConvert(PngResourceDecoder& decoder, unsigned char* bits, uint32_t bitsSize) {
    if (decoder.decodeState != PngDecoded || !decoder.pixels) {
        decoder.error = PngError::WrongState;
        return false;
    }
    const PngFormat* format = findFormat(decoder.colourType, decoder.bitDepth);
    if (!format) return false;
    PngWorkingSizes sizes;
    pngWorkingSizes(decoder, sizes);
    if (!pngSizesFit(sizes)) {
        decoder.error = PngError::Unsupported;
        return false;
    }
    if (sizes.bitmapBits > bitsSize) return false;
    uint64_t stride = pngBitmapStride(decoder.width, format->bitCount);

    uint32_t bitsPerPixel = pngBitsPerPixel(decoder);
    // Two row buffers with slack behind each, carved from one block.
    uint64_t half = sizes.rowBuffers / 2;
    unsigned char* rowBlock = static_cast<unsigned char*>(pngAllocate(sizes.rowBuffers));
    unsigned char* passRow = nullptr;
    if (rowBlock && decoder.interlace) passRow = static_cast<unsigned char*>(pngAllocate(sizes.passRow));
    if (!rowBlock || (decoder.interlace && !passRow)) {
        pngFree(rowBlock);
        decoder.error = PngError::OutOfMemory;
        return false;
    }

    RowReader rows = {};
    rows.next = decoder.pixels;
    rows.end = decoder.pixels + decoder.pixelsSize;
    rows.buffers[0] = rowBlock;
    rows.buffers[1] = rowBlock + half;
    rows.distance = bitsPerPixel >= 8 ? bitsPerPixel / 8 : 1;  // filter distance, at least one byte
    RowConverter convert = rowConverter(format);
    bool ok = decoder.interlace ? convertAdam7(rows, convert, decoder, bits, static_cast<uint32_t>(stride), passRow)
                                : convertPlain(rows, convert, decoder, bits, static_cast<uint32_t>(stride));
    pngFree(passRow);
    pngFree(rowBlock);
    return ok;
}
