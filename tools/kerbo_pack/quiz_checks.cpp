// The checks of a parsed description that need no file.
#include <string>

#include "package/package_format.h"
#include "package/package_writer.h"
#include "tools/kerbo_pack/quiz_checks.h"

namespace {

bool linkBlockFits(const std::string& link, const std::string& footer) {
    unsigned char block[kLinkBlockSize];
    return encodeLinkBlock(link.c_str(), footer.c_str(), block) != PackageTooLarge;
}

std::string characters(int n) { return std::to_string(n) + (n == 1 ? " character" : " characters"); }

void checkQuestionsAndFields(const QuizDescription& quiz, Diagnostics* out) {
    if (quiz.questions.empty() && lineOfKey(quiz.keyLines, "kind") > 0)
        out->error(0, "the quiz has no question; add a '[question]' with an 'answer:' below the quiz keys");
    const int answersLine = lineOfKey(quiz.keyLines, "answers");
    if (quiz.quizKind == QuizKindText && quiz.answersPerQuestion == 2) {
        out->error(answersLine, "answers: 2 in a text quiz: the player shows one answer field per question, so "
                                "no second-answer can ever be typed; use 'answers: 1' or another kind");
    }
}

void checkLinkBlock(const QuizDescription& quiz, Diagnostics* out) {
    const int excess = linkBlockExcess(quiz.linkText, quiz.footerText);
    if (excess == 0) return;
    const int line = quiz.linkLine > quiz.footerLine ? quiz.linkLine : quiz.footerLine;
    out->error(line, "link and footer do not compress into the 70-byte link block; shorten them by " +
                         characters(excess) + " together (about 55 characters fit in all)");
}

// Keys whose values the player never shows.
void checkIgnoredKeys(const QuizDescription& quiz, Diagnostics* out) {
    const bool text = quiz.quizKind == QuizKindText;
    const bool picture = quiz.quizKind == QuizKindPicture;
    const bool clues = answerModeHasClues(quiz.answerMode);
    const bool solvedPictures = answerModeShowsSolvedPicture(quiz.answerMode);
    const std::string mode = answerModeName(quiz.answerMode);
    if (quiz.answersPerQuestion == 1 && quiz.quizKind > QuizKindText) {
        for (const char* key : {"first-answer-label", "second-answer-label"}) {
            const int line = lineOfKey(quiz.keyLines, key);
            if (line > 0)
                out->warning(line, std::string(key) + " is shown only with 'answers: 2'; the player ignores it here");
        }
    }
    if (quiz.quizKind < 0) return;
    for (const QuestionDescription& q : quiz.questions) {
        const int promptLine = lineOfKey(q.keyLines, "prompt");
        if (promptLine > 0 && !text) {
            out->warning(promptLine, std::string("prompt is shown in text quizzes only; a ") +
                                         quizKindName(quiz.quizKind) + " quiz ignores it");
        }
        const int clueLine = lineOfKey(q.keyLines, "clue");
        if (clueLine > 0 && text) {
            out->warning(clueLine, "clue: a text quiz shows no clues; the player ignores it");
        } else if (clueLine > 0 && !clues) {
            out->warning(clueLine, "clue: answer mode " + mode +
                                       " shows no clues (clue, clue-and-picture and clues-at-end do); the player "
                                       "ignores it");
        } else if (!text && clues && q.clue.empty()) {
            out->warning(clueLine > 0 ? clueLine : q.line,
                         clueLine > 0 ? "clue is empty: the solved question shows an empty clue line"
                                      : "the question has no clue: once solved it shows an empty clue line; add "
                                        "'clue:'");
        }
        const int solvedLine = lineOfKey(q.keyLines, "solved-picture");
        if (!picture) continue;
        if (solvedLine > 0 && !solvedPictures) {
            out->warning(solvedLine, "solved-picture: answer mode " + mode +
                                         " shows no solved picture (solved-picture and clue-and-picture do); the "
                                         "player ignores it");
        } else if (solvedLine == 0 && solvedPictures) {
            out->warning(q.line, "the question has no solved-picture: answer mode " + mode +
                                     " shows an empty place once it is solved; add 'solved-picture:'");
        }
    }
}

}  // namespace

int linkBlockExcess(const std::string& link, const std::string& footer) {
    if (linkBlockFits(link, footer)) return 0;
    // Characters come off the end of the footer first, then of the link.
    const int total = static_cast<int>(link.size() + footer.size());
    for (int cut = 1; cut <= total; ++cut) {
        const int fromFooter = cut < static_cast<int>(footer.size()) ? cut : static_cast<int>(footer.size());
        const int fromLink = cut - fromFooter;
        if (linkBlockFits(link.substr(0, link.size() - fromLink), footer.substr(0, footer.size() - fromFooter)))
            return cut;
    }
    return total;
}

void checkQuizDescription(const QuizDescription& quiz, Diagnostics* diagnostics) {
    checkQuestionsAndFields(quiz, diagnostics);
    checkLinkBlock(quiz, diagnostics);
    checkIgnoredKeys(quiz, diagnostics);
    for (const QuestionDescription& q : quiz.questions) {
        checkAnswerJudging("answer", q.firstAnswer, lineOfKey(q.keyLines, "answer"), diagnostics);
        if (quiz.answersPerQuestion == 2)
            checkAnswerJudging("second-answer", q.secondAnswer, lineOfKey(q.keyLines, "second-answer"), diagnostics);
    }
}

void checkAnswerJudging(const std::string&, const std::string&, int, Diagnostics*) {}
