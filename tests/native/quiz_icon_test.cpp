// The icon: key of a description: the icon file becomes the quiz's first icon
// group (IDI_QUIZ, the one Explorer shows), its images RT_ICON resources
// numbered after the player's own; a file that is not a sound icon is refused
// with its line and nothing is written.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "package/pe_resource_store.h"
#include "pe_fixture.h"
#include "resources/resource_ids.h"
#include "tools/kerbo_pack/commands.h"
#include "tools/kerbo_pack/icon_file.h"

namespace {

std::vector<unsigned char> readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<unsigned char>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}
void writeFile(const std::string& path, const std::vector<unsigned char>& bytes) {
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
}

void put16(std::vector<unsigned char>& b, size_t at, unsigned v) {
    b[at] = static_cast<unsigned char>(v);
    b[at + 1] = static_cast<unsigned char>(v >> 8);
}
void put32(std::vector<unsigned char>& b, size_t at, uint32_t v) {
    put16(b, at, v & 0xFFFF);
    put16(b, at + 2, v >> 16);
}
unsigned get16(const unsigned char* p) { return p[0] | p[1] << 8u; }

// An icon file of one W x W image: a DIB (4 bits a pixel, header size 40,
// height doubled) or a PNG signature and a few bytes.
std::vector<unsigned char> iconFile(int width, bool png = false) {
    std::vector<unsigned char> image;
    if (png) {
        image = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n', 1, 2, 3};
    } else {
        image.assign(40 + 64 + width * width / 2 + width * 4, 0x5A);
        put32(image, 0, 40);
        put32(image, 4, width);
        put32(image, 8, 2 * width);
        put16(image, 12, 1);
        put16(image, 14, 4);
    }
    std::vector<unsigned char> file(6 + 16 + image.size(), 0);
    put16(file, 2, 1);
    put16(file, 4, 1);
    file[6] = static_cast<unsigned char>(width & 0xFF);
    file[7] = static_cast<unsigned char>(width & 0xFF);
    put16(file, 10, 1);
    put16(file, 12, png ? 32 : 4);
    put32(file, 14, static_cast<uint32_t>(image.size()));
    put32(file, 18, 22);
    for (size_t i = 0; i < image.size(); ++i) file[22 + i] = image[i];
    return file;
}

class QuizIcon : public testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/kerbo-icon-test-XXXXXX";
        dir_ = std::string(mkdtemp(pattern)) + "/";
        writeFile(dir_ + "player.exe", fixture::makeExecutable());
    }
    void TearDown() override { std::system(("rm -rf '" + dir_ + "'").c_str()); }

    // Builds "kind: text" with icon: ICON from PLAYER into OUT; returns the
    // exit code, stderr in *err.
    int build(const std::string& icon, const std::string& player, const std::string& out, std::string* err) {
        std::ofstream(dir_ + "quiz.quiz") << "kind: text\nicon: " << icon << "\n[question]\nanswer: a\n";
        std::vector<std::string> args = {dir_ + "quiz.quiz", "-o", out, "--player", player};
        std::vector<char*> argv;
        for (std::string& a : args) argv.push_back(&a[0]);
        testing::internal::CaptureStderr();
        testing::internal::CaptureStdout();
        int status = runBuildCommand(static_cast<int>(argv.size()), argv.data());
        testing::internal::GetCapturedStdout();
        *err = testing::internal::GetCapturedStderr();
        return status;
    }

    std::string dir_;
};

// The group IDI_QUIZ of a built executable: each entry's RT_ICON id must hold
// exactly the bytes of the icon file's image at the same place.
void expectGroupHolds(const std::vector<unsigned char>& exe, const std::vector<unsigned char>& ico,
                      unsigned firstId) {
    PeResourceStore store(exe.data(), static_cast<uint32_t>(exe.size()));
    ASSERT_EQ(store.error(), PeOk);
    ResourceBytes group = store.find("#14", IDI_QUIZ);
    ASSERT_TRUE(group.found);
    unsigned count = get16(ico.data() + 4);
    ASSERT_EQ(group.size, 6 + 14 * count);
    EXPECT_EQ(std::memcmp(group.bytes, ico.data(), 6), 0);
    for (unsigned i = 0; i < count; ++i) {
        const unsigned char* entry = group.bytes + 6 + 14 * i;
        const unsigned char* fileEntry = ico.data() + 6 + 16 * i;
        EXPECT_EQ(std::memcmp(entry, fileEntry, 12), 0) << "entry " << i;
        EXPECT_EQ(get16(entry + 12), firstId + i);
        uint32_t size = fileEntry[8] | fileEntry[9] << 8 | fileEntry[10] << 16;
        uint32_t offset = fileEntry[12] | fileEntry[13] << 8 | fileEntry[14] << 16;
        ResourceBytes image = store.find("#3", static_cast<int>(firstId + i));
        ASSERT_TRUE(image.found) << firstId + i;
        ASSERT_EQ(image.size, size);
        EXPECT_EQ(std::memcmp(image.bytes, ico.data() + offset, size), 0);
    }
}

