// The quiz package loader on packages made by the package writer, and on
// hand-made decoded data that ends early or holds too much.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "package/lzw_encoder.h"
#include "package/message_box.h"
#include "package/package_format.h"
#include "package/package_loader.h"
#include "package/package_writer.h"

namespace {

struct Quiz {
    QuizDocument* d = createQuizDocument();
    Quiz() = default;
    Quiz(const Quiz&) = delete;
    Quiz& operator=(const Quiz&) = delete;
    ~Quiz() { destroyQuizDocument(d); }
};

std::vector<unsigned char> bytesOf(const std::string& text) { return std::vector<unsigned char>(text.begin(), text.end()); }

// A picture quiz with distinct texts everywhere; clues only in the answer
// modes that store them.
void describe(QuizDocument* d, int questions, int answers, int mode) {
    copyText(d->title, kTextCapacity, "Les capitales");
    copyText(d->author, kTextCapacity, "Ana\xEFs");
    copyText(d->explanation, kTextCapacity, "Trouvez la ville et le pays");
    copyText(d->firstAnswerLabel, kTextCapacity, "Ville");
    copyText(d->secondAnswerLabel, kTextCapacity, "Pays");
    d->quizKind = QuizKindPicture;
    d->questionCount = questions;
    d->answersPerQuestion = answers;
    d->answerMode = mode;
    d->backgroundColor.red = 0x33;
    d->backgroundColor.green = 0x66;
    d->backgroundColor.blue = 0xFF;
    for (int j = 1; j <= questions; ++j) {
        std::string n = std::to_string(j);
        appendQuestion(d, ("ville " + n).c_str(), answers == 2 ? ("pays " + n).c_str() : "",
                       ("question " + n).c_str());
        if (clueTextsPerQuestion(mode) > 0) copyText(questionAt(d, j)->clue, kTextCapacity, ("indice " + n).c_str());
        copyText(d->rewardCodes[j - 1], kTextCapacity, ("CODE-" + n).c_str());
    }
}

void putResource(MemoryResourceStore* store, int id, const std::vector<unsigned char>& decoded, bool scrambled) {
    std::vector<unsigned char> stored;
    ASSERT_EQ(encodeResource(decoded, scrambled, &stored), PackageWriteOk);
    store->add(KERBO_TYPE_PATCH, id, stored.data(), static_cast<uint32_t>(stored.size()));
}

void putLinkBlock(MemoryResourceStore* store, const std::string& decoded) {
    std::vector<unsigned char> stored;
    ASSERT_TRUE(lzwEncode(bytesOf(decoded).data(), static_cast<uint32_t>(decoded.size()), &stored));
    ASSERT_LE(stored.size(), size_t{kLinkBlockSize});
    store->setLinkBlock(stored.data(), static_cast<uint32_t>(stored.size()));
}

void putPackage(MemoryResourceStore* store, const QuizDocument& quiz, bool scrambleQuestions = false,
                bool scrambleCodes = false) {
    unsigned char block[kLinkBlockSize];
    ASSERT_EQ(encodeLinkBlock("http://kerbo.fr", "Kerbo de test", block), PackageWriteOk);
    store->setLinkBlock(block, kLinkBlockSize);
    std::vector<unsigned char> questions, codes;
    ASSERT_EQ(buildQuestionsBytes(quiz, &questions), PackageWriteOk);
    ASSERT_EQ(buildCodesBytes(quiz, &codes), PackageWriteOk);
    putResource(store, kQuestionsResourceId, questions, scrambleQuestions);
    putResource(store, kCodesResourceId, codes, scrambleCodes);
}

PackageLoadReport load(QuizDocument* d, const ResourceStore& store) {
    clearLastMessage();
    PackageLoadReport report;
    std::memset(&report, 0xAB, sizeof report);
    loadQuizPackage(d, store, &report);
    return report;
}

int listLength(const QuizDocument& d) {
    int n = 0;
    for (const QuestionNode* q = d.firstQuestion; q; q = q->next) ++n;
    return n;
}

void expectSameQuiz(const QuizDocument& loaded, const QuizDocument& expected) {
    EXPECT_STREQ(loaded.title, expected.title);
    EXPECT_STREQ(loaded.author, expected.author);
    EXPECT_STREQ(loaded.explanation, expected.explanation);
    EXPECT_STREQ(loaded.firstAnswerLabel, expected.firstAnswerLabel);
    EXPECT_STREQ(loaded.secondAnswerLabel, expected.secondAnswerLabel);
    EXPECT_EQ(loaded.quizKind, expected.quizKind);
    EXPECT_EQ(loaded.questionCount, expected.questionCount);
    EXPECT_EQ(loaded.answersPerQuestion, expected.answersPerQuestion);
    EXPECT_EQ(loaded.answerMode, expected.answerMode);
    EXPECT_EQ(loaded.backgroundColor.red, expected.backgroundColor.red);
    EXPECT_EQ(loaded.backgroundColor.green, expected.backgroundColor.green);
    EXPECT_EQ(loaded.backgroundColor.blue, expected.backgroundColor.blue);
    ASSERT_EQ(listLength(loaded), listLength(expected));
    for (const QuestionNode *a = loaded.firstQuestion, *b = expected.firstQuestion; a; a = a->next, b = b->next) {
        EXPECT_STREQ(a->firstAnswer, b->firstAnswer);
        EXPECT_STREQ(a->secondAnswer, b->secondAnswer);
        EXPECT_STREQ(a->prompt, b->prompt);
        EXPECT_STREQ(a->clue, b->clue);
    }
    for (int k = 0; k < kMaxQuestions; ++k) EXPECT_STREQ(loaded.rewardCodes[k], expected.rewardCodes[k]) << k;
}

void expectMessage(const char* text) {
    ASSERT_NE(lastMessage(), nullptr);
    EXPECT_STREQ(lastMessage()->text, text);
    EXPECT_STREQ(lastMessage()->caption, "Kerbo");
    EXPECT_EQ(lastMessage()->count, 1);
}

TEST(PackageLoader, EveryAnswerModeWithOneAndTwoAnswers) {
    for (int mode : {0, 1, 2, 3, 4, 5, 9}) {
        for (int answers : {1, 2}) {
            SCOPED_TRACE("answer mode " + std::to_string(mode) + ", answers " + std::to_string(answers));
            Quiz expected, loaded;
            describe(expected.d, 3, answers, mode);
            MemoryResourceStore store;
            putPackage(&store, *expected.d);
            PackageLoadReport report = load(loaded.d, store);
            expectSameQuiz(*loaded.d, *expected.d);
            EXPECT_STREQ(loaded.d->linkText, "http://kerbo.fr");
            EXPECT_STREQ(loaded.d->footerText, "Kerbo de test");
            EXPECT_EQ(lastMessage(), nullptr);
            EXPECT_TRUE(report.linkBlockDecoded);
            EXPECT_FALSE(report.builtInQuiz);
        }
    }
}

TEST(PackageLoader, ScrambledAndPlainResourcesInEveryCombination) {
    for (bool scrambleQuestions : {false, true}) {
        for (bool scrambleCodes : {false, true}) {
            SCOPED_TRACE(std::string("questions ") + (scrambleQuestions ? "scrambled" : "plain") + ", codes " +
                         (scrambleCodes ? "scrambled" : "plain"));
            Quiz expected, loaded;
            describe(expected.d, 4, 2, 3);
            MemoryResourceStore store;
            putPackage(&store, *expected.d, scrambleQuestions, scrambleCodes);
            ResourceBytes stored = store.find(KERBO_TYPE_PATCH, kQuestionsResourceId);
            std::vector<unsigned char> before(stored.bytes, stored.bytes + stored.size);

            PackageLoadReport report = load(loaded.d, store);
            expectSameQuiz(*loaded.d, *expected.d);
            EXPECT_EQ(lastMessage(), nullptr);
            EXPECT_EQ(report.questions, scrambleQuestions ? StorageScrambled : StoragePlain);
            EXPECT_EQ(report.codes, scrambleCodes ? StorageScrambled : StoragePlain);
            EXPECT_EQ(std::vector<unsigned char>(stored.bytes, stored.bytes + stored.size), before);
        }
    }
}

TEST(PackageLoader, ScramblingKeepsByteZeroAndCyclesTheKey) {
    std::vector<unsigned char> bytes(23, 0);
    scrambleResource(bytes.data(), bytes.size());
    EXPECT_EQ(bytes[0], 0);
    EXPECT_EQ(bytes[1], 'C');
    EXPECT_EQ(bytes[21], '!');
    EXPECT_EQ(bytes[22], 'C');
    scrambleResource(bytes.data(), bytes.size());
    EXPECT_EQ(bytes, std::vector<unsigned char>(23, 0));
}

TEST(PackageLoader, ZeroQuestions) {
    Quiz expected, loaded;
    describe(expected.d, 0, 1, 2);
    MemoryResourceStore store;
    putPackage(&store, *expected.d);
    load(loaded.d, store);
    expectSameQuiz(*loaded.d, *expected.d);
    EXPECT_EQ(loaded.d->firstQuestion, nullptr);
    EXPECT_EQ(lastMessage(), nullptr);
}

TEST(PackageLoader, BuiltInQuizWhenTheQuestionsAreMissing) {
    Quiz expected, loaded;
    describe(expected.d, 2, 1, 0);
    MemoryResourceStore store;
    putPackage(&store, *expected.d);
    store.add(KERBO_TYPE_PATCH, kQuestionsResourceId, "", 0);  // empty counts as missing

    PackageLoadReport report = load(loaded.d, store);
    expectMessage("Cles du jeu absentes!");
    EXPECT_TRUE(report.builtInQuiz);
    EXPECT_EQ(report.codes, StorageMissing);  // not read
    QuizDocument* d = loaded.d;
    EXPECT_STREQ(d->title, "Nom du kerbo");
    EXPECT_STREQ(d->author, "Createur kerbo");
    EXPECT_STREQ(d->explanation, "Explications du kerbo");
    EXPECT_STREQ(d->firstAnswerLabel, "TEST");
    EXPECT_STREQ(d->secondAnswerLabel, "TEST");
    EXPECT_EQ(d->answersPerQuestion, 2);
    EXPECT_EQ(d->answerMode, 3);
    EXPECT_EQ(d->questionCount, 7);
    EXPECT_EQ(d->quizKind, QuizKindPicture);
    EXPECT_EQ(d->backgroundColor.red, 51);
    EXPECT_EQ(d->backgroundColor.green, 102);
    EXPECT_EQ(d->backgroundColor.blue, 255);
    ASSERT_EQ(listLength(*d), 2);
    EXPECT_EQ(questionAt(d, 7), d->lastQuestion);
    for (const QuestionNode* q = d->firstQuestion; q; q = q->next) {
        EXPECT_STREQ(q->firstAnswer, "TEST");
        EXPECT_STREQ(q->secondAnswer, "TEST");
        EXPECT_STREQ(q->prompt, "emplacement");
    }
    EXPECT_STREQ(d->linkText, "http://kerbo.fr");
    EXPECT_STREQ(d->rewardCodes[0], "");
}

TEST(PackageLoader, EachFailureShowsItsMessageAndKeepsWhatWasRead) {
    const std::vector<unsigned char> garbage{0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};
    struct {
        const char* name;
        std::function<void(MemoryResourceStore*)> spoil;
        const char* message;
        bool linkRead, quizRead;
        ResourceStorage questions, codes;
    } cases[] = {
        {"link block does not decode",
         [](MemoryResourceStore* s) { s->setLinkBlock("", 0); },
         "Erreur dans le d\xE9" "cryptage", false, false, StorageMissing, StorageMissing},
        {"questions decode neither way",
         [&](MemoryResourceStore* s) { s->add(KERBO_TYPE_PATCH, kQuestionsResourceId, garbage.data(), 6); },
         "Erreur dans le d\xE9" "cryptage des reponses", true, false, StorageUnreadable, StorageMissing},
        {"codes missing",
         [](MemoryResourceStore* s) { s->add(KERBO_TYPE_PATCH, kCodesResourceId, "", 0); },
         "Erreur dans le d\xE9" "cryptage des codes", true, true, StoragePlain, StorageMissing},
        {"codes decode neither way",
         [&](MemoryResourceStore* s) { s->add(KERBO_TYPE_PATCH, kCodesResourceId, garbage.data(), 6); },
         "Erreur dans le d\xE9" "cryptage des codes", true, true, StoragePlain, StorageUnreadable},
    };
    for (auto& c : cases) {
        SCOPED_TRACE(c.name);
        Quiz expected, loaded, defaults;
        describe(expected.d, 3, 2, 2);
        MemoryResourceStore store;
        putPackage(&store, *expected.d);
        c.spoil(&store);

        PackageLoadReport report = load(loaded.d, store);
        expectMessage(c.message);
        EXPECT_EQ(report.linkBlockDecoded, c.linkRead);
        EXPECT_EQ(report.questions, c.questions);
        EXPECT_EQ(report.codes, c.codes);
        EXPECT_STREQ(loaded.d->linkText, c.linkRead ? "http://kerbo.fr" : "");
        if (c.quizRead) {
            for (int k = 0; k < kMaxQuestions; ++k) expected.d->rewardCodes[k][0] = '\0';
            expectSameQuiz(*loaded.d, *expected.d);
        } else {
            defaults.d->questionCount = 0;
            expectSameQuiz(*loaded.d, *defaults.d);
        }
    }
}

// Decoded questions data written by hand: header bytes, then texts.
std::string header(int count, int answers) {
    return std::string{'\0', '\x02', static_cast<char>(count), static_cast<char>(answers)} + "T|A|E|L1|L2|";
}

TEST(PackageLoader, DataEndingEarlyLeavesTheRestEmpty) {
    Quiz loaded;
    MemoryResourceStore store;
    putLinkBlock(&store, std::string("\0\0lien|pied|", 12));
    putResource(&store, kQuestionsResourceId, bytesOf(header(3, 1) + "r1|q1|r2"), true);
    putResource(&store, kCodesResourceId, bytesOf("C1\r\nC2"), false);

    load(loaded.d, store);
    EXPECT_EQ(lastMessage(), nullptr);
    QuizDocument* d = loaded.d;
    EXPECT_EQ(d->questionCount, 3);
    ASSERT_EQ(listLength(*d), 3);
    EXPECT_STREQ(questionAt(d, 1)->prompt, "q1");
    EXPECT_STREQ(questionAt(d, 2)->firstAnswer, "r2");
    EXPECT_STREQ(questionAt(d, 2)->prompt, "");
    EXPECT_STREQ(questionAt(d, 3)->firstAnswer, "");
    EXPECT_EQ(d->answerMode, 0);
    EXPECT_EQ(d->backgroundColor.red, 90);  // the default colour stays
    EXPECT_EQ(d->backgroundColor.green, 95);
    EXPECT_EQ(d->backgroundColor.blue, 150);
    EXPECT_STREQ(d->rewardCodes[0], "C1");
    EXPECT_STREQ(d->rewardCodes[1], "C2");  // a line without CR ends with the data
    EXPECT_STREQ(d->rewardCodes[2], "");
}

TEST(PackageLoader, OversizedFieldsAreCut) {
    Quiz loaded;
    MemoryResourceStore store;
    putLinkBlock(&store, std::string("\0\0", 2) + std::string(30, 'L') + "|" + std::string(50, 'F') + "|");
    std::string questions{'\0', '\x02', static_cast<char>(200), '\x03'};
    questions += std::string(300, 'T') + "|A|E|L1|L2|";
    for (int j = 0; j < 200; ++j) questions += "r|q|";
    putResource(&store, kQuestionsResourceId, bytesOf(questions), false);
    putResource(&store, kCodesResourceId, bytesOf(std::string(300, 'C') + "\r\nD\r\n"), false);

    load(loaded.d, store);
    QuizDocument* d = loaded.d;
    EXPECT_EQ(d->linkText, std::string(24, 'L'));
    EXPECT_EQ(d->footerText, std::string(42, 'F'));
    EXPECT_EQ(d->title, std::string(259, 'T'));
    EXPECT_STREQ(d->author, "A");
    EXPECT_EQ(d->questionCount, 96);
    EXPECT_EQ(listLength(*d), 96);
    EXPECT_EQ(d->answersPerQuestion, 1);  // neither 1 nor 2: one answer read and stored
    EXPECT_STREQ(questionAt(d, 96)->firstAnswer, "r");
    EXPECT_STREQ(questionAt(d, 96)->prompt, "q");
    EXPECT_EQ(d->rewardCodes[0], std::string(259, 'C'));
    EXPECT_STREQ(d->rewardCodes[1], "D");
}

}  // namespace
