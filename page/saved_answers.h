// The saved-answers file: one line per answer field, in field order, each
// the field's text (at most 259 bytes, code page 1252) ended by CR LF, with no
// header and nothing after the last line. It is named after the executable,
// with the extension replaced by txt, and kept in the current directory.
#pragma once

#include <cstddef>

#include "package/quiz_document.h"

// A forward cursor over the bytes of a saved-answers file.
struct SavedLineReader {
    const unsigned char* bytes;
    size_t size;
    size_t cursor;
};
void startSavedLines(SavedLineReader* reader, const void* bytes, size_t size);

// Reads the next answer into text (capacity bytes, cut to capacity - 1
// characters) and returns its length. A line ends at CR; whatever lies
// between that CR and the next LF is dropped, so a lone LF stays part of the
// text. Past the end every read gives the empty text.
int readSavedLine(SavedLineReader* reader, char* text, int capacity);

// The saved-answers file name for an executable's file name: everything after
// the last '.' becomes "txt" ("Quiz.exe" -> "Quiz.txt", "a.b.exe" ->
// "a.b.txt"); a name without '.' gets ".txt" added, so the executable itself
// is never the target. False, with an empty name, when it does not fit.
bool savedAnswersFileName(const char* executableName, char* name, int capacity);
// The file a save is written to before it replaces the saved answers:
// the saved-answers name followed by ".tmp".
bool savedAnswersTempName(const char* name, char* tempName, int capacity);

enum {
    kMaxAnswerFields = kMaxQuestions * 2,
    kSavedLineLimit = kTextCapacity - 1 + 2,  // 259 characters and CR LF
};

// The bytes of one save, built in memory and written in one go.
struct SavedAnswersBytes {
    char bytes[kMaxAnswerFields * kSavedLineLimit];
    int size;
    int lines;
};
void clearSavedAnswers(SavedAnswersBytes* save);
// Appends the text (cut to 259 characters) and CR LF. False, appending
// nothing, once kMaxAnswerFields lines are held.
bool appendSavedAnswer(SavedAnswersBytes* save, const char* text);
