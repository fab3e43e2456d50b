// Writing quiz packages, for the authoring tool and the tests: the decoded
// bytes of the questions resource, the codes resource and the link block
// (layouts in package_format.h), and their stored form (LZW data, the
// resources optionally scrambled).
//
// The quiz is described by a QuizDocument: the package fields (quizKind,
// the five header texts, questionCount, answersPerQuestion, answerMode,
// backgroundColor, rewardCodes) and one node per question appended with
// appendQuestion, its clue set when the answer mode stores clues.
#pragma once

#include <vector>

#include "package/quiz_document.h"
#include "package/resource_store.h"

enum PackageWriteError {
    PackageWriteOk = 0,
    PackageTextHasBar,             // a text contains "|", which ends texts in the package
    PackageTextTooLong,            // linkText beyond 24 or footerText beyond 42 characters
    PackageCodeHasLineBreak,       // a reward code contains CR or LF
    PackageBadQuizKind,            // quizKind is not 0 (text) to 3 (video)
    PackageBadQuestionCount,       // questionCount is not 0 to 96, or the list holds another number of questions
    PackageBadAnswersPerQuestion,  // answersPerQuestion is not 1 or 2
    PackageBadAnswerMode,          // answerMode does not fit a byte (0 to 255)
    PackageTooLarge,               // decoded data beyond 120000 bytes, compressed data beyond
                                   // 32768 bytes, or a link block beyond its 70 bytes
};

// A short English description of the error, for the tool's messages.
const char* packageWriteErrorText(PackageWriteError error);

// The decoded questions resource "PATCH" 104 of the document.
PackageWriteError buildQuestionsBytes(const QuizDocument& document, std::vector<unsigned char>* bytes);

// The decoded codes resource "PATCH" 105: rewardCodes 0 to questionCount - 1,
// each followed by CR LF. LZW cannot hold empty data, so a quiz without
// questions gets one byte that the loader never reads.
PackageWriteError buildCodesBytes(const QuizDocument& document, std::vector<unsigned char>* bytes);

// The decoded link block: two unused bytes (zero), linkText "|", footerText "|".
PackageWriteError buildLinkBlockBytes(const char* linkText, const char* footerText,
                                      std::vector<unsigned char>* bytes);

// The stored form of a resource: the decoded bytes LZW-compressed, then
// scrambled when asked (scrambleResource of package_format.h).
PackageWriteError encodeResource(const std::vector<unsigned char>& decoded, bool scrambled,
                                 std::vector<unsigned char>* stored);

// The stored link block: buildLinkBlockBytes compressed and padded with zero
// bytes to exactly kLinkBlockSize bytes. PackageTooLarge when the compressed
// texts do not fit (short texts always do; about 55 characters in all fit).
PackageWriteError encodeLinkBlock(const char* linkText, const char* footerText,
                                  unsigned char block[kLinkBlockSize]);
