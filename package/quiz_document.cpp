// The question list and the defaults of the quiz document. Fonts and brushes
// are made by the platform half (quiz_document_win32.cpp); this file needs no
// window system.
#include "package/quiz_document.h"

#include <cstdlib>
#include <cstring>

QuizDocument* quizDocument = nullptr;

int copyText(char* destination, int capacity, const char* text) {
    if (capacity <= 0) return 0;
    int n = 0;
    if (text) {
        while (n < capacity - 1 && text[n] != '\0') {
            destination[n] = text[n];
            ++n;
        }
    }
    destination[n] = '\0';
    return n;
}

// The record's defaults, in the order the fields are set at construction;
// the platform half creates the fonts and brushes in between.
void setDocumentTexts(QuizDocument* document) {
    copyText(document->title, kTextCapacity, "Nom du kerbo");
    copyText(document->author, kTextCapacity, "Createur kerbo");
    document->quizKind = QuizKindText;
    document->questionCount = 2;
    document->backgroundColor.red = 90;
    document->backgroundColor.green = 95;
    document->backgroundColor.blue = 150;
}

void setDocumentModes(QuizDocument* document) {
    document->answerMode = 0;
    document->answersPerQuestion = 1;
    document->allCluesShown = 0;
    std::memset(document->questionState, 0, sizeof document->questionState);
}

void appendQuestion(QuizDocument* document, const char* firstAnswer, const char* secondAnswer,
                    const char* prompt) {
    QuestionNode* node = static_cast<QuestionNode*>(std::calloc(1, sizeof(QuestionNode)));
    if (!node) return;
    copyText(node->firstAnswer, kTextCapacity, firstAnswer);
    copyText(node->secondAnswer, kTextCapacity, secondAnswer);
    copyText(node->prompt, kTextCapacity, prompt);
    node->prev = document->lastQuestion;
    if (document->lastQuestion) document->lastQuestion->next = node;
    if (!document->firstQuestion) document->firstQuestion = node;
    document->lastQuestion = node;
}

QuestionNode* questionAt(const QuizDocument* document, int n) {
    QuestionNode* node = document->firstQuestion;
    for (int i = 1; i < n && node && node->next; ++i) node = node->next;
    return node;
}

void freeQuestions(QuizDocument* document) {
    QuestionNode* node = document->firstQuestion;
    while (node) {
        QuestionNode* next = node->next;
        std::free(node);
        node = next;
    }
    document->firstQuestion = nullptr;
    document->lastQuestion = nullptr;
}
