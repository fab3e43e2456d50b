// The readable quiz description that `kerbo-pack build` reads (format in
// docs/quiz-format.md): UTF-8 text, one "key: value" a line, quiz keys first,
// then one "[question]" block per question. Texts are converted to code page
// 1252 here and checked against what the package can hold; every refusal
// names the line and the reason.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "package/quiz_document.h"
#include "tools/kerbo_pack/diagnostics.h"

// Where each key of a block was given.
struct KeyLine {
    std::string key;
    int line;
};
// The line of key in a block, 0 when it was not given.
int lineOfKey(const std::vector<KeyLine>& keyLines, const char* key);

// A picture or clip named in the description, by path relative to it.
struct MediaReference {
    std::string path;  // as written (UTF-8); empty when not given
    int line;
};

struct QuestionDescription {
    int line;  // of its "[question]"
    // Code page 1252 texts.
    std::string firstAnswer;
    std::string secondAnswer;
    std::string prompt;
    std::string clue;
    MediaReference picture;        // "IMG" (or RT_RCDATA for a PNG) 400 + n
    MediaReference solvedPicture;  // 10400 + n
    MediaReference clip;           // "IMG" 400 + n
    std::vector<KeyLine> keyLines;
};

struct QuizDescription {
    int quizKind;
    int answersPerQuestion;
    int answerMode;
    unsigned char red, green, blue;
    // Code page 1252 texts.
    std::string title;
    std::string author;
    std::string explanation;
    std::string firstAnswerLabel;
    std::string secondAnswerLabel;
    std::string linkText;
    std::string footerText;
    MediaReference icon;  // icon: FILE.ico, the quiz's own application icon
    int linkLine;    // where link: and footer: were given, 0 when not
    int footerLine;
    std::vector<std::string> rewardCodes;  // at most one per question
    std::vector<int> rewardCodeLines;
    std::vector<KeyLine> keyLines;  // of the quiz keys but code
    std::vector<QuestionDescription> questions;
};

struct DescriptionError {
    int line;  // 0 when the reason concerns the whole file
    std::string reason;
};

// Reads a description held in memory, reporting every problem it finds into
// *diagnostics (appended). Returns true when none of them is an error;
// otherwise *description is incomplete. The checks of what the quiz will
// look like and how it will judge are quiz_checks.h's.
bool readQuizDescription(const char* text, size_t length, QuizDescription* description, Diagnostics* diagnostics);

// The same, keeping only the first error found.
bool parseQuizDescription(const char* text, size_t length, QuizDescription* description, DescriptionError* error);

// What a solved question reveals, by answer mode.
bool answerModeHasClues(int mode);           // clue, clue-and-picture, clues-at-end
bool answerModeShowsSolvedPicture(int mode);  // solved-picture, clue-and-picture

// The answer mode names of the format ("none", "solved-picture", "clue",
// "clue-and-picture", "clues-at-end", "word-count"), by mode 0 to 5.
const char* answerModeName(int mode);
// "text", "picture", "audio", "video" by quiz kind 0 to 3.
const char* quizKindName(int kind);

// Fills a freshly created document with the package fields of a parsed
// description, for the package writer: kind, counts, texts, colour, reward
// codes, link and footer, and one question node (with its clue) per question.
void fillQuizDocument(const QuizDescription& description, QuizDocument* document);
