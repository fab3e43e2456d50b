// The PNG decoder: header and chunk scan, and the inflate of the image data.
//
// A PNG file is an 8-byte signature followed by chunks: a 4-byte big-endian
// length, a 4-byte type, the data, a 4-byte CRC. IHDR comes first; IDAT
// chunks carry one zlib stream between them, in any number of pieces.
#include "media/png_decoder.h"

#include <cstdlib>
#include <cstring>

#include "media/png_convert.h"
#include "package/resource_store.h"

const char* pngErrorName(PngError error) {
    switch (error) {
        case PngError::NoError: return "NoError";
        case PngError::OutOfMemory: return "OutOfMemory";
        case PngError::AlreadyLoaded: return "AlreadyLoaded";
        case PngError::NotPng: return "NotPng";
        case PngError::Unsupported: return "Unsupported";
        case PngError::WrongState: return "WrongState";
        case PngError::BitmapFailed: return "BitmapFailed";
        case PngError::ResourceNotFound: return "ResourceNotFound";
        case PngError::ResourceUnreadable: return "ResourceUnreadable";
    }
    return "?";
}

static PngAllocationFilter allocationFilter = nullptr;

void pngSetAllocationFilter(PngAllocationFilter filter) { allocationFilter = filter; }

void* pngAllocate(uint64_t size) {
    if (size > kPngLargestBlock || (allocationFilter && !allocationFilter(size))) return nullptr;
#ifdef _WIN32
    return HeapAlloc(GetProcessHeap(), 0, static_cast<SIZE_T>(size));
#else
    return std::malloc(static_cast<size_t>(size));
#endif
}

void pngFree(void* block) {
    if (!block) return;
#ifdef _WIN32
    HeapFree(GetProcessHeap(), 0, block);
#else
    std::free(block);
#endif
}

// ---------------------------------------------------------------------------
// Geometry

// Samples per pixel by colour type 0 to 6 (types 1 and 5 do not exist).
static const uint8_t kSamplesPerPixel[7] = {1, 0, 3, 1, 2, 0, 4};

const PngAdam7Pass kAdam7Passes[7] = {
    {0, 3, 0, 3}, {4, 3, 0, 3}, {0, 2, 4, 3}, {2, 2, 0, 2}, {0, 1, 2, 2}, {1, 1, 0, 1}, {0, 0, 1, 1},
};

uint32_t pngBitsPerPixel(const PngResourceDecoder& decoder) {
    uint32_t samples = decoder.colourType < 7 ? kSamplesPerPixel[decoder.colourType] : 0;
    return samples * decoder.bitDepth;
}

bool adam7PassSize(uint32_t width, uint32_t height, int pass, uint32_t& passWidth, uint32_t& passHeight) {
    const PngAdam7Pass& p = kAdam7Passes[pass];
    if (width <= p.columnStart || height <= p.rowStart) return false;
    passWidth = ((width - p.columnStart - 1) >> p.columnShift) + 1;
    passHeight = ((height - p.rowStart - 1) >> p.rowShift) + 1;
    return true;
}

// size += (rowBytes(n) + 1) * rows, false past 32 bits.
static bool addRows(uint64_t& size, uint32_t n, uint32_t rows, uint32_t bitsPerPixel) {
    uint64_t row = pngRowBytes(n, bitsPerPixel) + 1;  // below 2^36
    if (row > UINT32_MAX || (rows != 0 && row > UINT32_MAX / rows)) return false;
    size += row * rows;
    return size <= UINT32_MAX;
}

bool inflatedSize(const PngResourceDecoder& decoder, uint32_t& size) {
    uint32_t bitsPerPixel = pngBitsPerPixel(decoder);
    uint64_t total = 0;
    if (decoder.interlace == 0) {
        if (!addRows(total, decoder.width, decoder.height, bitsPerPixel)) return false;
    } else {
        for (int pass = 0; pass < 7; ++pass) {
            uint32_t passWidth, passHeight;
            if (!adam7PassSize(decoder.width, decoder.height, pass, passWidth, passHeight)) continue;
            if (!addRows(total, passWidth, passHeight, bitsPerPixel)) return false;
        }
    }
    size = static_cast<uint32_t>(total);
    return true;
}

// ---------------------------------------------------------------------------
// Chunks

