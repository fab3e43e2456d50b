// The quizzes kerbo-pack built, read by Windows itself: every resource that
// the tool's own reader finds, FindResourceA finds with the same bytes, the
// player's own resources (dialogs, icons, cursor) are still there, and the
// player's loader reads the same quiz through either store.
#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "package/package_loader.h"
#include "package/pe_resource_store.h"
#include "package/resource_store_win32.h"
#include "resources/resource_ids.h"
#include "wine_test_support.h"

namespace {

std::vector<unsigned char> readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<unsigned char>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

const char* const kQuizzes[] = {
    "text-3.exe", "text-3-scrambled.exe", "text-96.exe", "picture-4.exe", "picture-4-two.exe",
    "audio-5.exe", "video-2.exe", "../demos/picture.exe", "../demos/text.exe", "../demos/audio.exe",
    "../demos/video.exe",
};

class PackedQuiz : public testing::TestWithParam<const char*> {};

TEST_P(PackedQuiz, WindowsFindsWhatTheToolWrote) {
    std::string path = testQuizPath(GetParam());
    std::vector<unsigned char> bytes = readFile(path);
    ASSERT_FALSE(bytes.empty()) << path;
    PeResourceStore file(bytes.data(), static_cast<uint32_t>(bytes.size()));
    ASSERT_EQ(file.error(), PeOk);
    HMODULE module = LoadLibraryExA(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(module, nullptr) << GetLastError();
    ModuleResourceStore windows(module, file.linkBlock());

    struct Range {
        const char* type;
        int first, last;
    };
    const Range ranges[] = {{KERBO_TYPE_PATCH, 104, 105}, {KERBO_TYPE_IMG, 401, 496}, {KERBO_TYPE_IMG, 10401, 10496},
                            {KERBO_TYPE_RCDATA, 401, 496}, {KERBO_TYPE_RCDATA, 10401, 10496}};
    int found = 0;
    for (const Range& range : ranges) {
        for (int id = range.first; id <= range.last; ++id) {
            ResourceBytes a = file.find(range.type, id), b = windows.find(range.type, id);
            ASSERT_EQ(a.found, b.found) << range.type << " " << id;
            if (!a.found) continue;
            ++found;
            ASSERT_EQ(a.size, b.size) << range.type << " " << id;
            EXPECT_EQ(std::memcmp(a.bytes, b.bytes, a.size), 0) << range.type << " " << id;
        }
    }
    EXPECT_GE(found, 2);

    EXPECT_NE(FindResourceA(module, MAKEINTRESOURCEA(IDD_QUIZ_PAGE), MAKEINTRESOURCEA(5)), nullptr);
    EXPECT_NE(FindResourceA(module, MAKEINTRESOURCEA(IDD_HEADER_BAR), MAKEINTRESOURCEA(5)), nullptr);
    EXPECT_NE(LoadIconA(module, MAKEINTRESOURCEA(IDI_PLAY)), nullptr);
    EXPECT_NE(LoadIconA(module, MAKEINTRESOURCEA(IDI_STOP)), nullptr);
    EXPECT_NE(LoadCursorA(module, MAKEINTRESOURCEA(IDC_LINK_HAND)), nullptr);

    MessageBoxCatcher catcher;
    QuizDocument* fromFile = createQuizDocument();
    QuizDocument* fromWindows = createQuizDocument();
    PackageLoadReport fileReport = {}, windowsReport = {};
    loadQuizPackage(fromFile, file, &fileReport);
    loadQuizPackage(fromWindows, windows, &windowsReport);
    EXPECT_TRUE(catcher.caught().empty()) << catcher.caught()[0].text;
    EXPECT_EQ(windowsReport.questions, fileReport.questions);
    EXPECT_EQ(windowsReport.codes, fileReport.codes);
    EXPECT_NE(windowsReport.questions, StorageMissing);
    EXPECT_STREQ(fromWindows->title, fromFile->title);
    EXPECT_EQ(fromWindows->questionCount, fromFile->questionCount);
    EXPECT_STREQ(fromWindows->rewardCodes[0], fromFile->rewardCodes[0]);
    EXPECT_STREQ(questionAt(fromWindows, fromWindows->questionCount)->firstAnswer,
                 questionAt(fromFile, fromFile->questionCount)->firstAnswer);
    destroyQuizDocument(fromFile);
    destroyQuizDocument(fromWindows);
    FreeLibrary(module);
}

INSTANTIATE_TEST_SUITE_P(Quizzes, PackedQuiz, testing::ValuesIn(kQuizzes));

// The bare player: its own resources, its link block, no quiz.
TEST(PackedQuiz, PlayerWithoutPackage) {
    std::vector<unsigned char> bytes = readFile(testQuizPath("no-package.exe"));
    PeResourceStore file(bytes.data(), static_cast<uint32_t>(bytes.size()));
    ASSERT_EQ(file.error(), PeOk);
    EXPECT_TRUE(file.hasLinkBlock());
    EXPECT_FALSE(file.find(KERBO_TYPE_PATCH, 104).found);
    EXPECT_TRUE(file.find("#5", IDD_QUIZ_PAGE).found);
    EXPECT_TRUE(file.find("#14", IDI_PLAY).found);  // the icon group
}

// After loading, the page brush has the package's colour, red, green and blue
// in their places ("background: 30 60 255").
TEST(PackedQuiz, PageBrushHasThePackageColour) {
    std::vector<unsigned char> bytes = readFile(testQuizPath("picture-4-two.exe"));
    PeResourceStore file(bytes.data(), static_cast<uint32_t>(bytes.size()));
    ASSERT_EQ(file.error(), PeOk);
    MessageBoxCatcher catcher;
    QuizDocument* document = createQuizDocument();
    HBRUSH initial = document->backgroundBrush;
    PackageLoadReport report = {};
    loadQuizPackage(document, file, &report);
    LOGBRUSH brush = {};
    ASSERT_TRUE(GetObjectA(document->backgroundBrush, sizeof brush, &brush));
    EXPECT_EQ(brush.lbStyle, UINT(BS_SOLID));
    EXPECT_EQ(brush.lbColor, RGB(30, 60, 255));
    EXPECT_EQ(GetObjectType(initial), 0u);  // the brush it replaced was deleted
    destroyQuizDocument(document);
}

}  // namespace
