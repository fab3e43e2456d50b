// Helpers of the PNG tests: pictures encoded and decoded by libpng (the
// oracle), hand-made chunks, and the player's decoder run into a plain buffer.
#pragma once

#include <png.h>
#include <zlib.h>

#include <array>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "media/png_convert.h"
#include "media/png_decoder.h"
#include "package/resource_store.h"

using Bytes = std::vector<unsigned char>;

// ---------------------------------------------------------------------------
// Hand-made files

inline void appendBigEndian(Bytes& out, uint32_t v) {
    for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<unsigned char>(v >> shift));
}

inline Bytes pngSignature() { return Bytes{0x89, 0x50, 0x4E, 0x47, 0x0D, 0x0A, 0x1A, 0x0A}; }

// A chunk with its CRC (the decoder ignores CRCs, but other readers do not).
inline void appendChunk(Bytes& out, const char* type, const Bytes& data) {
    appendBigEndian(out, static_cast<uint32_t>(data.size()));
    size_t typeAt = out.size();
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), data.begin(), data.end());
    uLong crc = crc32(0, out.data() + typeAt, static_cast<uInt>(4 + data.size()));
    appendBigEndian(out, static_cast<uint32_t>(crc));
}

inline Bytes ihdrData(uint32_t width, uint32_t height, int bitDepth, int colourType, int interlace = 0,
                      int compression = 0, int filter = 0) {
    Bytes d;
    appendBigEndian(d, width);
    appendBigEndian(d, height);
    d.push_back(static_cast<unsigned char>(bitDepth));
    d.push_back(static_cast<unsigned char>(colourType));
    d.push_back(static_cast<unsigned char>(compression));
    d.push_back(static_cast<unsigned char>(filter));
    d.push_back(static_cast<unsigned char>(interlace));
    return d;
}

inline Bytes zlibCompress(const Bytes& raw, int level = 9) {
    uLongf size = compressBound(static_cast<uLong>(raw.size()));
    Bytes out(size);
    compress2(out.data(), &size, raw.data(), static_cast<uLong>(raw.size()), level);
    out.resize(size);
    return out;
}

// A zlib stream of stored blocks of at most blockSize bytes each.
inline Bytes zlibStored(const Bytes& raw, size_t blockSize = 65535) {
    Bytes out{0x78, 0x01};
    size_t at = 0;
    do {
        size_t n = raw.size() - at < blockSize ? raw.size() - at : blockSize;
        bool last = at + n == raw.size();
        out.push_back(last ? 1 : 0);
        out.push_back(static_cast<unsigned char>(n));
        out.push_back(static_cast<unsigned char>(n >> 8));
        out.push_back(static_cast<unsigned char>(~n));
        out.push_back(static_cast<unsigned char>(~n >> 8));
        out.insert(out.end(), raw.begin() + at, raw.begin() + at + n);
        at += n;
    } while (at < raw.size());
    uLong adler = adler32(0, raw.data(), static_cast<uInt>(raw.size()));
    appendBigEndian(out, static_cast<uint32_t>(adler));
    return out;
}

// Signature, IHDR, optional PLTE, one IDAT holding stream, IEND.
inline Bytes makePng(const Bytes& ihdr, const Bytes& stream, const Bytes* plte = nullptr) {
    Bytes out = pngSignature();
    appendChunk(out, "IHDR", ihdr);
    if (plte) appendChunk(out, "PLTE", *plte);
    appendChunk(out, "IDAT", stream);
    appendChunk(out, "IEND", Bytes());
    return out;
}

// Bits written least significant first, as DEFLATE reads them.
struct BitWriter {
    Bytes bytes;
    uint32_t bitCount = 0;
    void put(uint32_t value, uint32_t n) {
        for (uint32_t i = 0; i < n; ++i, ++bitCount) {
            if (bitCount % 8 == 0) bytes.push_back(0);
            bytes.back() |= static_cast<unsigned char>(((value >> i) & 1) << (bitCount % 8));
        }
    }
    // A Huffman code: its bits go most significant first.
    void putCode(uint32_t code, uint32_t length) {
        for (uint32_t i = length; i-- > 0;) put((code >> i) & 1, 1);
    }
};

// ---------------------------------------------------------------------------
// The player's decoder

struct OurPicture {
    bool opened = false;
    bool decoded = false;
    bool converted = false;
    PngError error = PngError::NoError;
    PngBitmapInfo info = {};
    Bytes bits;
    uint32_t stride = 0;
};