static uint32_t bigEndian32(const unsigned char* p) {
    return (uint32_t(p[0]) << 24) | (uint32_t(p[1]) << 16) | (uint32_t(p[2]) << 8) | uint32_t(p[3]);
}

static bool typeIs(const unsigned char* type, const char* name) { return std::memcmp(type, name, 4) == 0; }

// The chunk at cursor, which must lie whole (12 bytes plus its data) inside
// the size bytes at data. Its type is matched with the case of its first
// letter ignored.
static bool readChunkAt(const unsigned char* data, uint32_t size, const unsigned char* cursor, PngChunkInfo& out) {
    if (cursor < data || cursor >= data + size) return false;
    uint32_t remaining = static_cast<uint32_t>(data + size - cursor);
    if (remaining < 12) return false;
    uint32_t length = bigEndian32(cursor);
    if (length > remaining - 12) return false;
    unsigned char type[4] = {static_cast<unsigned char>(cursor[4] & ~0x20), cursor[5], cursor[6], cursor[7]};
    if (typeIs(type, "IHDR")) {
        out.kind = PngChunkHeader;
    } else if (typeIs(type, "IDAT")) {
        out.kind = PngChunkImageData;
    } else if (typeIs(type, "PLTE")) {
        out.kind = PngChunkPalette;
    } else if (typeIs(type, "IEND")) {
        out.kind = PngChunkEnd;
    } else {
        out.kind = (cursor[4] & 0x20) ? PngChunkAncillary : PngChunkOtherCritical;
    }
    out.length = length;
    out.crc = bigEndian32(cursor + 8 + length);
    return true;
}

bool readChunkHeader(const PngResourceDecoder& decoder, PngChunkInfo& out) {
    return readChunkAt(decoder.data, decoder.dataSize, decoder.chunkCursor, out);
}

static bool fail(PngResourceDecoder& decoder, PngError error) {
    decoder.error = error;
    return false;
}

static const unsigned char kSignature[8] = {0x89, 0x50, 0x4E, 0x47, 0x0D, 0x0A, 0x1A, 0x0A};

// IHDR data: width (4), height (4), bit depth, colour type, compression
// method, filter method, interlace method.
enum { kHeaderDataSize = 13, kHeaderOffset = 16 };

// Pictures whose scanlines, bitmap or row buffers the player could not hold.
static bool sizesFit(const PngResourceDecoder& decoder) {
    if (decoder.width > INT32_MAX || decoder.height > INT32_MAX) return false;
    PngWorkingSizes sizes;
    pngWorkingSizes(decoder, sizes);
    return pngSizesFit(sizes);
}

bool parseHeader(PngResourceDecoder& decoder) {
    decoder.chunkCursor = nullptr;
    decoder.header = nullptr;
    decoder.firstIdat = nullptr;
    decoder.palette = nullptr;
    decoder.error = PngError::NoError;

    if (decoder.dataSize < 16 || std::memcmp(decoder.data, kSignature, 8) != 0) return fail(decoder, PngError::NotPng);
    PngChunkInfo chunk;
    decoder.chunkCursor = decoder.data + 8;
    // The IHDR's length is not examined, but its 13 bytes must be in the file.
    if (!readChunkHeader(decoder, chunk) || chunk.kind != PngChunkHeader ||
        decoder.dataSize < kHeaderOffset + kHeaderDataSize)
        return fail(decoder, PngError::NotPng);
    decoder.header = decoder.data + kHeaderOffset;
    decoder.width = bigEndian32(decoder.header);
    decoder.height = bigEndian32(decoder.header + 4);
    if (decoder.width == 0 || decoder.height == 0) return fail(decoder, PngError::NotPng);

    // Every chunk after IHDR, up to the first that is not whole; IEND does
    // not end the scan.
    for (;;) {
        decoder.chunkCursor += 12 + static_cast<size_t>(chunk.length);
        if (!readChunkHeader(decoder, chunk)) break;
        if (chunk.kind == PngChunkOtherCritical) return fail(decoder, PngError::Unsupported);
        if (chunk.kind == PngChunkPalette && !decoder.palette) {
            decoder.palette = decoder.chunkCursor + 8;
            decoder.paletteCount = chunk.length / 3;
        } else if (chunk.kind == PngChunkImageData && !decoder.firstIdat) {
            decoder.firstIdat = decoder.chunkCursor;
        }
    }

    decoder.bitDepth = decoder.header[8];
    decoder.colourType = decoder.header[9];
    decoder.interlace = decoder.header[12];
    if (pngBitmapBitCount(decoder.colourType, decoder.bitDepth) == 0 || decoder.header[10] != 0 ||
        decoder.header[11] != 0 || decoder.interlace > 1)
        return fail(decoder, PngError::Unsupported);
    if (decoder.colourType == 3 && !decoder.palette) return fail(decoder, PngError::Unsupported);
    if (!sizesFit(decoder)) return fail(decoder, PngError::Unsupported);
    return true;
}

