// The decoder on hand-made files: header and chunk rules, states, and every
// kind of malformed image data, which must fail with its code and never read
// or write outside its buffers (the ASan build checks the latter).
#include <gtest/gtest.h>

#include <functional>

#include "png_test_support.h"

namespace {

// ---------------------------------------------------------------------------
// A small DEFLATE writer for hand-made streams.

// Canonical codes for a list of code lengths (RFC 1951, 3.2.2).
std::vector<uint32_t> canonicalCodes(const std::vector<int>& lengths) {
    int count[16] = {0};
    for (int len : lengths) ++count[len];
    count[0] = 0;
    uint32_t next[16] = {0};
    uint32_t code = 0;
    for (int len = 1; len < 16; ++len) {
        code = (code + count[len - 1]) << 1;
        next[len] = code;
    }
    std::vector<uint32_t> codes(lengths.size());
    for (size_t s = 0; s < lengths.size(); ++s)
        if (lengths[s]) codes[s] = next[lengths[s]]++;
    return codes;
}

struct Code {
    std::vector<int> lengths;
    std::vector<uint32_t> codes;
    explicit Code(std::vector<int> l) : lengths(std::move(l)), codes(canonicalCodes(lengths)) {}
    void put(BitWriter& w, int symbol) const { w.putCode(codes[symbol], static_cast<uint32_t>(lengths[symbol])); }
};

Code fixedLiteralCode() {
    std::vector<int> l(288);
    for (int s = 0; s < 288; ++s) l[s] = s < 144 ? 8 : s < 256 ? 9 : s < 280 ? 7 : 8;
    return Code(l);
}

// The code length code of the dynamic blocks below: symbols 0-12 get 4 bits,
// 13-18 get 5 (a complete code).
const int kCodeLengthOrder[19] = {16, 17, 18, 0, 8, 7, 9, 6, 10, 5, 11, 4, 12, 3, 13, 2, 14, 1, 15};
Code codeLengthCode() {
    std::vector<int> l(19);
    for (int s = 0; s < 19; ++s) l[s] = s <= 12 ? 4 : 5;
    return Code(l);
}

struct LengthItem {
    int symbol;  // 0-15 a length, 16-18 a run
    uint32_t extra = 0;
};

// A final dynamic block header: counts, the code length code, then items.
void putDynamicHeader(BitWriter& w, int literalCount, int distanceCount, const std::vector<LengthItem>& items,
                      const Code& lengthCode = codeLengthCode()) {
    w.put(1, 1);
    w.put(2, 2);
    w.put(static_cast<uint32_t>(literalCount - 257), 5);
    w.put(static_cast<uint32_t>(distanceCount - 1), 5);
    w.put(19 - 4, 4);
    for (int i = 0; i < 19; ++i) w.put(static_cast<uint32_t>(lengthCode.lengths[kCodeLengthOrder[i]]), 3);
    for (const LengthItem& item : items) {
        lengthCode.put(w, item.symbol);
        if (item.symbol == 16) w.put(item.extra, 2);
        if (item.symbol == 17) w.put(item.extra, 3);
        if (item.symbol == 18) w.put(item.extra, 7);
    }
}

// Items giving each length one by one.
std::vector<LengthItem> plainLengths(const std::vector<int>& lengths) {
    std::vector<LengthItem> items;
    for (int len : lengths) items.push_back({len});
    return items;
}

Bytes zlibWrap(const Bytes& deflate) {
    Bytes out{0x78, 0x01};
    out.insert(out.end(), deflate.begin(), deflate.end());
    appendBigEndian(out, 0xDEADBEEF);  // Adler-32, not checked
    return out;
}

// A grey 8-bit picture whose filtered scanlines are width x height bytes plus
// one filter byte per row.
Bytes greyPicture(uint32_t width, uint32_t height, const Bytes& stream) {
    return makePng(ihdrData(width, height, 8, 0), stream);
}

struct Outcome {
    bool opened;
    bool decoded;
    PngError error;
    Bytes pixels;
};

Outcome run(const Bytes& file) {
    MemoryResourceStore store;
    store.add(KERBO_TYPE_RCDATA, 7, file.data(), static_cast<uint32_t>(file.size()));
    PngResourceDecoder d;
    init(d);
    Outcome o{openResource(d, &store, 7), false, PngError::NoError, {}};
    if (o.opened) o.decoded = decode(d);
    o.error = d.error;
    if (o.decoded) o.pixels.assign(d.pixels, d.pixels + d.pixelsSize);
    if (!o.decoded) {
        EXPECT_EQ(d.pixels, nullptr);
    }
    release(d);
    return o;
}

const Bytes kRawGrey3x2 = {0, 10, 20, 30, 0, 40, 50, 60};  // two None rows of 3 pixels

}  // namespace

