#include "package/package_writer.h"

#include <cstring>

#include "package/lzw_decoder.h"
#include "package/lzw_encoder.h"
#include "package/package_format.h"

const char* packageWriteErrorText(PackageWriteError error) {
    switch (error) {
        case PackageWriteOk: return "no error";
        case PackageTextHasBar: return "a text contains '|'";
        case PackageTextTooLong: return "the link text holds at most 24 characters, the footer text 42";
        case PackageCodeHasLineBreak: return "a reward code contains a line break";
        case PackageBadQuizKind: return "the quiz kind is not text, picture, audio or video";
        case PackageBadQuestionCount: return "the question count is not 0 to 96 or does not match the questions";
        case PackageBadAnswersPerQuestion: return "answers per question must be 1 or 2";
        case PackageBadAnswerMode: return "the answer mode must be 0 to 255";
        case PackageTooLarge: return "the quiz is too large for a package";
    }
    return "unknown error";
}

// Appends one text and its "|".
static PackageWriteError putText(std::vector<unsigned char>* bytes, const char* text) {
    if (std::strchr(text, kPackageTextEnd)) return PackageTextHasBar;
    bytes->insert(bytes->end(), text, text + std::strlen(text));
    bytes->push_back(kPackageTextEnd);
    return PackageWriteOk;
}

static PackageWriteError putTexts(std::vector<unsigned char>* bytes, const char* const* texts, int count) {
    for (int i = 0; i < count; ++i) {
        PackageWriteError error = putText(bytes, texts[i]);
        if (error != PackageWriteOk) return error;
    }
    return PackageWriteOk;
}

static int listLength(const QuizDocument& document) {
    int n = 0;
    for (const QuestionNode* node = document.firstQuestion; node; node = node->next) ++n;
    return n;
}

static PackageWriteError checkCounts(const QuizDocument& document) {
    if (document.quizKind < QuizKindText || document.quizKind > QuizKindVideo) return PackageBadQuizKind;
    if (document.questionCount < 0 || document.questionCount > kMaxQuestions ||
        listLength(document) != document.questionCount) {
        return PackageBadQuestionCount;
    }
    if (document.answersPerQuestion != 1 && document.answersPerQuestion != 2) return PackageBadAnswersPerQuestion;
    if (document.answerMode < 0 || document.answerMode > 255) return PackageBadAnswerMode;
    return PackageWriteOk;
}

// Each question's answers and prompt, in question order.
static PackageWriteError putQuestions(const QuizDocument& document, std::vector<unsigned char>* bytes) {
    for (const QuestionNode* node = document.firstQuestion; node; node = node->next) {
        const char* twoAnswers[] = {node->firstAnswer, node->secondAnswer, node->prompt};
        const char* oneAnswer[] = {node->firstAnswer, node->prompt};
        PackageWriteError error = document.answersPerQuestion == 2 ? putTexts(bytes, twoAnswers, 3)
                                                                    : putTexts(bytes, oneAnswer, 2);
        if (error != PackageWriteOk) return error;
    }
    return PackageWriteOk;
}

// The clue texts of the answer mode; the second text of mode 3 is never read
// and is written empty.
static PackageWriteError putClues(const QuizDocument& document, std::vector<unsigned char>* bytes) {
    int perQuestion = clueTextsPerQuestion(document.answerMode);
    if (perQuestion == 0) return PackageWriteOk;
    for (const QuestionNode* node = document.firstQuestion; node; node = node->next) {
        const char* texts[] = {node->clue, ""};
        PackageWriteError error = putTexts(bytes, texts, perQuestion);
        if (error != PackageWriteOk) return error;
    }
    return PackageWriteOk;
}

PackageWriteError buildQuestionsBytes(const QuizDocument& document, std::vector<unsigned char>* bytes) {
    bytes->clear();
    PackageWriteError error = checkCounts(document);
    if (error != PackageWriteOk) return error;
    bytes->push_back(0);
    bytes->push_back(static_cast<unsigned char>(document.quizKind + 1));
    bytes->push_back(static_cast<unsigned char>(document.questionCount));
    bytes->push_back(static_cast<unsigned char>(document.answersPerQuestion));
    const char* header[] = {document.title, document.author, document.explanation, document.firstAnswerLabel,
                            document.secondAnswerLabel};
    error = putTexts(bytes, header, 5);
    if (error == PackageWriteOk) error = putQuestions(document, bytes);
    if (error == PackageWriteOk) {
        bytes->push_back(static_cast<unsigned char>(document.answerMode));
        error = putClues(document, bytes);
    }
    if (error == PackageWriteOk) {
        bytes->push_back(document.backgroundColor.red);
        bytes->push_back(document.backgroundColor.green);
        bytes->push_back(document.backgroundColor.blue);
        if (bytes->size() > kLzwMaxOutput) error = PackageTooLarge;
    }
    if (error != PackageWriteOk) bytes->clear();
    return error;
}

PackageWriteError buildCodesBytes(const QuizDocument& document, std::vector<unsigned char>* bytes) {
    bytes->clear();
    if (document.questionCount < 0 || document.questionCount > kMaxQuestions) return PackageBadQuestionCount;
    for (int k = 0; k < document.questionCount; ++k) {
        const char* code = document.rewardCodes[k];
        if (std::strpbrk(code, "\r\n")) {
            bytes->clear();
            return PackageCodeHasLineBreak;
        }
        bytes->insert(bytes->end(), code, code + std::strlen(code));
        bytes->push_back('\r');
        bytes->push_back('\n');
    }
    if (bytes->empty()) bytes->push_back(0);
    return PackageWriteOk;
}

PackageWriteError buildLinkBlockBytes(const char* linkText, const char* footerText,
                                      std::vector<unsigned char>* bytes) {
    bytes->assign(kLinkTextOffset, 0);
    if (std::strlen(linkText) >= kLinkTextCapacity || std::strlen(footerText) >= kFooterTextCapacity) {
        bytes->clear();
        return PackageTextTooLong;
    }
    const char* texts[] = {linkText, footerText};
    PackageWriteError error = putTexts(bytes, texts, 2);
    if (error != PackageWriteOk) bytes->clear();
    return error;
}

PackageWriteError encodeResource(const std::vector<unsigned char>& decoded, bool scrambled,
                                 std::vector<unsigned char>* stored) {
    stored->clear();
    if (decoded.size() > kLzwMaxOutput) return PackageTooLarge;
    const uint32_t length = static_cast<uint32_t>(decoded.size());
    if (!(scrambled ? lzwEncodeForScrambling : lzwEncode)(decoded.data(), length, stored)) return PackageTooLarge;
    if (scrambled) scrambleResource(stored->data(), stored->size());
    return PackageWriteOk;
}

PackageWriteError encodeLinkBlock(const char* linkText, const char* footerText,
                                  unsigned char block[kLinkBlockSize]) {
    std::vector<unsigned char> decoded;
    PackageWriteError error = buildLinkBlockBytes(linkText, footerText, &decoded);
    std::vector<unsigned char> stored;
    if (error == PackageWriteOk) error = encodeResource(decoded, false, &stored);
    if (error == PackageWriteOk && stored.size() > kLinkBlockSize) error = PackageTooLarge;
    if (error != PackageWriteOk) return error;
    std::memset(block, 0, kLinkBlockSize);
    std::memcpy(block, stored.data(), stored.size());
    return PackageWriteOk;
}