// ---------------------------------------------------------------------------
// Inflate: a zlib stream (RFC 1950) of DEFLATE blocks (RFC 1951), written
// straight into pixels.

namespace {

enum {
    kMaxCodeLength = 15,
    kMaxLiteralCodes = 286,  // literal/length symbols a dynamic block may give lengths for
    kMaxDistanceCodes = 30,
    kFixedLiteralCodes = 288,
};

// The byte source: the data of the IDAT chunk being read, then of the IDAT
// chunks that follow it directly. Once it has ended every byte reads as 0.
struct IdatReader {
    const unsigned char* next;  // next byte of the current chunk's data
    const unsigned char* end;   // end of that data
    const unsigned char* data;  // the whole file
    uint32_t dataSize;
    bool ended;
};

// Moves on to the chunk after the current one (past its CRC) if it is an IDAT
// chunk, its type compared with the case of its last letter ignored.
// Chunks of length 0 are passed over. False when the stream has ended.
bool nextIdatChunk(IdatReader& in) {
    while (!in.ended) {
        const unsigned char* cursor = in.end + 4;
        PngChunkInfo chunk;
        if (!readChunkAt(in.data, in.dataSize, cursor, chunk) || cursor[4] != 'I' || cursor[5] != 'D' ||
            cursor[6] != 'A' || (cursor[7] & ~0x20) != 'T') {
            in.ended = true;
            break;
        }
        in.next = cursor + 8;
        in.end = in.next + chunk.length;
        if (in.next != in.end) return true;
    }
    in.next = in.end = nullptr;
    return false;
}

// The next byte of the stream; 0, and false, once it has ended.
bool nextIdatByte(IdatReader& in, unsigned& byte) {
    if (in.next == in.end && !nextIdatChunk(in)) {
        byte = 0;
        return false;
    }
    byte = *in.next++;
    return true;
}

// Copies n bytes of the stream to out; false, with zeros for the missing
// bytes, when the stream ends first.
bool copyIdatBytes(IdatReader& in, unsigned char* out, uint32_t n) {
    while (n > 0) {
        if (in.next == in.end && !nextIdatChunk(in)) {
            std::memset(out, 0, n);
            return false;
        }
        uint32_t take = static_cast<uint32_t>(in.end - in.next);
        if (take > n) take = n;
        std::memcpy(out, in.next, take);
        in.next += take;
        out += take;
        n -= take;
    }
    return true;
}

// A canonical Huffman code, decoded one bit at a time against per-length
// limits: the first len bits of a code, read first bit most significant, form
// a complete code when they lie below the limit of length len (the first code
// of that length plus the number of its codes); the symbol is then
// symbol[offset[len] + code]. The limits are kept shifted to 16 bits, so that
// the len-bit prefix of the next 16 bits can be compared with them without
// taking it apart: prefix < limit exactly when next16 < limit << (16 - len).
struct HuffmanCode {
    uint32_t limit[kMaxCodeLength + 2];  // shifted; limit[16] = 0x10000 ends every search
    int offset[kMaxCodeLength + 1];
    uint32_t shortest;                   // length of the shortest code (1 when there is none)
    uint16_t symbol[kFixedLiteralCodes];
};

// Builds the code of n symbols from their code lengths (0: symbol unused).
// Returns 0 for a complete code, a positive number for an incomplete one and
// a negative number for an over-full one.
int buildCode(HuffmanCode& code, const uint8_t* lengths, int n) {
    int count[kMaxCodeLength + 1] = {0};
    for (int s = 0; s < n; ++s) ++count[lengths[s]];
    int left = 1;  // codes still free at the current length
    for (int len = 1; len <= kMaxCodeLength; ++len) {
        left = (left << 1) - count[len];
        if (left < 0) return left;
    }
    // Codes of one length are consecutive; the first code of a length is the
    // limit of the length before, doubled.
    int next[kMaxCodeLength + 1];
    int first = 0;
    int index = 0;
    code.shortest = 0;
    for (int len = 1; len <= kMaxCodeLength; ++len) {
        code.limit[len] = static_cast<uint32_t>(first + count[len]) << (16 - len);
        code.offset[len] = index - first;
        next[len] = index;
        index += count[len];
        first = (first + count[len]) << 1;
        if (count[len] && !code.shortest) code.shortest = static_cast<uint32_t>(len);
    }
    if (!code.shortest) code.shortest = 1;
    code.limit[0] = 0;
    code.limit[kMaxCodeLength + 1] = 0x10000;
    code.offset[0] = 0;
    for (int s = 0; s < n; ++s)
        if (lengths[s]) code.symbol[next[lengths[s]]++] = static_cast<uint16_t>(s);
    return left;
}

// An incomplete code is allowed only when it has at most one code (of length
// 1): a block without matches may carry a single distance code, or none.
bool usableCode(int built, const uint8_t* lengths, int n) {
    if (built == 0) return true;
    if (built < 0) return false;
    int used = 0;
    for (int s = 0; s < n; ++s) {
        if (lengths[s] > 1) return false;
        used += lengths[s];
    }
    return used <= 1;
}

struct FixedCodes {
    HuffmanCode literals;
    HuffmanCode distances;
};

// The codes of block type 1: literal/length lengths 8 for 0-143, 9 for
// 144-255, 7 for 256-279 and 8 for 280-287; 5-bit distance codes (30 and 31
// are never valid).
const FixedCodes& fixedCodes() {
    static const FixedCodes codes = [] {
        FixedCodes made;
        uint8_t lengths[kFixedLiteralCodes];
        int s = 0;
        for (; s < 144; ++s) lengths[s] = 8;
        for (; s < 256; ++s) lengths[s] = 9;
        for (; s < 280; ++s) lengths[s] = 7;
        for (; s < kFixedLiteralCodes; ++s) lengths[s] = 8;
        buildCode(made.literals, lengths, kFixedLiteralCodes);
        for (s = 0; s < kMaxDistanceCodes; ++s) lengths[s] = 5;
        buildCode(made.distances, lengths, kMaxDistanceCodes);
        return made;
    }();
    return codes;
}

// Match lengths of symbols 257-285 and distances of symbols 0-29.
const uint16_t kLengthBase[29] = {3,  4,  5,  6,  7,  8,  9,  10, 11,  13,  15,  17,  19,  23, 27,
                                  31, 35, 43, 51, 59, 67, 83, 99, 115, 131, 163, 195, 227, 258};
const uint16_t kDistanceBase[30] = {1,   2,   3,   4,   5,   7,    9,    13,   17,   25,   33,   49,   65,    97,    129,
                                    193, 257, 385, 513, 769, 1025, 1537, 2049, 3073, 4097, 6145, 8193, 12289, 16385, 24577};

// Extra bits of a length symbol (257-285) and of a distance symbol (0-29).
inline uint32_t lengthExtraBits(int symbol) { return symbol >= 265 && symbol <= 284 ? ((symbol - 265) >> 2) + 1 : 0; }
inline uint32_t distanceExtraBits(int symbol) { return symbol >= 4 ? (symbol - 2) >> 1 : 0; }

// The order in which a dynamic block gives the lengths of the code length code.
const uint8_t kCodeLengthOrder[19] = {16, 17, 18, 0, 8, 7, 9, 6, 10, 5, 11, 4, 12, 3, 13, 2, 14, 1, 15};

// The bit reader. DEFLATE packs its bits from the least significant bit of
// each byte; the reader keeps the next ones at the top of a 64-bit word in the
// order they come (every byte goes in reversed). A Huffman code, first bit
// most significant, can then be compared with the per-length limits as it
// stands; a number, first bit least significant, is reversed as it is taken.
// Kept in locals by the loops that use it, so that the bytes they write cannot
// be taken to change it.
// Past the end of the stream it reads zero bits, and counts them: a stream
// that uses one of them is cut short, and fails.
struct BitReader {
    uint64_t bits;     // next bit in bit 63
    uint32_t count;    // bits held
    uint32_t padding;  // of which the last ones come from past the end
};

inline bool usedPadding(const BitReader& r) { return r.count < r.padding; }

struct Inflater {
    IdatReader in;
    BitReader reader;
    unsigned char* out;
    uint32_t outSize;
    uint32_t outCount;
};

inline uint32_t reverse16(uint32_t x) {
    x = ((x >> 1) & 0x5555) | ((x & 0x5555) << 1);
    x = ((x >> 2) & 0x3333) | ((x & 0x3333) << 2);
    x = ((x >> 4) & 0x0F0F) | ((x & 0x0F0F) << 4);
    return ((x >> 8) & 0x00FF) | ((x & 0x00FF) << 8);
}

// Eight bytes in stream order: the first byte on top, each byte reversed.
inline uint64_t loadStreamOrder(const unsigned char* p) {
    uint64_t x;
#if defined(__GNUC__) && defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
    std::memcpy(&x, p, 8);
    x = __builtin_bswap64(x);
#else
    x = 0;
    for (int i = 0; i < 8; ++i) x = (x << 8) | p[i];
#endif
    x = ((x >> 1) & 0x5555555555555555u) | ((x & 0x5555555555555555u) << 1);
    x = ((x >> 2) & 0x3333333333333333u) | ((x & 0x3333333333333333u) << 2);
    return ((x >> 4) & 0x0F0F0F0F0F0F0F0Fu) | ((x & 0x0F0F0F0F0F0F0F0Fu) << 4);
}

// Byte by byte, across chunk boundaries and past the end of the stream.
#if defined(__GNUC__)
__attribute__((noinline))
#endif
BitReader refillSlowly(IdatReader& in, BitReader r) {
    while (r.count < 56) {
        unsigned byte;
        if (!nextIdatByte(in, byte)) r.padding += 8;
        r.bits |= uint64_t(reverse16(byte) >> 8) << (56 - r.count);
        r.count += 8;
    }
    return r;
}

// Tops the reader up to at least 56 bits: enough for a whole match (15 + 5 +
// 15 + 13 bits).
inline void refill(BitReader& r, IdatReader& in) {
    if (in.end - in.next >= 8) {
        // Eight bytes at once; the bits below the new count are the stream's
        // next bits too, so or-ing them in again later changes nothing.
        r.bits |= loadStreamOrder(in.next) >> r.count;
        in.next += (63 - r.count) >> 3;
        r.count |= 56;
        return;
    }
    r = refillSlowly(in, r);
}

inline void need(BitReader& r, IdatReader& in, uint32_t n) {
    if (r.count < n) refill(r, in);
}

// A number of n bits (at most 16), first bit least significant; the reader
// must hold them.
inline uint32_t takeBits(BitReader& r, uint32_t n) {
    uint32_t value = reverse16(static_cast<uint32_t>(r.bits >> 48)) & ((1u << n) - 1);
    r.bits <<= n;
    r.count -= n;
    return value;
}

// One symbol of code: the code read so far grows by one bit per length
// until it lies below that length's limit. -1 when no code of up to 15 bits
// matches (an incomplete code). The reader must hold 15 bits.
inline int decodeSymbol(BitReader& r, const HuffmanCode& code) {
    uint32_t next16 = static_cast<uint32_t>(r.bits >> 48);
    uint32_t len = code.shortest;  // no shorter code can match: their limits are 0
    while (next16 >= code.limit[len]) ++len;
    if (len > kMaxCodeLength) return -1;
    r.bits <<= len;
    r.count -= len;
    return code.symbol[code.offset[len] + static_cast<int>(next16 >> (16 - len))];
}

// A match of length bytes from distance back; the caller has checked that
// both lie inside the buffer. Overlapping matches repeat their bytes.
inline void copyMatch(unsigned char* to, uint32_t distance, uint32_t length) {
    const unsigned char* from = to - distance;
    if (distance >= length) {
        std::memcpy(to, from, length);
    } else if (distance == 1) {
        std::memset(to, *from, length);
    } else {
        for (uint32_t i = 0; i < length; ++i) to[i] = from[i];
    }
}

// The symbols of one compressed block, up to its end-of-block symbol.
bool inflateCodes(Inflater& s, const HuffmanCode& literals, const HuffmanCode& distances) {
    BitReader r = s.reader;
    unsigned char* const start = s.out;
    unsigned char* out = s.out + s.outCount;
    unsigned char* const end = s.out + s.outSize;
    bool ok = false;
    for (;;) {
        need(r, s.in, 15 + 5);  // a literal/length code and its extra bits
        int symbol = decodeSymbol(r, literals);
        if (symbol < 256) {
            if (symbol < 0 || out == end) break;
            *out++ = static_cast<unsigned char>(symbol);
            continue;
        }
        if (symbol == 256) {
            ok = true;
            break;
        }
        if (symbol > 285) break;
        uint32_t length = kLengthBase[symbol - 257] + takeBits(r, lengthExtraBits(symbol));
        need(r, s.in, 15 + 13);  // a distance code and its extra bits
        int distanceSymbol = decodeSymbol(r, distances);
        if (distanceSymbol < 0 || distanceSymbol >= kMaxDistanceCodes) break;
        uint32_t distance = kDistanceBase[distanceSymbol] + takeBits(r, distanceExtraBits(distanceSymbol));
        if (distance > static_cast<uint32_t>(out - start) || length > static_cast<uint32_t>(end - out)) break;
        copyMatch(out, distance, length);
        out += length;
    }
    s.reader = r;
    s.outCount = static_cast<uint32_t>(out - start);
    return ok;
}

// Block type 0: from the next byte boundary, LEN and NLEN (its one's
// complement), then LEN bytes as they are.
bool inflateStored(Inflater& s) {
    BitReader& r = s.reader;
    takeBits(r, r.count & 7);
    need(r, s.in, 32);
    uint32_t length = takeBits(r, 16);
    uint32_t check = takeBits(r, 16);
    if (length != (~check & 0xFFFF)) return false;
    if (length > s.outSize - s.outCount) return false;
    // Whole bytes still in the reader come first.
    while (length > 0 && r.count >= 8) {
        s.out[s.outCount++] = static_cast<unsigned char>(takeBits(r, 8));
        --length;
    }
    if (usedPadding(r)) return false;
    if (length > 0) {
        r.bits = 0;  // drops read-ahead bits: the bytes are taken again below
        r.count = 0;
        r.padding = 0;
        if (!copyIdatBytes(s.in, s.out + s.outCount, length)) return false;
        s.outCount += length;
    }
    return true;
}

// Block type 2: the code length code, then the code lengths of the
// literal/length and distance codes as one sequence, run-length coded.
bool inflateDynamic(Inflater& s) {
    BitReader& r = s.reader;
    need(r, s.in, 14);
    int literalCount = static_cast<int>(takeBits(r, 5)) + 257;
    int distanceCount = static_cast<int>(takeBits(r, 5)) + 1;
    int lengthCodeCount = static_cast<int>(takeBits(r, 4)) + 4;
    if (literalCount > kMaxLiteralCodes || distanceCount > kMaxDistanceCodes) return false;

    uint8_t lengths[kMaxLiteralCodes + kMaxDistanceCodes] = {0};
    for (int i = 0; i < lengthCodeCount; ++i) {
        need(r, s.in, 3);
        lengths[kCodeLengthOrder[i]] = static_cast<uint8_t>(takeBits(r, 3));
    }
    HuffmanCode lengthCode;
    if (buildCode(lengthCode, lengths, 19) != 0) return false;  // must be complete

    int total = literalCount + distanceCount;
    for (int index = 0; index < total;) {
        need(r, s.in, 15 + 7);
        int symbol = decodeSymbol(r, lengthCode);
        if (symbol < 0) return false;
        if (symbol < 16) {
            lengths[index++] = static_cast<uint8_t>(symbol);
            continue;
        }
        uint8_t repeated = 0;
        int run;
        if (symbol == 16) {  // the previous length, 3 to 6 times
            if (index == 0) return false;
            repeated = lengths[index - 1];
            run = 3 + static_cast<int>(takeBits(r, 2));
        } else if (symbol == 17) {  // 3 to 10 zeros
            run = 3 + static_cast<int>(takeBits(r, 3));
        } else {  // 11 to 138 zeros
            run = 11 + static_cast<int>(takeBits(r, 7));
        }
        if (run > total - index) return false;
        while (run-- > 0) lengths[index++] = repeated;
    }
    if (lengths[256] == 0) return false;  // no end-of-block code

    HuffmanCode literals;
    HuffmanCode distances;
    if (!usableCode(buildCode(literals, lengths, literalCount), lengths, literalCount)) return false;
    const uint8_t* distanceLengths = lengths + literalCount;
    if (!usableCode(buildCode(distances, distanceLengths, distanceCount), distanceLengths, distanceCount))
        return false;
    return inflateCodes(s, literals, distances);
}

// The zlib header, the blocks, and nothing after them (the Adler-32 value is
// not checked). Fails unless the blocks give exactly outSize bytes from bits
// that are all in the stream.
bool inflateStream(Inflater& s) {
    BitReader& r = s.reader;
    need(r, s.in, 16);
    uint32_t method = takeBits(r, 8);
    uint32_t flags = takeBits(r, 8);
    if ((method & 0x0F) != 8 || (method >> 4) > 7 || (flags & 0x20) != 0) return false;
    for (;;) {
        need(r, s.in, 3);
        uint32_t last = takeBits(r, 1);
        uint32_t type = takeBits(r, 2);
        bool ok;
        if (type == 0) {
            ok = inflateStored(s);
        } else if (type == 1) {
            ok = inflateCodes(s, fixedCodes().literals, fixedCodes().distances);
        } else if (type == 2) {
            ok = inflateDynamic(s);
        } else {
            ok = false;
        }
        if (!ok || usedPadding(r)) return false;
        if (last) break;
    }
    return s.outCount == s.outSize;
}

}  // namespace