// The project's own three-image application icon into a player without
// icons, then a one-image icon into that quiz used as the player: the
// second group replaces the first and its image takes the next free id.
TEST_F(QuizIcon, ReplacesTheFirstGroupWithImagesAfterThePlayersOwn) {
    std::string err;
    std::vector<unsigned char> application = readFile(KERBO_SOURCE_DIR "/resources/kerbo.ico");
    ASSERT_EQ(get16(application.data() + 4), 3u);
    ASSERT_EQ(build(KERBO_SOURCE_DIR "/resources/kerbo.ico", dir_ + "player.exe", dir_ + "first.exe", &err), 0)
        << err;
    expectGroupHolds(readFile(dir_ + "first.exe"), application, 1);

    std::vector<unsigned char> own = iconFile(32);
    writeFile(dir_ + "own.ico", own);
    ASSERT_EQ(build("own.ico", dir_ + "first.exe", dir_ + "second.exe", &err), 0) << err;
    std::vector<unsigned char> second = readFile(dir_ + "second.exe");
    expectGroupHolds(second, own, 4);
    PeResourceStore store(second.data(), static_cast<uint32_t>(second.size()));
    EXPECT_TRUE(store.find("#5", 1001).found);  // the player's own resources stay
}

TEST_F(QuizIcon, RefusesWhatIsNotAnIconAndWritesNothing) {
    std::vector<unsigned char> cursor = iconFile(32);
    put16(cursor, 2, 2);  // type 2: a cursor
    std::vector<unsigned char> noImage = iconFile(32);
    put16(noImage, 4, 0);
    std::vector<unsigned char> shortDirectory = iconFile(32);
    put16(shortDirectory, 4, 3);
    shortDirectory.resize(40);
    std::vector<unsigned char> outside = iconFile(32);
    put32(outside, 14, 100000);
    std::vector<unsigned char> wrongSize = iconFile(32);
    wrongSize[6] = wrongSize[7] = 16;
    std::vector<unsigned char> notBitmap = iconFile(32);
    put32(notBitmap, 22, 12);  // an OS/2 header size
    struct Case {
        const char* name;
        std::vector<unsigned char> bytes;
        const char* reason;
    };
    const Case cases[] = {
        {"picture.ico", {0xFF, 0xD8, 0xFF, 0xE0, 0, 0, 0}, "not an icon file (.ico)"},
        {"cursor.ico", cursor, "not an icon file (.ico)"},
        {"none.ico", noImage, "holds no image"},
        {"short.ico", shortDirectory, "directory runs past its end"},
        {"outside.ico", outside, "image 1 lies outside the icon file"},
        {"size.ico", wrongSize, "image 1 is 32 x 32 pixels but its directory entry says 16 x 16"},
        {"header.ico", notBitmap, "image 1 is neither a PNG nor a bitmap (header size 12)"},
        {"empty.ico", {}, "'empty.ico' is empty"},
    };
    for (const Case& c : cases) {
        writeFile(dir_ + c.name, c.bytes);
        std::string err;
        EXPECT_EQ(build(c.name, dir_ + "player.exe", dir_ + "out.exe", &err), 1) << c.name;
        EXPECT_NE(err.find("quiz.quiz:2: error: icon: "), std::string::npos) << err;
        EXPECT_NE(err.find(c.reason), std::string::npos) << err;
        EXPECT_NE(access((dir_ + "out.exe").c_str(), F_OK), 0) << c.name;
    }
    std::string err;
    EXPECT_EQ(build("missing.ico", dir_ + "player.exe", dir_ + "out.exe", &err), 1);
    EXPECT_NE(err.find("quiz.quiz:2: error: icon: cannot read 'missing.ico'"), std::string::npos) << err;
}

// PNG images (as 256-pixel icons carry) are taken as they are; a DIB whose
// entry leaves planes and bits a pixel at 0 gets them from its header.
TEST(IconFile, TakesPngImagesAndFillsMissingBitCounts) {
    std::vector<unsigned char> png = iconFile(0, true);
    std::vector<IconImage> images;
    std::string reason;
    ASSERT_TRUE(parseIconFile(png.data(), static_cast<uint32_t>(png.size()), &images, &reason)) << reason;
    ASSERT_EQ(images.size(), 1u);
    EXPECT_EQ(images[0].size, 11u);

    std::vector<unsigned char> bare = iconFile(16);
    put16(bare, 10, 0);
    put16(bare, 12, 0);
    ASSERT_TRUE(parseIconFile(bare.data(), static_cast<uint32_t>(bare.size()), &images, &reason)) << reason;
    std::vector<unsigned char> group = iconGroupData(images, 7);
    ASSERT_EQ(group.size(), 20u);
    EXPECT_EQ(get16(group.data() + 6 + 4), 1u);   // planes
    EXPECT_EQ(get16(group.data() + 6 + 6), 4u);   // bits a pixel
    EXPECT_EQ(get16(group.data() + 6 + 12), 7u);  // the RT_ICON id
}

}  // namespace
