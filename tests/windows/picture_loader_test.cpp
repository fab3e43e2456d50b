// The picture loader under Wine, with the quiz resources held in a
// MemoryResourceStore: JPEG and GIF through OLE, PNG through the program's
// own decoder, fitting, scrambled ids, and the failure messages.
#include <gtest/gtest.h>

#include <objbase.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <vector>

#include "media/picture_loader.h"
#include "media/png_decoder.h"
#include "package/resource_store.h"
#include "gdi_object_recorder.h"
#include "wine_test_support.h"

namespace {

using Bytes = std::vector<unsigned char>;

Bytes testFile(const char* name) {
    std::ifstream in(std::string(KERBO_TEST_DATA) + "/pictures/" + name, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

Bytes scrambled(Bytes bytes) {
    for (unsigned char& b : bytes) b = static_cast<unsigned char>((b << 4) | (b >> 4));
    return bytes;
}

void appendBigEndian(Bytes& out, uint32_t v) {
    for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<unsigned char>(v >> shift));
}

void appendChunk(Bytes& out, const char* type, const Bytes& data) {
    appendBigEndian(out, static_cast<uint32_t>(data.size()));
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), data.begin(), data.end());
    appendBigEndian(out, 0);  // CRCs are not checked
}

// A PNG whose scanlines (filter bytes included) are stored uncompressed.
Bytes makePng(uint32_t width, uint32_t height, int bitDepth, int colourType, const Bytes& scanlines,
              const Bytes& palette = Bytes()) {
    Bytes png = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    Bytes ihdr;
    appendBigEndian(ihdr, width);
    appendBigEndian(ihdr, height);
    ihdr.insert(ihdr.end(), {static_cast<unsigned char>(bitDepth), static_cast<unsigned char>(colourType), 0, 0, 0});
    appendChunk(png, "IHDR", ihdr);
    if (!palette.empty()) appendChunk(png, "PLTE", palette);
    Bytes stream = {0x78, 0x01};
    size_t at = 0;
    do {
        size_t n = scanlines.size() - at < 65535 ? scanlines.size() - at : 65535;
        stream.push_back(at + n == scanlines.size() ? 1 : 0);
        stream.insert(stream.end(), {static_cast<unsigned char>(n), static_cast<unsigned char>(n >> 8),
                                     static_cast<unsigned char>(~n), static_cast<unsigned char>(~n >> 8)});
        stream.insert(stream.end(), scanlines.begin() + at, scanlines.begin() + at + n);
        at += n;
    } while (at < scanlines.size());
    appendBigEndian(stream, 0);  // Adler-32, not checked
    appendChunk(png, "IDAT", stream);
    appendChunk(png, "IEND", Bytes());
    return png;
}

// A grey picture of one level, unfiltered rows.
Bytes greyPng(uint32_t width, uint32_t height, unsigned char level) {
    Bytes scanlines;
    for (uint32_t y = 0; y < height; ++y) {
        scanlines.push_back(0);
        scanlines.insert(scanlines.end(), width, level);
    }
    return makePng(width, height, 8, 0, scanlines);
}

// The colour of pixel (x, y) of a bitmap, as COLORREF.
COLORREF pixelOf(HBITMAP bitmap, int x, int y) {
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ previous = SelectObject(dc, bitmap);
    COLORREF colour = GetPixel(dc, x, y);
    SelectObject(dc, previous);
    DeleteDC(dc);
    return colour;
}

bool closeTo(COLORREF a, COLORREF b, int tolerance = 12) {
    return std::abs(GetRValue(a) - GetRValue(b)) <= tolerance && std::abs(GetGValue(a) - GetGValue(b)) <= tolerance &&
           std::abs(GetBValue(a) - GetBValue(b)) <= tolerance;
}

class PictureLoader : public ::testing::Test {
protected:
    void SetUp() override {
        previous_ = quizResources();
        setQuizResources(&store);
    }
    void TearDown() override { setQuizResources(previous_); }
    void addImg(int id, const Bytes& bytes) { store.add(KERBO_TYPE_IMG, id, bytes.data(), uint32_t(bytes.size())); }
    void addPng(int id, const Bytes& bytes) { store.add(KERBO_TYPE_RCDATA, id, bytes.data(), uint32_t(bytes.size())); }

    MemoryResourceStore store;

private:
    const ResourceStore* previous_ = nullptr;
};

}  // namespace

