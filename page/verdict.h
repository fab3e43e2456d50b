// Judging a typed answer against the expected one: the verdict texts and the
// pure functions that choose them. Needs no window system.
//
// Texts are code page 1252 bytes. Only the first 259 bytes of a text are
// judged, as an answer field or a 260-byte buffer would cut it; comparisons
// are byte-wise, only 'a'-'z' are folded to upper case (so 0xE9 'é' and 0xC9
// 'É' stay different) and only the space 0x20 is trimmed.
#pragma once

#include <cstddef>

#include "package/quiz_document.h"

// The verdict texts a VerdictLabel shows. Code reading a label compares its
// text with these.
extern const char kVerdictUnanswered[];  // "?": nothing typed; every label's first text
extern const char kVerdictBravo[];       // "BRAVO"
extern const char kVerdictFaux[];        // "FAUX"
extern const char kVerdictAnagramme[];   // "Anagramme": same bytes, another order
extern const char kVerdictQuasiment[];   // "Quasiment": one edit away
extern const char kVerdictPresque[];     // "Presque": two edits away
extern const char kVerdictTropCourt[];   // "Trop court": typed text is most of a long answer
extern const char kVerdictPasLoin[];     // "Pas loin": typed text is a fair part of a long answer
extern const char kVerdictTropLong[];    // "Trop long": typed text holds the answer and more
extern const char kVerdictIdee[];        // "y a de l'idée" (0xE9): long texts, few edits

enum { kMaxAnswerLength = kTextCapacity - 1 };  // 259 bytes judged at most

// A text with its leading and trailing spaces removed and 'a'-'z' upper-cased.
struct NormalizedAnswer {
    char text[kTextCapacity];
    int length;
};

// Normalizes the first kMaxAnswerLength bytes of a zero-terminated text.
// An empty or all-space text gives length 0.
void normalizeAnswer(const char* text, NormalizedAnswer* out);

// Levenshtein distance (insert, delete, replace: cost 1) between two byte
// strings, bytes compared for equality only. Lengths are cut to
// kMaxAnswerLength; negative lengths count as 0. Bit-parallel, in fixed
// working storage on the stack.
int editDistance(const char* a, int lengthA, const char* b, int lengthB);

// The same distance by the classic (n+1) x (m+1) table: the reference the
// fast one is checked and measured against. Uses a static 260 x 260 table,
// so it is not reentrant.
int editDistanceFullTable(const char* a, int lengthA, const char* b, int lengthB);

// True when both strings hold the same bytes the same number of times
// (spaces included), in any order; identical strings are anagrams too.
bool isAnagram(const char* a, int lengthA, const char* b, int lengthB);

// The forward scan for one text inside the other, which never steps back:
// after a partial match breaks off, the search for the first byte goes on from
// where it broke, so a partial match overlapping the real occurrence hides it
// ("AAAAAAB" is not found in "AAAAAAABZZ").
// Returns -2 when the typed text is shorter and was found inside the expected
// one, 2 when it is at least as long and the expected text was found inside
// it, 0 otherwise. (An empty searched-for text counts as found.)
int containmentScan(const char* expected, int expectedLength, const char* typed, int typedLength);

// The verdict for a typed text (both texts zero-terminated, raw). Returns one
// of the kVerdict texts above. When exactLongAnswer is not null it receives
// true when the verdict is "BRAVO" by distance 0 on an expected answer of four
// characters or more: the case where the question is marked solved at once.
const char* computeVerdict(const char* expected, const char* typed, bool* exactLongAnswer = nullptr);

// True when two raw texts are equal with only 'a'-'z' folded to upper case
// and nothing trimmed (the whole-question check after a "BRAVO").
bool equalFoldingAsciiLetters(const char* a, const char* b);

// Words of a raw expected answer: 1 plus one for each space, apostrophe or
// hyphen; an exclamation mark hides the byte after it from the count.
int countWords(const char* text);

// "en %d mot", with "s" appended when the count is not 1, written into out
// (cut to capacity, always terminated when capacity > 0).
void wordCountHint(const char* text, char* out, size_t capacity);