inline OurPicture decodeOurs(const Bytes& file) {
    OurPicture result;
    MemoryResourceStore store;
    store.add(KERBO_TYPE_RCDATA, 1, file.data(), static_cast<uint32_t>(file.size()));
    PngResourceDecoder decoder;
    init(decoder);
    result.opened = openResource(decoder, &store, 1);
    if (result.opened) result.decoded = decode(decoder);
    if (result.decoded) {
        pngBitmapInfo(decoder, result.info);
        result.bits.assign(pngBitmapBitsSize(result.info), 0xCD);
        result.stride = static_cast<uint32_t>(pngBitmapStride(decoder.width, result.info.header.biBitCount));
        result.converted = pngConvert(decoder, result.bits.data(), static_cast<uint32_t>(result.bits.size()));
    }
    result.error = decoder.error;
    release(decoder);
    return result;
}

// One bitmap pixel as its bytes (B, G, R[, A]) or its index / grey level.
inline std::vector<int> bitmapPixel(const OurPicture& p, uint32_t x, uint32_t y) {
    const unsigned char* row = p.bits.data() + size_t(y) * p.stride;
    switch (p.info.header.biBitCount) {
        case 1: return {(row[x >> 3] >> (7 - (x & 7))) & 1};
        case 4: return {(row[x >> 1] >> ((x & 1) ? 0 : 4)) & 0x0F};
        case 8: return {row[x]};
        case 24: return {row[3 * x], row[3 * x + 1], row[3 * x + 2]};
        default: return {row[4 * x], row[4 * x + 1], row[4 * x + 2], row[4 * x + 3]};
    }
}

// ---------------------------------------------------------------------------
// libpng, the oracle

struct LibpngPicture {
    bool ok = false;
    uint32_t width = 0, height = 0;
    int colourType = 0, bitDepth = 0;
    std::vector<Bytes> rows;  // as stored in PNG: samples packed, 16-bit big-endian
    Bytes palette;            // RGB triples
};

struct MemoryReader {
    const Bytes* file;
    size_t at;
};

inline void readFromMemory(png_structp png, png_bytep out, png_size_t n) {
    MemoryReader* r = static_cast<MemoryReader*>(png_get_io_ptr(png));
    if (r->at + n > r->file->size()) png_error(png, "read past end");
    std::memcpy(out, r->file->data() + r->at, n);
    r->at += n;
}

inline void quietWarning(png_structp, png_const_charp) {}

inline LibpngPicture decodeLibpng(const Bytes& file) {
    LibpngPicture p;
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, quietWarning);
    png_infop info = png_create_info_struct(png);
    MemoryReader reader{&file, 0};
    std::vector<png_bytep> pointers;
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_read_struct(&png, &info, nullptr);
        p.ok = false;
        return p;
    }
    png_set_read_fn(png, &reader, readFromMemory);
    png_set_crc_action(png, PNG_CRC_QUIET_USE, PNG_CRC_QUIET_USE);
    png_read_info(png, info);
    p.width = png_get_image_width(png, info);
    p.height = png_get_image_height(png, info);
    p.colourType = png_get_color_type(png, info);
    p.bitDepth = png_get_bit_depth(png, info);
    png_colorp plte;
    int count = 0;
    if (png_get_PLTE(png, info, &plte, &count))
        for (int i = 0; i < count; ++i) p.palette.insert(p.palette.end(), {plte[i].red, plte[i].green, plte[i].blue});
    png_set_interlace_handling(png);
    png_read_update_info(png, info);
    size_t rowBytes = png_get_rowbytes(png, info);
    p.rows.assign(p.height, Bytes(rowBytes));
    for (auto& row : p.rows) pointers.push_back(row.data());
    png_read_image(png, pointers.data());
    png_destroy_read_struct(&png, &info, nullptr);
    p.ok = true;
    return p;
}

