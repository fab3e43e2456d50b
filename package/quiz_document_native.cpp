// The quiz document outside Windows (the authoring tool and the native tests):
// the same defaults, with no fonts or brushes behind the handles.
#include "package/quiz_document.h"

#include <cstdlib>

QuizDocument* createQuizDocument() {
    QuizDocument* document = static_cast<QuizDocument*>(std::calloc(1, sizeof(QuizDocument)));
    if (!document) return nullptr;
    setDocumentTexts(document);
    setDocumentModes(document);
    return document;
}

void destroyQuizDocument(QuizDocument* document) {
    if (!document) return;
    freeQuestions(document);
    std::free(document);
}

void replaceBackgroundBrush(QuizDocument*) {}

void createAnswerFont(QuizDocument*) {}