TEST(PngDecoder, HeaderFailures) {
    Bytes good = greyPicture(3, 2, zlibCompress(kRawGrey3x2));
    Bytes badSignature = good;
    badSignature[1] = 'Q';
    Bytes paletteFirst = pngSignature();
    appendChunk(paletteFirst, "PLTE", Bytes(6, 0));
    appendChunk(paletteFirst, "IHDR", ihdrData(3, 2, 8, 0));
    Bytes truncatedHeader(good.begin(), good.begin() + 30);  // IHDR runs past the end
    Bytes unknownCritical = pngSignature();
    appendChunk(unknownCritical, "IHDR", ihdrData(3, 2, 8, 0));
    appendChunk(unknownCritical, "QUUX", Bytes(3, 0));
    appendChunk(unknownCritical, "IDAT", zlibCompress(kRawGrey3x2));
    Bytes criticalAfterEnd = good;
    appendChunk(criticalAfterEnd, "ZZZZ", Bytes());
    Bytes withoutPalette = makePng(ihdrData(3, 2, 8, 3), zlibCompress(kRawGrey3x2));

    struct Case {
        const char* name;
        Bytes file;
        PngError error;
    };
    const Case cases[] = {
        {"15 bytes", Bytes(good.begin(), good.begin() + 15), PngError::NotPng},
        {"wrong signature", badSignature, PngError::NotPng},
        {"PLTE before IHDR", paletteFirst, PngError::NotPng},
        {"IHDR cut short", truncatedHeader, PngError::NotPng},
        {"width 0", greyPicture(0, 2, zlibCompress(kRawGrey3x2)), PngError::NotPng},
        {"height 0", greyPicture(3, 0, zlibCompress(kRawGrey3x2)), PngError::NotPng},
        {"interlace 2", makePng(ihdrData(3, 2, 8, 0, 2), Bytes()), PngError::Unsupported},
        {"filter method 1", makePng(ihdrData(3, 2, 8, 0, 0, 0, 1), Bytes()), PngError::Unsupported},
        {"compression method 1", makePng(ihdrData(3, 2, 8, 0, 0, 1), Bytes()), PngError::Unsupported},
        {"colour type 1", makePng(ihdrData(3, 2, 8, 1), Bytes()), PngError::Unsupported},
        {"palette of 16 bits", makePng(ihdrData(3, 2, 16, 3), Bytes()), PngError::Unsupported},
        {"grey of 3 bits", makePng(ihdrData(3, 2, 3, 0), Bytes()), PngError::Unsupported},
        {"RGB of 4 bits", makePng(ihdrData(3, 2, 4, 2), Bytes()), PngError::Unsupported},
        {"unknown critical chunk", unknownCritical, PngError::Unsupported},
        {"critical chunk after IEND", criticalAfterEnd, PngError::Unsupported},
        // Only the first letter's case is ignored when chunks are classified.
        {"IDAt", [&] {
             Bytes f = greyPicture(3, 2, zlibCompress(kRawGrey3x2));
             appendChunk(f, "IDAt", Bytes(2, 0));
             return f;
         }(),
         PngError::Unsupported},
        {"palette picture without PLTE", withoutPalette, PngError::Unsupported},
        {"width past 2^31", makePng(ihdrData(0x80000000u, 1, 1, 0), Bytes()), PngError::Unsupported},
        {"scanlines past 4 GiB", makePng(ihdrData(65536, 65536, 16, 6), Bytes()), PngError::Unsupported},
        {"bitmap past 4 GiB", makePng(ihdrData(0x7FFFFFFF, 5, 2, 0), Bytes()), PngError::Unsupported},
        // 2^31 bytes a row: the conversion's row block would wrap to 16 bytes
        // in 32-bit arithmetic.
        {"grey and alpha rows of 2 GiB", makePng(ihdrData(1u << 29, 1, 16, 4), Bytes()), PngError::Unsupported},
        {"row buffers past 2 GiB", makePng(ihdrData(1u << 28, 1, 16, 4), Bytes()), PngError::Unsupported},
        {"bitmap past 2 GiB", makePng(ihdrData(65536, 65536, 2, 0), Bytes()), PngError::Unsupported},
    };
    for (const Case& c : cases) {
        Outcome o = run(c.file);
        EXPECT_FALSE(o.opened) << c.name;
        EXPECT_EQ(o.error, c.error) << c.name << ": " << pngErrorName(o.error);
    }
}

