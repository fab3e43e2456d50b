// The layout of a quiz package, shared by the loader that reads it and the
// writer that the authoring tool builds packages with.
//
// A package is three stores of LZW data (see lzw_decoder.h): the link block
// (kLinkBlockSize bytes in the program's data), the questions resource
// "PATCH" 104 and the codes resource "PATCH" 105. The two resources may be
// stored scrambled. Decoded, they hold:
//
// link block        bytes 0-1 unused, then linkText "|", footerText "|"
// questions (104)   byte 0 unused, byte 1 quizKind + 1, byte 2 questionCount,
//                   byte 3 answersPerQuestion; the texts title, author,
//                   explanation, firstAnswerLabel, secondAnswerLabel, each
//                   ended by "|"; per question firstAnswer "|", secondAnswer
//                   "|" (only with two answers per question), prompt "|";
//                   the answerMode byte; the clue texts of that mode (see
//                   clueTextsPerQuestion), each ended by "|"; then red, green,
//                   blue of the page colour
// codes (105)       one line per question: the reward code, then CR LF
//
// Texts are single-byte characters that never contain "|".
#pragma once

#include <cstddef>

enum {
    kQuestionsResourceId = 104,
    kCodesResourceId = 105,
    kPackageTextEnd = '|',
    kLinkTextOffset = 2,      // the link block's texts start after two unused bytes
    kQuestionTextsOffset = 4, // the questions resource's texts start after four bytes
    kPackageKeyLength = 21,
};

// The key the resources are scrambled with. It is also the text of the
// message shown when the questions resource is missing.
extern const char kPackageKey[kPackageKeyLength + 1];  // "Cles du jeu absentes!"

// Clue texts stored per question for an answer mode: two for mode 3 (only
// the first is used, the second is skipped), one for modes 2 and 4, none for
// every other mode.
int clueTextsPerQuestion(int answerMode);

// Scrambles or unscrambles stored resource bytes in place (the operation is
// its own inverse): byte i from 1 on is combined by exclusive-or with key
// character (i - 1) modulo the key length; byte 0 is left as it is.
void scrambleResource(unsigned char* bytes, size_t size);