TEST_F(PictureLoader, PicturesAreFittedInto260By260) {
    addImg(400, testFile("portrait.jpg"));  // 348 x 464
    addImg(401, testFile("wide.gif"));      // 100 x 50, RGB(200, 30, 40)
    addPng(402, greyPng(300, 700, 200));
    MessageBoxCatcher catcher;

    struct Case {
        int id;
        int height, width;
    };
    const Case cases[] = {{400, 260, 194}, {401, 130, 260}, {402, 260, 111}};
    for (const Case& c : cases) {
        HBITMAP bitmap = loadPicture(c.id, 260, 260);
        ASSERT_NE(bitmap, nullptr) << c.id;
        PictureSize size = pictureSize(bitmap);
        EXPECT_EQ(size.height, c.height) << c.id;
        EXPECT_EQ(size.width, c.width) << c.id;
        if (c.id == 401) {
            EXPECT_TRUE(closeTo(pixelOf(bitmap, 130, 65), RGB(200, 30, 40))) << std::hex << pixelOf(bitmap, 130, 65);
        }
        if (c.id == 402) {
            EXPECT_TRUE(closeTo(pixelOf(bitmap, 55, 130), RGB(200, 200, 200))) << std::hex << pixelOf(bitmap, 55, 130);
        }
        DeleteObject(bitmap);
    }
    EXPECT_TRUE(catcher.caught().empty());

    PictureSize none = pictureSize(nullptr);
    EXPECT_EQ(none.height, 0);
    EXPECT_EQ(none.width, 260);
}

// Ids above 10000 are stored nibble-swapped; 10000 itself is not.
TEST_F(PictureLoader, ScrambledIds) {
    Bytes gif = testFile("wide.gif");
    addImg(10000, gif);
    addImg(10001, scrambled(gif));
    addImg(10402, gif);               // stored plain where scrambling is expected: unreadable
    addImg(9999, scrambled(gif));     // and the other way round
    MessageBoxCatcher catcher;

    for (int id : {10000, 10001, 10001}) {  // the second load of 10001 starts again from the stored bytes
        HBITMAP bitmap = loadPicture(id, 260, 260);
        ASSERT_NE(bitmap, nullptr) << id;
        EXPECT_EQ(pictureSize(bitmap).height, 130);
        EXPECT_TRUE(closeTo(pixelOf(bitmap, 10, 10), RGB(200, 30, 40)));
        DeleteObject(bitmap);
    }
    ResourceBytes stored = store.find(KERBO_TYPE_IMG, 10001);
    EXPECT_EQ(Bytes(stored.bytes, stored.bytes + stored.size), scrambled(gif));
    EXPECT_EQ(loadPicture(10402, 260, 260), nullptr);
    EXPECT_EQ(loadPicture(9999, 260, 260), nullptr);
    EXPECT_TRUE(catcher.caught().empty());
}

TEST_F(PictureLoader, MissingAndUnreadablePictures) {
    addImg(410, Bytes{'n', 'o', 't', ' ', 'a', ' ', 'p', 'i', 'c', 't', 'u', 'r', 'e'});
    addPng(410, greyPng(10, 10, 50));  // not tried: the "IMG" resource exists
    addPng(411, Bytes{'G', 'I', 'F', '8', '9', 'a'});
    MessageBoxCatcher catcher;
    EXPECT_EQ(loadPicture(999, 260, 260), nullptr);  // neither resource
    EXPECT_EQ(loadPicture(410, 260, 260), nullptr);
    EXPECT_EQ(loadPicture(411, 260, 260), nullptr);  // not a PNG: refused before decoding
    EXPECT_TRUE(catcher.caught().empty());
}

TEST_F(PictureLoader, BrokenPngShowsItsMessage) {
    Bytes badStream = greyPng(4, 4, 9);
    badStream[8 + 25 + 8 + 2 + 3] ^= 0xFF;  // NLEN of the stored block
    Bytes badFilter = makePng(2, 2, 8, 0, Bytes{0, 1, 2, 7, 3, 4});
    addPng(420, badStream);
    addPng(421, badFilter);
    MessageBoxCatcher catcher;
    EXPECT_EQ(loadPicture(420, 260, 260), nullptr);
    EXPECT_EQ(loadPicture(421, 260, 260), nullptr);
    ASSERT_EQ(catcher.caught().size(), 2u);
    EXPECT_EQ(catcher.caught()[0].caption, "Information");
    EXPECT_EQ(catcher.caught()[0].text, "Error: couldn't decode PNG resource");
    EXPECT_EQ(catcher.caught()[1].caption, "Information");
    EXPECT_EQ(catcher.caught()[1].text, "Error: couldn't create bitmap");
}