TEST(PngDecoder, ResourceFailuresAndStates) {
    MemoryResourceStore store;
    Bytes good = greyPicture(3, 2, zlibCompress(kRawGrey3x2));
    store.add(KERBO_TYPE_RCDATA, 1, good.data(), static_cast<uint32_t>(good.size()));
    store.add(KERBO_TYPE_RCDATA, 2, "", 0);
    store.add(KERBO_TYPE_IMG, 3, good.data(), static_cast<uint32_t>(good.size()));

    PngResourceDecoder d;
    init(d);
    EXPECT_FALSE(openResource(d, &store, 9));
    EXPECT_EQ(d.error, PngError::ResourceNotFound);
    EXPECT_FALSE(openResource(d, &store, 3));  // only RT_RCDATA is searched
    EXPECT_EQ(d.error, PngError::ResourceNotFound);
    EXPECT_FALSE(openResource(d, &store, 2));
    EXPECT_EQ(d.error, PngError::ResourceUnreadable);
    EXPECT_EQ(d.sourceState, uint32_t(PngNoSource));

    EXPECT_FALSE(decode(d));
    EXPECT_EQ(d.error, PngError::WrongState);
    ASSERT_TRUE(openResource(d, &store, 1));
    EXPECT_EQ(d.decodeState, uint32_t(PngLoaded));
    EXPECT_EQ(d.sourceState, uint32_t(PngResourceSource));
    EXPECT_FALSE(openResource(d, &store, 1));
    EXPECT_EQ(d.error, PngError::AlreadyLoaded);
    ASSERT_TRUE(decode(d));
    EXPECT_EQ(d.error, PngError::NoError);
    EXPECT_EQ(Bytes(d.pixels, d.pixels + d.pixelsSize), kRawGrey3x2);
    EXPECT_FALSE(decode(d));
    EXPECT_EQ(d.error, PngError::WrongState);
    EXPECT_FALSE(openResource(d, &store, 1));
    EXPECT_EQ(d.error, PngError::AlreadyLoaded);
    EXPECT_EQ(d.decodeState, uint32_t(PngDecoded));
    release(d);
    EXPECT_EQ(d.pixels, nullptr);
    EXPECT_EQ(d.decodeState, uint32_t(PngEmpty));
    EXPECT_TRUE(openResource(d, &store, 1));  // usable again after release
    release(d);
}

