// The bytes of the saved-answers file: reading lines back and writing a save.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "page/saved_answers.h"

namespace {

std::vector<std::string> readAll(const std::string& bytes, int lines) {
    SavedLineReader reader;
    startSavedLines(&reader, bytes.data(), bytes.size());
    std::vector<std::string> texts;
    for (int i = 0; i < lines; ++i) {
        char text[kTextCapacity];
        const int length = readSavedLine(&reader, text, sizeof text);
        EXPECT_EQ(length, static_cast<int>(std::string(text).size()));
        texts.push_back(text);
    }
    return texts;
}

}  // namespace

TEST(SavedAnswers, LinesEndAtCarriageReturn) {
    struct Case {
        std::string bytes;
        std::vector<std::string> texts;
    } cases[] = {
        {"abc\r\n\r\nxyz", {"abc", "", "xyz", ""}},
        {"a\nb\r\n", {"a\nb", "", "", ""}},
        {"one\rdropped\ntwo\r\n", {"one", "two", "", ""}},
        {"last\r", {"last", "", "", ""}},
        {"", {"", "", "", ""}},
        {"\xE9t\xE9\r\n\x80\r\n", {"\xE9t\xE9", "\x80", "", ""}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.bytes);
        EXPECT_EQ(readAll(c.bytes, 4), c.texts);
    }
}

TEST(SavedAnswers, LongLineIsCutAndTheNextLineStillFollows) {
    const std::string bytes = std::string(300, 'x') + "\r\nnext\r\n";
    std::vector<std::string> texts = readAll(bytes, 2);
    EXPECT_EQ(texts[0], std::string(259, 'x'));
    EXPECT_EQ(texts[1], "next");

    SavedLineReader reader;
    startSavedLines(&reader, bytes.data(), bytes.size());
    char small[4];
    EXPECT_EQ(readSavedLine(&reader, small, sizeof small), 3);
    EXPECT_STREQ(small, "xxx");
    startSavedLines(&reader, nullptr, 10);
    EXPECT_EQ(readSavedLine(&reader, small, sizeof small), 0);
}

TEST(SavedAnswers, FileNames) {
    char name[16];
    EXPECT_TRUE(savedAnswersFileName("Quiz.exe", name, sizeof name));
    EXPECT_STREQ(name, "Quiz.txt");
    EXPECT_TRUE(savedAnswersFileName("a.b.exe", name, sizeof name));
    EXPECT_STREQ(name, "a.b.txt");
    EXPECT_TRUE(savedAnswersFileName("kerbo", name, sizeof name));
    EXPECT_STREQ(name, "kerbo.txt");
    EXPECT_FALSE(savedAnswersFileName("a-rather-long-name.exe", name, sizeof name));
    EXPECT_STREQ(name, "");

    char temp[16];
    EXPECT_TRUE(savedAnswersTempName("Quiz.txt", temp, sizeof temp));
    EXPECT_STREQ(temp, "Quiz.txt.tmp");
    EXPECT_FALSE(savedAnswersTempName("Quizzes123.txt", temp, sizeof temp));
}

TEST(SavedAnswers, SaveBytesReadBackToTheSameTexts) {
    static SavedAnswersBytes save;
    clearSavedAnswers(&save);
    const std::vector<std::string> texts = {"Paris", "", "  l'\xE9t\xE9  ", std::string(300, 'y'), "", "z"};
    for (const std::string& text : texts) EXPECT_TRUE(appendSavedAnswer(&save, text.c_str()));
    const std::string bytes(save.bytes, save.size);
    EXPECT_EQ(bytes, "Paris\r\n\r\n  l'\xE9t\xE9  \r\n" + std::string(259, 'y') + "\r\n\r\nz\r\n");
    EXPECT_EQ(save.lines, 6);

    std::vector<std::string> back = readAll(bytes, 6);
    std::vector<std::string> expected = texts;
    expected[3] = std::string(259, 'y');
    EXPECT_EQ(back, expected);
}

TEST(SavedAnswers, SaveHoldsEveryFieldOfTheLargestQuiz) {
    static SavedAnswersBytes save;
    clearSavedAnswers(&save);
    const std::string longest(259, 'w');
    for (int k = 0; k < kMaxAnswerFields; ++k) ASSERT_TRUE(appendSavedAnswer(&save, longest.c_str()));
    EXPECT_FALSE(appendSavedAnswer(&save, "one too many"));
    EXPECT_EQ(save.size, kMaxAnswerFields * 261);
    EXPECT_EQ(std::string(save.bytes + save.size - 2, 2), "\r\n");
}