static bool inflate(PngResourceDecoder& decoder) {
    decoder.error = PngError::NotPng;
    PngChunkInfo chunk;
    if (!decoder.firstIdat || !readChunkAt(decoder.data, decoder.dataSize, decoder.firstIdat, chunk)) return false;
    Inflater s = {};
    s.in.data = decoder.data;
    s.in.dataSize = decoder.dataSize;
    s.in.next = decoder.firstIdat + 8;
    s.in.end = s.in.next + chunk.length;
    s.out = decoder.pixels;
    s.outSize = decoder.pixelsSize;
    if (!inflateStream(s)) return false;
    decoder.error = PngError::NoError;
    return true;
}

// ---------------------------------------------------------------------------
// Operations

bool init(PngResourceDecoder& decoder) {
    decoder = PngResourceDecoder();
    return true;
}

bool openResource(PngResourceDecoder& decoder, const ResourceStore* store, int id) {
    if (decoder.decodeState != PngEmpty || decoder.sourceState != PngNoSource)
        return fail(decoder, PngError::AlreadyLoaded);
    decoder.error = PngError::NoError;
    ResourceBytes resource = store ? store->find(KERBO_TYPE_RCDATA, id) : ResourceBytes{nullptr, 0, false};
    if (!resource.found) return fail(decoder, PngError::ResourceNotFound);
    if (!resource.bytes || resource.size == 0) return fail(decoder, PngError::ResourceUnreadable);
    decoder.data = resource.bytes;
    decoder.chunkCursor = resource.bytes;
    decoder.dataSize = resource.size;
    decoder.sourceState = PngResourceSource;
    if (!parseHeader(decoder)) {
        decoder.sourceState = PngNoSource;
        return false;
    }
    decoder.decodeState = PngLoaded;
    return true;
}

