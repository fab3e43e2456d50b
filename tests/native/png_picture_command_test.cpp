// kerbo-pack picture: the BMP it writes holds the player's bitmap, pixel for
// pixel, and --fit reports the player's fitted size.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include "png_test_support.h"

namespace {

struct PackRun {
    int status;
    std::string output;
};

PackRun runPack(const std::string& arguments) {
    std::string command = std::string(KERBO_PACK) + " picture " + arguments + " 2>&1";
    PackRun run{-1, ""};
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return run;
    char buffer[512];
    while (std::fgets(buffer, sizeof buffer, pipe)) run.output += buffer;
    int status = pclose(pipe);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

uint32_t littleEndian(const Bytes& b, size_t at, int bytes) {
    uint32_t v = 0;
    for (int i = bytes - 1; i >= 0; --i) v = (v << 8) | b[at + i];
    return v;
}

class PictureCommand : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/kerbo-picture-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        dir = pattern;
    }
    void TearDown() override { std::system(("rm -rf " + dir).c_str()); }
    std::string write(const char* name, const Bytes& bytes) {
        std::string path = dir + "/" + name;
        FILE* f = std::fopen(path.c_str(), "wb");
        std::fwrite(bytes.data(), 1, bytes.size(), f);
        std::fclose(f);
        return path;
    }
    std::string dir;
};

}  // namespace

TEST_F(PictureCommand, WritesThePlayersBitmap) {
    struct Case {
        int colourType, bitDepth, interlace;
        uint32_t width, height;
    };
    const Case cases[] = {{3, 4, 1, 7, 5}, {2, 16, 0, 5, 3}, {6, 8, 1, 4, 4}, {0, 2, 0, 9, 2}};
    for (const Case& c : cases) {
        Bytes palette;
        auto rows = makeRows(c.width, c.height, c.colourType, c.bitDepth, 77, &palette);
        Bytes png = encodeLibpng(c.width, c.height, c.colourType, c.bitDepth, c.interlace, rows, palette);
        std::string in = write("in.png", png), out = dir + "/out.bmp";
        PackRun run = runPack(in + " -o " + out);
        ASSERT_EQ(run.status, 0) << run.output;

        Bytes bmp = readFile(out);
        ASSERT_GT(bmp.size(), 54u);
        EXPECT_EQ(bmp[0], 'B');
        EXPECT_EQ(bmp[1], 'M');
        EXPECT_EQ(littleEndian(bmp, 2, 4), bmp.size());
        OurPicture ours = decodeOurs(png);
        ASSERT_TRUE(ours.converted);
        EXPECT_EQ(littleEndian(bmp, 18, 4), c.width);
        EXPECT_EQ(static_cast<int32_t>(littleEndian(bmp, 22, 4)), -static_cast<int32_t>(c.height));
        EXPECT_EQ(littleEndian(bmp, 28, 2), ours.info.header.biBitCount);
        // Colour table, then the rows: the same as the player's conversion.
        uint32_t offset = littleEndian(bmp, 10, 4);
        uint32_t colours = (offset - 54) / 4;
        ASSERT_LE(colours, 256u);
        for (uint32_t i = 0; i < colours; ++i) {
            const PngColour& e = ours.info.colours[i];
            EXPECT_EQ(Bytes(bmp.begin() + 54 + 4 * i, bmp.begin() + 58 + 4 * i), (Bytes{e.blue, e.green, e.red, 0}));
        }
        ASSERT_EQ(bmp.size() - offset, ours.bits.size());
        OurPicture fromFile = ours;
        fromFile.bits.assign(bmp.begin() + offset, bmp.end());
        LibpngPicture expected = decodeLibpng(png);
        for (uint32_t y = 0; y < c.height; ++y)
            for (uint32_t x = 0; x < c.width; ++x)
                EXPECT_EQ(bitmapPixel(fromFile, x, y), expectedPixel(expected, x, y)) << x << "," << y;
    }
}

TEST_F(PictureCommand, FitAndFailures) {
    Bytes palette;
    auto rows = makeRows(348, 464, 0, 8, 3, &palette);
    std::string in = write("tall.png", encodeLibpng(348, 464, 0, 8, 0, rows, palette));
    PackRun run = runPack(in + " --fit 260 260");
    EXPECT_EQ(run.status, 0);
    EXPECT_NE(run.output.find("348 x 464"), std::string::npos) << run.output;
    EXPECT_NE(run.output.find("fitted into 260 x 260: 194 x 260"), std::string::npos) << run.output;

    std::string broken = write("broken.png", Bytes{0x89, 'P', 'N', 'G', 1, 2, 3});
    run = runPack(broken + " -o " + dir + "/x.bmp");
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.output.find("NotPng"), std::string::npos) << run.output;
    EXPECT_NE(access((dir + "/x.bmp").c_str(), F_OK), 0);

    EXPECT_EQ(runPack(dir + "/missing.png -o " + dir + "/x.bmp").status, 1);
    EXPECT_EQ(runPack(in).status, 2);
    EXPECT_EQ(runPack(in + " --fit 260").status, 2);
    EXPECT_EQ(runPack(in + " --fit 0 260").status, 2);
}