// Chunks the decoder passes over or reads its own way; each file must give
// the scanlines of the plain one.
TEST(PngDecoder, ChunkRules) {
    Bytes stream = zlibCompress(kRawGrey3x2);
    auto withChunks = [&](std::vector<std::pair<const char*, Bytes>> chunks) {
        Bytes f = pngSignature();
        for (auto& c : chunks) appendChunk(f, c.first, c.second);
        return f;
    };
    Bytes ihdr = ihdrData(3, 2, 8, 0);
    Bytes text = {'T', 'i', 't', 'l', 'e', 0, 'x'};
    // The stream cut into pieces, some empty.
    Bytes a(stream.begin(), stream.begin() + 1), b(stream.begin() + 1, stream.begin() + 4),
        c(stream.begin() + 4, stream.end());

    Bytes wrongCrc = greyPicture(3, 2, stream);
    wrongCrc[wrongCrc.size() - 14] ^= 0xFF;  // the IDAT chunk's CRC, before IEND
    Bytes wrongAdler = stream;
    wrongAdler.back() ^= 0xFF;

    struct Case {
        const char* name;
        Bytes file;
    };
    const Case cases[] = {
        {"ancillary chunks", withChunks({{"IHDR", ihdr}, {"gAMA", Bytes(4, 1)}, {"tEXt", text}, {"tRNS", Bytes(2, 0)},
                                         {"IDAT", stream}, {"zzZz", Bytes(9, 7)}, {"IEND", {}}})},
        {"split IDAT with empty pieces",
         withChunks({{"IHDR", ihdr}, {"IDAT", {}}, {"IDAT", a}, {"IDAT", {}}, {"IDAT", b}, {"IDAT", c}, {"IEND", {}}})},
        {"first letters in any case", withChunks({{"iHDR", ihdr}, {"iDAT", stream}, {"iEND", {}}})},
        {"chunks after IEND", withChunks({{"IHDR", ihdr}, {"IDAT", stream}, {"IEND", {}}, {"tEXt", text}})},
        {"no IEND", withChunks({{"IHDR", ihdr}, {"IDAT", stream}})},
        {"a second IHDR", withChunks({{"IHDR", ihdr}, {"IDAT", stream}, {"IHDR", ihdrData(9, 9, 8, 0)}})},
        {"a later IDAT apart", withChunks({{"IHDR", ihdr}, {"IDAT", stream}, {"tEXt", text}, {"IDAT", Bytes(5, 0)}})},
        {"wrong CRC", wrongCrc},
        {"wrong Adler-32", greyPicture(3, 2, wrongAdler)},
        {"a trailing partial chunk", [&] {
             Bytes f = greyPicture(3, 2, stream);
             f.insert(f.end(), {0, 0, 0, 50, 'I', 'D'});
             return f;
         }()},
    };
    for (const Case& c : cases) {
        Outcome o = run(c.file);
        EXPECT_TRUE(o.opened && o.decoded) << c.name << ": " << pngErrorName(o.error);
        EXPECT_EQ(o.pixels, kRawGrey3x2) << c.name;
    }
}

TEST(PngDecoder, FirstPaletteIsUsed) {
    Bytes first = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10};  // 3 entries and a stray byte
    Bytes second = {99, 99, 99};
    Bytes f = pngSignature();
    appendChunk(f, "IHDR", ihdrData(1, 1, 8, 3));
    appendChunk(f, "PLTE", first);
    appendChunk(f, "IDAT", zlibCompress(Bytes{0, 2}));
    appendChunk(f, "PLTE", second);
    MemoryResourceStore store;
    store.add(KERBO_TYPE_RCDATA, 1, f.data(), static_cast<uint32_t>(f.size()));
    PngResourceDecoder d;
    init(d);
    ASSERT_TRUE(openResource(d, &store, 1));
    EXPECT_EQ(d.paletteCount, 3u);
    ASSERT_NE(d.palette, nullptr);
    EXPECT_EQ(d.palette[0], 1);
    release(d);
}

// The IDAT chain stops at a chunk of another type or at the end of the data;
// a stream that needs bytes past that point is cut short and fails, whatever
// the zero bits read there would give. The Adler-32 value is not needed.
TEST(PngDecoder, IdatChainEnds) {
    auto withIdats = [](std::vector<Bytes> pieces, bool textBetween) {
        Bytes f = pngSignature();
        appendChunk(f, "IHDR", ihdrData(3, 2, 8, 0));
        for (size_t i = 0; i < pieces.size(); ++i) {
            if (i > 0 && textBetween) appendChunk(f, "tEXt", Bytes{'a', 0, 'b'});
            appendChunk(f, "IDAT", pieces[i]);
        }
        return f;
    };
    for (const Bytes& stream : {zlibStored(kRawGrey3x2), zlibCompress(kRawGrey3x2)}) {
        Bytes head(stream.begin(), stream.begin() + 6), tail(stream.begin() + 6, stream.end());
        Bytes noAdler(stream.begin(), stream.end() - 4);
        Bytes cut(stream.begin(), stream.end() - 5);

        Outcome o = run(withIdats({head, tail}, true));  // the second piece is not part of the stream
        EXPECT_TRUE(o.opened);
        EXPECT_FALSE(o.decoded);
        EXPECT_EQ(o.error, PngError::NotPng);
        o = run(withIdats({cut}, false));  // the file ends inside the stream
        EXPECT_FALSE(o.decoded);
        EXPECT_EQ(o.error, PngError::NotPng);
        o = run(withIdats({noAdler}, false));
        EXPECT_TRUE(o.decoded);
        EXPECT_EQ(o.pixels, kRawGrey3x2);
    }
}

