// The readable quiz description: what a description gives, and every kind of
// refusal with its line.
#include <gtest/gtest.h>

#include <string>

#include "tools/kerbo_pack/quiz_description.h"

namespace {

struct Parsed {
    bool ok;
    QuizDescription quiz;
    DescriptionError error;
};

Parsed parse(const std::string& text) {
    Parsed p;
    p.ok = parseQuizDescription(text.data(), text.size(), &p.quiz, &p.error);
    return p;
}

const char kFull[] =
    "\xEF\xBB\xBF# a comment\r\n"
    "kind: picture\r\n"
    "title:   Les \xC3\xA9toiles \xE2\x82\xAC  \r\n"  // "Les étoiles €", spaces around trimmed
    "author: Zo\xC3\xA9\r\n"
    "explanation: Une explication\r\n"
    "answers: 2\r\n"
    "first-answer-label: Forme\r\n"
    "second-answer-label: Couleur\r\n"
    "answer-mode: clue-and-picture\r\n"
    "background: #3366ff\r\n"
    "link: http://example.org\r\n"
    "footer: Pied\r\n"
    "code: UN\r\n"
    "code:\r\n"
    "\r\n"
    "  [question]  \r\n"
    "answer: c\xC5\x93ur\r\n"  // cœur
    "second-answer: rouge\r\n"
    "prompt: Il bat\r\n"
    "clue: Un indice: avec deux points\r\n"
    "picture: media/coeur.jpg\r\n"
    "solved-picture: media/coeur-resolu.png\r\n"
    "[question]\r\n"
    "answer: lune\r\n"
    "second-answer: blanche\r\n";

TEST(QuizDescription, ReadsEveryFieldInCodePage1252) {
    Parsed p = parse(kFull);
    ASSERT_TRUE(p.ok) << p.error.line << ": " << p.error.reason;
    const QuizDescription& q = p.quiz;
    EXPECT_EQ(q.quizKind, QuizKindPicture);
    EXPECT_EQ(q.answersPerQuestion, 2);
    EXPECT_EQ(q.answerMode, 3);
    EXPECT_EQ(q.title, "Les \xE9toiles \x80");
    EXPECT_EQ(q.author, "Zo\xE9");
    EXPECT_EQ(q.explanation, "Une explication");
    EXPECT_EQ(q.firstAnswerLabel, "Forme");
    EXPECT_EQ(q.secondAnswerLabel, "Couleur");
    EXPECT_EQ(q.red, 0x33);
    EXPECT_EQ(q.green, 0x66);
    EXPECT_EQ(q.blue, 0xFF);
    EXPECT_EQ(q.linkText, "http://example.org");
    EXPECT_EQ(q.linkLine, 11);
    EXPECT_EQ(q.footerText, "Pied");
    EXPECT_EQ(q.footerLine, 12);
    ASSERT_EQ(q.rewardCodes.size(), 2u);
    EXPECT_EQ(q.rewardCodes[0], "UN");
    EXPECT_EQ(q.rewardCodes[1], "");
    ASSERT_EQ(q.questions.size(), 2u);
    const QuestionDescription& first = q.questions[0];
    EXPECT_EQ(first.line, 16);
    EXPECT_EQ(first.firstAnswer, "c\x9Cur");
    EXPECT_EQ(first.secondAnswer, "rouge");
    EXPECT_EQ(first.prompt, "Il bat");
    EXPECT_EQ(first.clue, "Un indice: avec deux points");
    EXPECT_EQ(first.picture.path, "media/coeur.jpg");
    EXPECT_EQ(first.picture.line, 21);
    EXPECT_EQ(first.solvedPicture.path, "media/coeur-resolu.png");
    EXPECT_TRUE(q.questions[1].picture.path.empty());
    EXPECT_EQ(q.questions[1].clue, "");
}

TEST(QuizDescription, DefaultsAndOtherSpellings) {
    Parsed p = parse("kind: text\nbackground: 0 255 7\nanswer-mode: 5\n[question]\nanswer: a\n");
    ASSERT_TRUE(p.ok) << p.error.reason;
    EXPECT_EQ(p.quiz.answersPerQuestion, 1);
    EXPECT_EQ(p.quiz.answerMode, 5);
    EXPECT_EQ(p.quiz.red, 0);
    EXPECT_EQ(p.quiz.green, 255);
    EXPECT_EQ(p.quiz.blue, 7);
    EXPECT_EQ(p.quiz.title, "");

    Parsed bare = parse("kind: video");  // no question, no final line break
    ASSERT_TRUE(bare.ok) << bare.error.reason;
    EXPECT_EQ(bare.quiz.red, 90);  // the player's own page colour
    EXPECT_EQ(bare.quiz.green, 95);
    EXPECT_EQ(bare.quiz.blue, 150);
    EXPECT_TRUE(bare.quiz.questions.empty());
}

// Texts are measured in code page 1252 characters: 259 two-byte UTF-8
// letters fit a 259-character field.
TEST(QuizDescription, TextsUpToTheirFieldSizeFit) {
    std::string e259;
    for (int i = 0; i < 259; ++i) e259 += "\xC3\xA9";
    Parsed p = parse("kind: text\ntitle: " + e259 + "\nlink: " + std::string(24, 'l') + "\nfooter: " +
                     std::string(42, 'f') + "\n[question]\nanswer: " + std::string(259, 'a') + "\n");
    ASSERT_TRUE(p.ok) << p.error.reason;
    EXPECT_EQ(p.quiz.title, std::string(259, '\xE9'));

    Parsed picture = parse("kind: audio\nanswers: 2\n[question]\nanswer: " + std::string(128, 'a') +
                           "\nsecond-answer: " + std::string(128, 'b') + "\n");
    EXPECT_TRUE(picture.ok) << picture.error.reason;

    std::string many = "kind: text\n";
    for (int n = 0; n < 96; ++n) many += "[question]\nanswer: x\n";
    EXPECT_TRUE(parse(many).ok);
}

TEST(QuizDescription, RefusesWhatThePackageCannotHoldWithItsLine) {
    struct Case {
        std::string text;
        int line;
        const char* reason;  // a part of the reason
    };
    const std::string head = "kind: picture\nanswer-mode: none\n";  // 2 lines
    std::string ninetySeven = "kind: text\n";
    for (int n = 0; n < 97; ++n) ninetySeven += "[question]\nanswer: x\n";
    const Case cases[] = {
        {head + "title: a|b\n", 3, "contains '|'"},
        {head + "[question]\nanswer: x|y\n", 4, "contains '|'"},
        {head + "author: \xE2\x86\x92\n", 3, "(U+2192) at column 9 is outside code page 1252"},
        {head + "author: ab\xF0\x9F\x98\x80\n", 3, "outside code page 1252"},
        {head + "author: \xC3(\n", 3, "not valid UTF-8 at column 9; save the description as UTF-8"},
        {"\xFF\xFEk\0i\0", 0, "UTF-16 text; save it as UTF-8"},
        {head + "title: " + std::string(260, 't') + "\n", 3, "at most 259 characters; this one has 260"},
        {head + "link: " + std::string(25, 'l') + "\n", 3, "at most 24 characters"},
        {head + "footer: " + std::string(43, 'f') + "\n", 3, "at most 42 characters"},
        {head + "[question]\nanswer: " + std::string(260, 'a') + "\n", 4, "at most 259"},
        {head + "[question]\nanswer: " + std::string(129, 'a') + "\n", 4,
         "fields of a picture quiz take at most 128 characters; this answer has 129"},
        {head + "code: A\rB\n", 3, "reward code cannot hold a line break"},
        {head + "title: a\tb\n", 3, "control character"},
        {ninetySeven, 194, "at most 96 questions"},
        {"kind: picture\nanswer-mode: hints\n", 2, "unknown answer mode 'hints'"},
        {"kind: picture\nanswer-mode: 6\n", 2, "unknown answer mode"},
        {"kind: cartoon\n", 1, "unknown kind 'cartoon'"},
        {"kind: text\nanswers: 3\n", 2, "answers is 1 or 2"},
        {"kind: text\nbackground: 1 2 256\n", 2, "background is"},
        {"kind: text\nbackground: #12345g\n", 2, "background is"},
        {"kind: text\nbackground: 1 2\n", 2, "background is"},
        {"kind: text\ncolour: red\n", 2, "unknown key 'colour'"},
        {"kind: text\ntitle: a\ntitle: b\n", 3, "'title' is given twice"},
        {"kind: text\njust words\n", 2, "expected 'key: value'"},
        {"kind: text\n[questions]\n", 2, "unknown section"},
        {"[question]\nanswer: a\n", 1, "'kind:' must come before"},
        {"title: nothing else\n", 0, "no 'kind:'"},
        {"kind: text\nanswer: a\n", 2, "belongs to a question"},
        {"kind: text\n[question]\nanswer: a\ntitle: t\n", 4, "'title' is a quiz key: move it above the first [question]"},
        {"kind: text\n[question]\nanwser: a\n", 3, "unknown key 'anwser'; did you mean 'answer'?"},
        {"kind: text\n[question]\nanswer: a\nanswer: b\n", 4, "given twice"},
        {"kind: text\n[question]\nprompt: p\n", 2, "has no answer"},
        {"kind: text\nanswers: 2\n[question]\nanswer: a\n", 3, "has no second-answer"},
        {"kind: text\n[question]\nanswer: a\nsecond-answer: b\n", 4, "needs 'answers: 2'"},
        {"kind: text\n[question]\nanswer: a\npicture: p.jpg\n", 4, "a text quiz has no pictures"},
        {"kind: picture\n[question]\nanswer: a\nclip: c.wav\n", 4, "a picture quiz has no clips"},
        {"kind: picture\n[question]\nanswer: a\npicture:\n", 4, "needs a file path"},
        {"kind: text\ncode: a\ncode: b\n[question]\nanswer: a\n", 3, "more reward codes than questions"},
    };
    for (const Case& c : cases) {
        Parsed p = parse(c.text);
        EXPECT_FALSE(p.ok) << c.text;
        EXPECT_EQ(p.error.line, c.line) << c.text;
        EXPECT_NE(p.error.reason.find(c.reason), std::string::npos) << c.text << "\n  gave: " << p.error.reason;
    }
}

TEST(QuizDescription, FillsTheDocumentForThePackageWriter) {
    Parsed p = parse(kFull);
    ASSERT_TRUE(p.ok);
    QuizDocument* d = createQuizDocument();
    ASSERT_NE(d, nullptr);
    fillQuizDocument(p.quiz, d);
    EXPECT_EQ(d->quizKind, QuizKindPicture);
    EXPECT_EQ(d->questionCount, 2);
    EXPECT_EQ(d->answersPerQuestion, 2);
    EXPECT_EQ(d->answerMode, 3);
    EXPECT_STREQ(d->title, "Les \xE9toiles \x80");
    EXPECT_STREQ(d->secondAnswerLabel, "Couleur");
    EXPECT_EQ(d->backgroundColor.red, 0x33);
    EXPECT_EQ(d->backgroundColor.green, 0x66);
    EXPECT_EQ(d->backgroundColor.blue, 0xFF);
    EXPECT_STREQ(d->rewardCodes[0], "UN");
    EXPECT_STREQ(d->linkText, "http://example.org");
    EXPECT_STREQ(d->footerText, "Pied");
    ASSERT_NE(questionAt(d, 1), nullptr);
    EXPECT_STREQ(questionAt(d, 1)->firstAnswer, "c\x9Cur");
    EXPECT_STREQ(questionAt(d, 1)->clue, "Un indice: avec deux points");
    EXPECT_STREQ(questionAt(d, 2)->secondAnswer, "blanche");
    EXPECT_EQ(questionAt(d, 2), d->lastQuestion);
    destroyQuizDocument(d);
}

}  // namespace
