// The PNG decoder of the picture loader: reads a PNG file held in an RT_RCDATA
// resource, checks its header and chunk layout, and inflates its image data
// (a zlib stream spread over the IDAT chunks) into one buffer of filtered
// scanlines. png_convert turns that buffer into a bitmap.
//
// Accepted: the 15 colour type / bit depth pairs of the PNG format, plain or
// Adam7. Passed over: ancillary chunks (so tRNS, gAMA and the like have no
// effect), chunk CRCs, the zlib check value and the Adler-32 value. The whole
// picture is inflated into a buffer of its exact size; matches are copied from
// that buffer itself.
//
// Calling order: init, openResource, decode, makeBitmap (Windows) or the
// conversion of png_convert.h, release. release is due once openResource has
// succeeded, on every path.
#pragma once

#include <cstdint>

#include "package/platform_types.h"

class ResourceStore;

enum class PngError : uint32_t {
    NoError = 0,
    OutOfMemory = 0x1001,         // a buffer could not be allocated
    AlreadyLoaded = 0x1002,       // openResource while a source or an image is held
    NotPng = 0x2000,              // too short, no signature, no leading IHDR, a zero side,
                                  // or any failure of the inflate (malformed image data)
    Unsupported = 0x2001,         // unknown critical chunk, colour type / bit depth pair,
                                  // compression, filter or interlace method, a palette
                                  // picture without PLTE, sizes past 32-bit arithmetic
    WrongState = 0x2003,          // decode before a header, conversion before decode
    BitmapFailed = 0x2006,        // the platform refused the bitmap
    ResourceNotFound = 0x3001,    // no RT_RCDATA resource with the id
    ResourceUnreadable = 0x3002,  // the resource could not be loaded, or is empty
};

// "NotPng" and so on; "?" for a value outside the enumeration.
const char* pngErrorName(PngError error);

enum PngChunkKind : uint32_t {
    PngChunkAncillary = 0,      // first letter of the type in lower case
    PngChunkHeader = 1,         // IHDR
    PngChunkPalette = 2,        // PLTE
    PngChunkImageData = 3,      // IDAT
    PngChunkEnd = 4,            // IEND
    PngChunkOtherCritical = 5,  // first letter in upper case, none of the above
};

struct PngChunkInfo {
    uint32_t kind;    // PngChunkKind
    uint32_t length;  // of the chunk's data
    uint32_t crc;     // read, never verified
};

enum PngDecodeState : uint32_t { PngEmpty = 0, PngLoaded = 1, PngDecoded = 2 };
enum PngSourceState : uint32_t { PngNoSource = 0, PngResourceSource = 2 };

struct PngResourceDecoder {
    uint32_t width;          // from IHDR
    uint32_t height;
    PngError error;          // the last failure; NoError when a load starts
    uint32_t paletteCount;   // PLTE length / 3
    uint8_t colourType;      // 0 grey, 2 RGB, 3 palette, 4 grey + alpha, 6 RGB + alpha
    uint8_t bitDepth;        // 1, 2, 4, 8 or 16
    uint8_t interlace;       // 0 none, 1 Adam7
    const unsigned char* data;         // the file, borrowed from the resource store
    uint32_t dataSize;
    const unsigned char* chunkCursor;  // chunk being examined while the header is scanned
    unsigned char* pixels;             // filtered scanlines, owned once decoded
    uint32_t pixelsSize;
    const unsigned char* palette;      // data of the first PLTE chunk, or null
    uint32_t sourceState;              // PngSourceState
    const unsigned char* header;       // data of the IHDR chunk (data + 16)
    const unsigned char* firstIdat;    // length field of the first IDAT chunk, or null
    uint32_t decodeState;              // PngDecodeState
};

// Clears the whole record.
bool init(PngResourceDecoder& decoder);

// Finds resource id of type RT_RCDATA in store and checks its header and
// chunks. Fails with AlreadyLoaded, ResourceNotFound, ResourceUnreadable, or
// what the header scan found (NotPng, Unsupported).
bool openResource(PngResourceDecoder& decoder, const ResourceStore* store, int id);

// Inflates the image data into pixels (pixelsSize bytes, exactly). Fails with
// WrongState, OutOfMemory or NotPng; on failure pixels stays null.
bool decode(PngResourceDecoder& decoder);

// Frees pixels if the decoder holds a decoded image, then clears the record.
bool release(PngResourceDecoder& decoder);

// Internal operations, open to the tests.

// Reads the chunk at chunkCursor; false when no complete chunk is there.
bool readChunkHeader(const PngResourceDecoder& decoder, PngChunkInfo& out);

// Checks the file's signature and IHDR, and scans every chunk after it.
bool parseHeader(PngResourceDecoder& decoder);

// Bytes of the filtered scanlines of the picture described by the header
// fields (one filter byte per row; Adam7 passes without pixels count nothing).
// False when the count does not fit in 32 bits.
bool inflatedSize(const PngResourceDecoder& decoder, uint32_t& size);

// Geometry shared with the conversion.

// Bits of one PNG pixel: samples per pixel times the bit depth.
uint32_t pngBitsPerPixel(const PngResourceDecoder& decoder);

// Bytes of n pixels of bitsPerPixel bits, rounded up to whole bytes.
inline uint64_t pngRowBytes(uint64_t n, uint32_t bitsPerPixel) { return (n * bitsPerPixel + 7) / 8; }

// The seven Adam7 passes: pixel k of row j of a pass is picture pixel
// (columnStart + (k << columnShift), rowStart + (j << rowShift)).
struct PngAdam7Pass {
    uint32_t columnStart;
    uint32_t columnShift;
    uint32_t rowStart;
    uint32_t rowShift;
};
extern const PngAdam7Pass kAdam7Passes[7];

// Size of pass (0 to 6) of a width x height picture; false when the pass holds
// no pixel (width <= its column start or height <= its row start).
bool adam7PassSize(uint32_t width, uint32_t height, int pass, uint32_t& passWidth, uint32_t& passHeight);

// The process heap (malloc outside Windows); every buffer of the decoder and
// of the conversion comes from here. A block above kPngLargestBlock, or one
// the allocation filter refuses, is not allocated (null).
const uint64_t kPngLargestBlock = 0x7FFFFFFF;
void* pngAllocate(uint64_t size);
void pngFree(void* block);

// For the tests and the fuzz targets: a filter that sees the size of every
// allocation and answers false to make it fail; null (the default) lets all
// through. Process-wide.
typedef bool (*PngAllocationFilter)(uint64_t size);
void pngSetAllocationFilter(PngAllocationFilter filter);

#ifdef _WIN32
// A device-independent bitmap section of the decoded picture, made against
// the screen's device context (png_bitmap_win32.cpp). Fails with WrongState,
// BitmapFailed or OutOfMemory; a row with an unknown filter type fails it with
// the error left unchanged. The decoder stays decoded.
HBITMAP makeBitmap(PngResourceDecoder& decoder);
#endif