TEST(PngDecoder, StoredFixedAndDynamicBlocks) {
    // Stored blocks of every size, including empty ones.
    Bytes raw;
    for (int i = 0; i < 4 * 101; ++i) raw.push_back(i % 101 == 0 ? 0 : static_cast<unsigned char>(i * 7));
    for (size_t block : {1u, 5u, 100u, 65535u}) {
        Outcome o = run(greyPicture(100, 4, zlibStored(raw, block)));
        ASSERT_TRUE(o.decoded) << block;
        EXPECT_EQ(o.pixels, raw);
    }

    // Fixed codes: literal 0, then a match of length 7 at distance 1 (the
    // overlapping copy repeats the byte), then literals 5, 0, 9, 9 and a
    // match of 4 at distance 4.
    Code fixed = fixedLiteralCode();
    BitWriter w;
    w.put(1, 1);
    w.put(1, 2);
    fixed.put(w, 0);
    fixed.put(w, 261);  // length 7
    w.putCode(0, 5);    // distance 1
    for (int literal : {5, 0, 9, 9}) fixed.put(w, literal);
    fixed.put(w, 258);  // length 4
    w.putCode(3, 5);    // distance 4
    fixed.put(w, 256);
    Outcome o = run(greyPicture(7, 2, zlibWrap(w.bytes)));
    ASSERT_TRUE(o.decoded) << pngErrorName(o.error);
    EXPECT_EQ(o.pixels, (Bytes{0, 0, 0, 0, 0, 0, 0, 0, 5, 0, 9, 9, 5, 0, 9, 9}));

    // Dynamic codes with a single distance code of one bit: literal 0 (1
    // bit), end of block and length 3 (2 bits each), the unused lengths as
    // runs of zeros.
    std::vector<int> literalLengths(258, 0);
    literalLengths[0] = 1;
    literalLengths[256] = 2;
    literalLengths[257] = 2;
    BitWriter d;
    putDynamicHeader(d, 258, 1, {{1}, {18, 138 - 11}, {18, 117 - 11}, {2}, {2}, {1}});  // 1, 255 zeros, 2, 2; distance: 1
    Code literals(literalLengths);
    literals.put(d, 0);
    literals.put(d, 257);
    d.putCode(0, 1);  // distance 1
    literals.put(d, 256);
    o = run(greyPicture(3, 1, zlibWrap(d.bytes)));
    ASSERT_TRUE(o.decoded) << pngErrorName(o.error);
    EXPECT_EQ(o.pixels, (Bytes{0, 0, 0, 0}));
}