// What the bitmap should hold for pixel x of a libpng row, reduced as the
// conversion reduces it (high bytes, alpha of grey dropped, B G R order).
inline std::vector<int> expectedPixel(const LibpngPicture& p, uint32_t x, uint32_t y) {
    const Bytes& row = p.rows[y];
    int depth = p.bitDepth;
    auto sample = [&](uint32_t index) -> int {  // sample index of the row, high byte for 16 bits
        if (depth >= 8) return row[index * (depth / 8)];
        uint32_t bit = index * depth;
        return (row[bit >> 3] >> (8 - depth - (bit & 7))) & ((1 << depth) - 1);
    };
    switch (p.colourType) {
        case 0: case 3: return {sample(x)};
        case 4: return {sample(2 * x)};
        case 2: return {sample(3 * x + 2), sample(3 * x + 1), sample(3 * x)};
        default: return {sample(4 * x + 2), sample(4 * x + 1), sample(4 * x), sample(4 * x + 3)};
    }
}

struct EncodeOptions {
    int filters = PNG_ALL_FILTERS;  // PNG_FILTER_NONE ... or all of them
    int level = 6;                  // 0 gives stored blocks
    int strategy = Z_DEFAULT_STRATEGY;
    size_t idatSize = 8192;         // zlib buffer: the size of the IDAT chunks
};

inline void writeToMemory(png_structp png, png_bytep data, png_size_t n) {
    Bytes* out = static_cast<Bytes*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + n);
}
inline void flushMemory(png_structp) {}

// rows hold samples as PNG stores them (packed, 16-bit big-endian).
inline Bytes encodeLibpng(uint32_t width, uint32_t height, int colourType, int bitDepth, int interlace,
                          const std::vector<Bytes>& rows, const Bytes& palette, const EncodeOptions& options = {}) {
    Bytes out;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, quietWarning);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return Bytes();
    }
    png_set_write_fn(png, &out, writeToMemory, flushMemory);
    png_set_IHDR(png, info, width, height, bitDepth, colourType,
                 interlace ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    std::vector<png_color> plte;
    for (size_t i = 0; i + 2 < palette.size(); i += 3)
        plte.push_back(png_color{palette[i], palette[i + 1], palette[i + 2]});
    if (colourType == 3) png_set_PLTE(png, info, plte.data(), static_cast<int>(plte.size()));
    png_set_filter(png, 0, options.filters);
    png_set_compression_level(png, options.level);
    png_set_compression_strategy(png, options.strategy);
    png_set_compression_buffer_size(png, options.idatSize);
    png_write_info(png, info);
    std::vector<png_bytep> pointers;
    for (const Bytes& row : rows) pointers.push_back(const_cast<png_bytep>(row.data()));
    png_write_image(png, pointers.data());
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    return out;
}

// A test picture: smooth ramps with noise and repeated stretches, so that
// every filter and both literals and matches come up. Samples of every bit
// depth; palette indices stay inside a palette of 2^depth entries (at most
// 256), which paletteOut receives.
inline std::vector<Bytes> makeRows(uint32_t width, uint32_t height, int colourType, int bitDepth, uint32_t seed,
                                   Bytes* paletteOut) {
    static const int samples[7] = {1, 0, 3, 1, 2, 0, 4};
    uint32_t bitsPerPixel = samples[colourType] * bitDepth;
    size_t rowBytes = (size_t(width) * bitsPerPixel + 7) / 8;
    std::vector<Bytes> rows(height, Bytes(rowBytes));
    uint32_t state = seed * 2654435761u + 1;
    auto random = [&] {
        state = state * 1103515245u + 12345u;
        return state >> 16;
    };
    for (uint32_t y = 0; y < height; ++y) {
        if (y % 5 == 3) {  // a repeated row now and then
            rows[y] = rows[y - 1];
            continue;
        }
        for (size_t i = 0; i < rowBytes; ++i) {
            uint32_t smooth = (i * 3 + y * 5) & 0xFF;
            rows[y][i] = static_cast<unsigned char>((random() % 4 == 0) ? random() : smooth);
        }
    }
    if (paletteOut) {
        paletteOut->clear();
        uint32_t entries = colourType == 3 ? (1u << bitDepth) : 0;
        for (uint32_t i = 0; i < entries * 3; ++i) paletteOut->push_back(static_cast<unsigned char>(random()));
    }
    // Padding bits of the last byte stay zero, as encoders write them.
    uint32_t usedBits = (width * bitsPerPixel) % 8;
    if (usedBits)
        for (auto& row : rows) row.back() &= static_cast<unsigned char>(0xFF << (8 - usedBits));
    return rows;
}

inline Bytes readFile(const std::string& path) {
    Bytes out;
    FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return out;
    unsigned char buffer[65536];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0) out.insert(out.end(), buffer, buffer + n);
    std::fclose(f);
    return out;
}