// DEFLATE turns one byte into at most 1032 (a 258-byte match in two bits);
// after the data, zero bits can add at most one stored block. A picture
// larger than that cannot be in the file, whatever it says.
static bool couldHold(const PngResourceDecoder& decoder) {
    return decoder.pixelsSize <= (uint64_t(decoder.dataSize) + 1) * 1032 + 65536;
}

bool decode(PngResourceDecoder& decoder) {
    if (decoder.decodeState != PngLoaded) return fail(decoder, PngError::WrongState);
    if (!inflatedSize(decoder, decoder.pixelsSize)) return fail(decoder, PngError::Unsupported);
    if (!couldHold(decoder)) return fail(decoder, PngError::NotPng);
    decoder.pixels = static_cast<unsigned char*>(pngAllocate(decoder.pixelsSize));
    if (!decoder.pixels) return fail(decoder, PngError::OutOfMemory);
    if (!inflate(decoder)) {
        pngFree(decoder.pixels);
        decoder.pixels = nullptr;
        return false;
    }
    decoder.decodeState = PngDecoded;
    return true;
}

bool release(PngResourceDecoder& decoder) {
    if (decoder.decodeState == PngDecoded && decoder.pixels) pngFree(decoder.pixels);
    decoder = PngResourceDecoder();
    return true;
}
