// Construction and destruction of the quiz document with its GDI fonts and
// brushes.
#include "package/quiz_document.h"

#include <cstdlib>
#include <cstring>

static HFONT createFont(LONG height, LONG weight, BYTE italic, const char* face) {
    LOGFONTA font;
    std::memset(&font, 0, sizeof font);
    font.lfHeight = height;
    font.lfWeight = weight;
    font.lfItalic = italic;
    copyText(font.lfFaceName, LF_FACESIZE, face);
    return CreateFontIndirectA(&font);
}

QuizDocument* createQuizDocument() {
    QuizDocument* document = static_cast<QuizDocument*>(std::calloc(1, sizeof(QuizDocument)));
    if (!document) return nullptr;
    document->firstQuestion = nullptr;
    document->lastQuestion = nullptr;
    document->scoreFont = createFont(25, 400, 0, "Arial");
    document->titleFont = createFont(-15, 700, 1, "");
    setDocumentTexts(document);
    document->backgroundBrush = CreateSolidBrush(RGB(90, 95, 150));
    setDocumentModes(document);
    document->wrongBrush = CreateSolidBrush(RGB(255, 0, 0));
    document->anagramBrush = CreateSolidBrush(RGB(255, 100, 0));
    document->hintBrush = CreateSolidBrush(RGB(255, 203, 38));
    document->promptBrush = CreateSolidBrush(RGB(255, 255, 192));
    document->mediaDirectory[0] = '\0';
    return document;
}

void destroyQuizDocument(QuizDocument* document) {
    if (!document) return;
    HGDIOBJ objects[] = {document->backgroundBrush, document->wrongBrush, document->anagramBrush,
                         document->hintBrush,       document->promptBrush, document->titleFont,
                         document->answerFont,      document->scoreFont};
    for (HGDIOBJ object : objects) {
        if (object) DeleteObject(object);
    }
    freeQuestions(document);
    std::free(document);
}

void replaceBackgroundBrush(QuizDocument* document) {
    const BackgroundColor& c = document->backgroundColor;
    HBRUSH brush = CreateSolidBrush(RGB(c.red, c.green, c.blue));
    if (document->backgroundBrush) DeleteObject(document->backgroundBrush);
    document->backgroundBrush = brush;
}

void createAnswerFont(QuizDocument* document) {
    document->answerFont = createFont(15, 100, 0, "");
}

void executableFileName(char* buffer, int capacity) {
    DWORD length = GetModuleFileNameA(nullptr, buffer, static_cast<DWORD>(capacity));
    if (length == 0 || capacity <= 0) {
        if (capacity > 0) buffer[0] = '\0';
        return;
    }
    if (length >= static_cast<DWORD>(capacity)) buffer[capacity - 1] = '\0';
    char* name = std::strrchr(buffer, '\\');
    if (name) std::memmove(buffer, name + 1, std::strlen(name + 1) + 1);
}
