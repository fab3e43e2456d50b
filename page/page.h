// The quiz page: its dialog procedure and the operations other windows call.
#pragma once

#include "package/quiz_document.h"

// Dialog procedure of template 1001.
INT_PTR CALLBACK quizPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);

// Counts the solved questions, writes score and reward code into the header,
// then applies the "Cacher" box.
void updateScore(QuizDocument* document, HWND page);
// Hides solved pictures and closes up full rows while "Cacher" is ticked;
// shows them again otherwise.
void applyHideSolved(QuizDocument* document);
// Writes every answer field to the saved-answers file.
void saveAnswers(QuizDocument* document);
