// The one in-memory record of the running quiz, and its question list.
#pragma once

#include "package/platform_types.h"

enum QuizKind { QuizKindText = 0, QuizKindPicture = 1, QuizKindAudio = 2, QuizKindVideo = 3 };

enum {
    kTextCapacity = 260,       // every quiz text: 259 characters and the terminator
    kMaxQuestions = 96,
    kMaxPictureRows = 32,
    kLinkTextCapacity = 25,    // 24 characters
    kFooterTextCapacity = 43,  // 42 characters
    kMediaDirectoryCapacity = 512,
};

struct QuestionNode {
    char firstAnswer[kTextCapacity];
    char secondAnswer[kTextCapacity];
    char prompt[kTextCapacity];
    char clue[kTextCapacity];
    int solved;
    QuestionNode* prev;
    QuestionNode* next;
};

// Stored as red, blue, green: the package gives red, green, blue.
struct BackgroundColor {
    unsigned char red;
    unsigned char blue;
    unsigned char green;
};

struct QuizDocument {
    int pageWidth;
    int pageHeight;
    int quizKind;
    char title[kTextCapacity];
    char author[kTextCapacity];
    char explanation[kTextCapacity];
    char firstAnswerLabel[kTextCapacity];
    char secondAnswerLabel[kTextCapacity];
    int questionCount;
    int answersPerQuestion;
    char rewardCodes[kMaxQuestions][kTextCapacity];
    int answerMode;
    HFONT answerFont;
    HFONT scoreFont;
    HFONT titleFont;
    int allCluesShown;
    HWND pageWindow;
    int rowHeight[kMaxPictureRows];
    int questionState[kMaxQuestions + 1];  // by question number 1..96; entry 0 unused
    BackgroundColor backgroundColor;
    HBRUSH backgroundBrush;
    HBRUSH wrongBrush;
    HBRUSH anagramBrush;
    HBRUSH hintBrush;
    HBRUSH promptBrush;
    HWND headerWindow;
    char mediaDirectory[kMediaDirectoryCapacity];
    char linkText[kLinkTextCapacity];
    char footerText[kFooterTextCapacity];
    QuestionNode* firstQuestion;
    QuestionNode* lastQuestion;
};

// The process-wide document: set by the entry point right after construction,
// read by every window procedure.
extern QuizDocument* quizDocument;

// Allocates a document and sets the defaults (title "Nom du kerbo", author
// "Createur kerbo", two questions announced, one answer each, the page colour
// RGB(90,95,150), fonts and brushes). Returns null when memory is short.
QuizDocument* createQuizDocument();

// Deletes the document's fonts and brushes, frees every question, then the
// record itself. Accepts null.
void destroyQuizDocument(QuizDocument* document);

// Appends one question with an empty clue; leaves the list unchanged when no
// node can be allocated. Texts are cut to 259 characters.
void appendQuestion(QuizDocument* document, const char* firstAnswer, const char* secondAnswer,
                    const char* prompt);

// The n-th question counted from 1; the last one when the list is shorter;
// null on an empty list.
QuestionNode* questionAt(const QuizDocument* document, int n);

// Frees every node; both list ends become null.
void freeQuestions(QuizDocument* document);

// Replaces backgroundBrush by a solid brush of backgroundColor, deleting the
// old one. No brush exists outside Windows.
void replaceBackgroundBrush(QuizDocument* document);

// Creates answerFont (height 15, weight 100, the mapper's default face).
void createAnswerFont(QuizDocument* document);

// The defaults without handles, for the two platform halves of construction:
// title, author, kind, question count and colour; then modes and states.
void setDocumentTexts(QuizDocument* document);
void setDocumentModes(QuizDocument* document);

#ifdef _WIN32
// The running executable's file name with its extension and without its
// directory (GetModuleFileNameA, then everything after the last backslash).
void executableFileName(char* buffer, int capacity);
#endif

// Copies at most capacity - 1 characters of text into a buffer of capacity
// bytes and terminates it. Returns the number copied.
int copyText(char* destination, int capacity, const char* text);