// Malformed streams: each must fail to decode with NotPng.
TEST(PngDecoder, MalformedStreams) {
    Code fixed = fixedLiteralCode();
    auto fixedBlock = [&](const std::function<void(BitWriter&)>& body) {
        BitWriter w;
        w.put(1, 1);
        w.put(1, 2);
        body(w);
        return zlibWrap(w.bytes);
    };
    auto dynamicBlock = [&](int literalCount, int distanceCount, const std::vector<LengthItem>& items) {
        BitWriter w;
        putDynamicHeader(w, literalCount, distanceCount, items);
        w.put(0, 32);
        return zlibWrap(w.bytes);
    };
    // A dynamic block that holds the 3 x 2 grey picture in literals of 3 bits
    // (end-of-block endLength bits) with the given counts of literal and
    // distance lengths: each bad case below differs from a good stream in
    // its one fault.
    auto pictureBlock = [](int literalCount, int distanceCount, int endLength) {
        std::vector<int> l(literalCount + distanceCount, 0);
        for (unsigned char b : kRawGrey3x2) l[b] = 3;
        l[256] = endLength;
        l[literalCount] = 1;  // one distance code
        BitWriter w;
        putDynamicHeader(w, literalCount, distanceCount, plainLengths(l));
        Code literals(std::vector<int>(l.begin(), l.begin() + literalCount));
        for (unsigned char b : kRawGrey3x2) literals.put(w, b);
        literals.put(w, 256);
        return zlibWrap(w.bytes);
    };
    for (int counts : {257 * 100 + 1, 286 * 100 + 30}) {
        Outcome good = run(greyPicture(3, 2, pictureBlock(counts / 100, counts % 100, 3)));
        EXPECT_TRUE(good.decoded) << counts;
        EXPECT_EQ(good.pixels, kRawGrey3x2) << counts;
    }
    std::vector<int> justEnd(257, 0);  // a literal code of one symbol (256) only
    justEnd[256] = 1;

    Bytes stream = zlibCompress(kRawGrey3x2);
    auto header = [&](unsigned char cmf, unsigned char flg) {
        Bytes s = stream;
        s[0] = cmf;
        s[1] = flg;
        return s;
    };
    Bytes badNlen = zlibStored(kRawGrey3x2);
    badNlen[5] ^= 1;

    struct Case {
        const char* name;
        Bytes stream;
    };
    std::vector<Case> cases = {
        {"compression method 7", header(0x77, 0x01)},
        {"window field 8", header(0x88, 0x01)},
        {"preset dictionary", header(0x78, 0x21)},
        {"block type 3", zlibWrap(Bytes{0x07, 0, 0, 0})},
        {"stored NLEN mismatch", badNlen},
        {"too much data", zlibCompress(Bytes(9, 0))},
        {"too little data", zlibCompress(Bytes(7, 0))},
        {"empty stream", Bytes()},
        {"distance before the start", fixedBlock([&](BitWriter& w) {
             fixed.put(w, 0);
             fixed.put(w, 257);
             w.putCode(1, 5);  // distance 2, one byte written
         })},
        {"distance symbol 30", fixedBlock([&](BitWriter& w) {
             fixed.put(w, 0);
             fixed.put(w, 257);
             w.putCode(30, 5);
         })},
        {"length symbol 286", fixedBlock([&](BitWriter& w) {
             fixed.put(w, 0);
             fixed.put(w, 286);
         })},
        {"match past the end", fixedBlock([&](BitWriter& w) {
             fixed.put(w, 0);
             fixed.put(w, 284);  // length 227 at least
             w.put(0, 5);
             w.putCode(0, 5);
         })},
        {"repeat code first", dynamicBlock(257, 1, {{16, 0}})},
        {"run past the lengths", dynamicBlock(257, 1, {{18, 127}, {18, 127}, {18, 127}})},
        {"over-full literal code", dynamicBlock(257, 1, plainLengths(std::vector<int>(258, 1)))},
        {"incomplete literal code", pictureBlock(257, 1, 4)},  // seven codes of 3 bits and one of 4
        {"a single distance code of 2 bits", [] {
             std::vector<int> l(259, 0);  // literal 0: 1 bit, end and length 3: 2 bits; distance 1: 2 bits
             l[0] = 1;
             l[256] = 2;
             l[257] = 2;
             l[258] = 2;
             BitWriter w;
             putDynamicHeader(w, 258, 1, plainLengths(l));
             Code literals(std::vector<int>(l.begin(), l.begin() + 258));
             literals.put(w, 0);
             for (int match = 0; match < 2; ++match) {
                 literals.put(w, 257);
                 w.putCode(0, 2);
             }
             literals.put(w, 0);
             literals.put(w, 256);  // 8 bytes, as the picture needs
             return zlibWrap(w.bytes);
         }()},
        {"no end-of-block code", dynamicBlock(257, 1, [] {
             std::vector<int> l(258, 0);
             l[0] = 1;
             l[1] = 1;
             return plainLengths(l);
         }())},
        {"287 literal lengths", pictureBlock(287, 1, 3)},
        {"31 distance lengths", pictureBlock(257, 31, 3)},
        {"over-full code length code", [] {
             BitWriter w;
             std::vector<int> l(19, 1);  // 19 codes of one bit
             putDynamicHeader(w, 257, 1, {}, Code(l));
             return zlibWrap(w.bytes);
         }()},
    };
    // A block whose only literal code is end-of-block decodes nothing.
    justEnd.push_back(1);  // and one distance code
    cases.push_back({"only an end-of-block", dynamicBlock(257, 1, plainLengths(justEnd))});

    for (const Case& c : cases) {
        Outcome o = run(greyPicture(3, 2, c.stream));
        EXPECT_TRUE(o.opened) << c.name;
        EXPECT_FALSE(o.decoded) << c.name << " " << pngErrorName(o.error);
        EXPECT_EQ(o.error, PngError::NotPng) << c.name << ": " << pngErrorName(o.error);
    }

    // No IDAT chunk at all: the header is fine, the decode is not.
    Bytes noData = pngSignature();
    appendChunk(noData, "IHDR", ihdrData(3, 2, 8, 0));
    appendChunk(noData, "IEND", Bytes());
    Outcome o = run(noData);
    EXPECT_TRUE(o.opened);
    EXPECT_FALSE(o.decoded);
    EXPECT_EQ(o.error, PngError::NotPng);
}

