// Reading and writing the bytes of the saved-answers file (see saved_answers.h).
#include "page/saved_answers.h"

#include <cstring>

namespace {

enum { kCarriageReturn = 13, kLineFeed = 10 };

// Copies the text and the suffix into name when both fit.
bool joinName(char* name, int capacity, const char* text, size_t textLength, const char* suffix) {
    const size_t suffixLength = std::strlen(suffix);
    if (capacity <= 0) return false;
    if (textLength + suffixLength + 1 > static_cast<size_t>(capacity)) {
        name[0] = '\0';
        return false;
    }
    std::memmove(name, text, textLength);
    std::memcpy(name + textLength, suffix, suffixLength + 1);
    return true;
}

}  // namespace

void startSavedLines(SavedLineReader* reader, const void* bytes, size_t size) {
    reader->bytes = static_cast<const unsigned char*>(bytes);
    reader->size = bytes ? size : 0;
    reader->cursor = 0;
}

int readSavedLine(SavedLineReader* reader, char* text, int capacity) {
    int length = 0;
    size_t at = reader->cursor;
    while (at < reader->size && reader->bytes[at] != kCarriageReturn) {
        if (length < capacity - 1) text[length++] = static_cast<char>(reader->bytes[at]);
        ++at;
    }
    while (at < reader->size && reader->bytes[at] != kLineFeed) ++at;
    if (at < reader->size) ++at;
    reader->cursor = at;
    if (capacity > 0) text[length] = '\0';
    return length;
}

bool savedAnswersFileName(const char* executableName, char* name, int capacity) {
    const char* dot = std::strrchr(executableName, '.');
    if (!dot) return joinName(name, capacity, executableName, std::strlen(executableName), ".txt");
    return joinName(name, capacity, executableName, static_cast<size_t>(dot + 1 - executableName), "txt");
}

bool savedAnswersTempName(const char* name, char* tempName, int capacity) {
    return joinName(tempName, capacity, name, std::strlen(name), ".tmp");
}

void clearSavedAnswers(SavedAnswersBytes* save) {
    save->size = 0;
    save->lines = 0;
}

bool appendSavedAnswer(SavedAnswersBytes* save, const char* text) {
    if (save->lines >= kMaxAnswerFields) return false;
    char* line = save->bytes + save->size;
    const int length = copyText(line, kTextCapacity, text);
    line[length] = '\r';
    line[length + 1] = '\n';
    save->size += length + 2;
    ++save->lines;
    return true;
}