// The DIB sections of a few formats, read back through GDI: palette, grey
// ramp and colour channels must reach the screen as the PNG says.
TEST_F(PictureLoader, PngBitmapColours) {
    struct Case {
        const char* name;
        Bytes png;
        COLORREF expected[3];  // pixels 0, 1 and 2 of the first row
    };
    Bytes palette = {255, 0, 0, 0, 255, 0, 0, 0, 255};
    const Case cases[] = {
        {"palette 2 bits", makePng(3, 1, 2, 3, Bytes{0, 0x18}, palette), {RGB(255, 0, 0), RGB(0, 255, 0), RGB(0, 0, 255)}},
        {"grey 2 bits", makePng(3, 1, 2, 0, Bytes{0, 0x1B}), {RGB(0, 0, 0), RGB(85, 85, 85), RGB(170, 170, 170)}},
        {"grey 16 bits", makePng(3, 1, 16, 0, Bytes{0, 0x10, 0xFF, 0x80, 0, 0xFF, 0xFF}),
         {RGB(0x10, 0x10, 0x10), RGB(0x80, 0x80, 0x80), RGB(255, 255, 255)}},
        {"RGB 8 bits, Sub", makePng(3, 1, 8, 2, Bytes{1, 10, 20, 30, 1, 1, 1, 5, 5, 5}),
         {RGB(10, 20, 30), RGB(11, 21, 31), RGB(16, 26, 36)}},
        {"RGBA 8 bits", makePng(3, 1, 8, 6, Bytes{0, 1, 2, 3, 0, 4, 5, 6, 128, 7, 8, 9, 255}),
         {RGB(1, 2, 3), RGB(4, 5, 6), RGB(7, 8, 9)}},
    };
    int id = 430;
    for (const Case& c : cases) {
        addPng(id, c.png);
        PngResourceDecoder decoder;
        init(decoder);
        ASSERT_TRUE(openResource(decoder, &store, id) && decode(decoder)) << c.name;
        HBITMAP bitmap = makeBitmap(decoder);
        ASSERT_NE(bitmap, nullptr) << c.name;
        HBITMAP again = makeBitmap(decoder);  // the decoder stays decoded
        EXPECT_NE(again, nullptr);
        DeleteObject(again);
        release(decoder);
        for (int x = 0; x < 3; ++x) EXPECT_EQ(pixelOf(bitmap, x, 0), c.expected[x]) << c.name << " pixel " << x;
        DeleteObject(bitmap);
        ++id;
    }
    PngResourceDecoder decoder;
    init(decoder);
    EXPECT_EQ(makeBitmap(decoder), nullptr);
    EXPECT_EQ(decoder.error, PngError::WrongState);
}

// Loads leave COM uninitialised and no GDI object behind, on every path.
TEST_F(PictureLoader, NothingIsLeftBehind) {
    addImg(400, testFile("portrait.jpg"));
    addImg(401, Bytes(50, 'x'));
    addPng(402, greyPng(30, 20, 1));
    Bytes badStream = greyPng(4, 4, 9);
    badStream[8 + 25 + 8 + 2 + 3] ^= 0xFF;
    addPng(403, badStream);
    MessageBoxCatcher catcher;
    HRESULT comBefore = CoInitialize(nullptr);
    if (SUCCEEDED(comBefore)) CoUninitialize();
    GdiObjectRecorder recorder;
    ASSERT_TRUE(recorder.active());
    for (int round = 0; round < 20; ++round)
        for (int id : {400, 401, 402, 403, 404}) {
            HBITMAP bitmap = loadPicture(id, 260, 260);
            if (bitmap) DeleteObject(bitmap);
        }
    EXPECT_GT(recorder.created(), 0);
    EXPECT_TRUE(recorder.alive().empty()) << recorder.alive().size() << " GDI objects left";
    EXPECT_EQ(catcher.caught().size(), 20u);  // one message per broken PNG load

    // COM was left as it was found on this thread.
    HRESULT comAfter = CoInitialize(nullptr);
    if (SUCCEEDED(comAfter)) CoUninitialize();
    EXPECT_EQ(comAfter, comBefore);
}
