// Placeholder until the page is built.
#include "page/page.h"

INT_PTR CALLBACK quizPageProc(HWND, UINT message, WPARAM, LPARAM) { return message == WM_INITDIALOG; }
void updateScore(QuizDocument*, HWND) {}
void applyHideSolved(QuizDocument*) {}
void saveAnswers(QuizDocument*) {}
