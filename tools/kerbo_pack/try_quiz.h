// kerbo-pack try --quiz QUIZ (try_quiz.cpp).
#pragma once

#include <string>

#include "tools/kerbo_pack/quiz_description.h"

// The lines QUESTION<TAB>SLOT<TAB>VARIANT<TAB>TYPED<TAB>VERDICT of every
// answer field of the quiz, in UTF-8, each ending in "\n".
std::string quizSlipLines(const QuizDescription& quiz);

// Reads the description and prints those lines; 1 when it has an error.
int runTryQuiz(const std::string& path);