TEST(PngDecoder, InflatedSize) {
    struct Case {
        uint32_t width, height;
        int colourType, bitDepth, interlace;
        uint32_t size;
    };
    const Case cases[] = {
        {3, 3, 0, 8, 1, 15},  // passes 1, 4, 5, 6, 7: 2 + 2 + 3 + 4 + 4
        {6, 3, 0, 8, 1, 25},  // passes 1, 2, 4, 5, 6, 7: 2 + 2 + 2 + 4 + 8 + 7
        {1, 1, 0, 1, 1, 2},   // pass 1 alone
        {8, 8, 2, 8, 1, 8 * 8 * 3 + 15},
        {33, 2, 0, 1, 0, 12},  // 5 bytes and a filter byte per row
        {3, 2, 2, 8, 0, 20},
        {3, 1, 6, 16, 0, 25},
    };
    for (const Case& c : cases) {
        PngResourceDecoder d = {};
        d.width = c.width;
        d.height = c.height;
        d.colourType = static_cast<uint8_t>(c.colourType);
        d.bitDepth = static_cast<uint8_t>(c.bitDepth);
        d.interlace = static_cast<uint8_t>(c.interlace);
        uint32_t size = 0;
        ASSERT_TRUE(inflatedSize(d, size));
        EXPECT_EQ(size, c.size) << c.width << "x" << c.height;
    }
    uint32_t passWidth, passHeight;
    EXPECT_FALSE(adam7PassSize(3, 3, 1, passWidth, passHeight));  // pass 2 starts at column 4
    EXPECT_FALSE(adam7PassSize(3, 3, 2, passWidth, passHeight));  // pass 3 starts at row 4
    EXPECT_TRUE(adam7PassSize(6, 3, 1, passWidth, passHeight));
}

// Allocations the filter refuses fail as out of memory; none passes 2 GiB.
TEST(PngDecoder, AllocationFilterFailsTheBlocksItRefuses) {
    pngSetAllocationFilter([](uint64_t) { return false; });
    Outcome o = run(greyPicture(3, 2, zlibCompress(kRawGrey3x2)));
    pngSetAllocationFilter(nullptr);
    EXPECT_TRUE(o.opened);
    EXPECT_FALSE(o.decoded);
    EXPECT_EQ(o.error, PngError::OutOfMemory);
    EXPECT_EQ(pngAllocate(kPngLargestBlock + 1), nullptr);
}

// A picture claiming far more pixels than its data could ever inflate to is
// refused before its buffer is allocated.
TEST(PngDecoder, ImpossiblyLargePictureIsRefusedEarly) {
    Outcome o = run(makePng(ihdrData(20000, 20000, 8, 6), zlibCompress(Bytes(100, 0))));
    EXPECT_TRUE(o.opened);
    EXPECT_FALSE(o.decoded);
    EXPECT_EQ(o.error, PngError::NotPng);
}
