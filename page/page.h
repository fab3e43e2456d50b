// The quiz page: its dialog procedure and the operations other windows call.
//
// The page (dialog template 1001) holds one row of controls per question,
// all created at run time and always found again by id (page_geometry.h has
// the id scheme). Scrolling moves the child controls themselves, so every
// position read from a control is its current one.
#pragma once

#include "package/quiz_document.h"
#include "page/page_geometry.h"

// Dialog procedure of template 1001 (quiz_page_win32.cpp).
INT_PTR CALLBACK quizPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);

// --- Score, hiding and saving (score_win32.cpp) ---------------------------

// Counts the solved questions, writes score and reward code into the header,
// then applies the "Cacher" box.
void updateScore(QuizDocument* document, HWND page);
// Hides solved pictures and closes up full rows while "Cacher" is ticked;
// shows them again otherwise.
void applyHideSolved(QuizDocument* document);
// Writes every answer field to the saved-answers file. False when the file
// does not hold the answers afterwards.
bool saveAnswers(QuizDocument* document);

// --- A save that fails (save_failure_win32.cpp) ----------------------------

// "Sauver" and F2: saveAnswers, and a warning when nothing could be written.
void saveAnswersOrWarn(QuizDocument* document);
// Closing the window: saveAnswers; when nothing could be written, asks
// whether to close anyway. True when the window may close.
bool saveAnswersBeforeClosing(QuizDocument* document);

// While the page builds its rows, every restored answer is judged as soon as
// its field exists; the score those judgements ask for is worked out once,
// when the build ends, rather than after each of them. While an object of
// this class lives, updateScore only notes that it was asked for; its
// destruction runs the one update if it was.
class ScoreUpdateHold {
public:
    ScoreUpdateHold(QuizDocument* document, HWND page);
    ~ScoreUpdateHold();
    ScoreUpdateHold(const ScoreUpdateHold&) = delete;
    ScoreUpdateHold& operator=(const ScoreUpdateHold&) = delete;

private:
    QuizDocument* document_;
    HWND page_;
};

// --- Scrolling and row moves (page_scroll_win32.cpp) ----------------------

// Sets both scroll bars from pageWidth, pageHeight and the client size.
void updateScrollRanges(QuizDocument* document, HWND page);
// updateScrollRanges, then moves the contents by however far the positions
// changed (a size change, or a change of pageHeight).
void refreshScrollRanges(QuizDocument* document, HWND page);
// The page's WM_SIZE, WM_VSCROLL, WM_HSCROLL and WM_MOUSEWHEEL.
void onPageSize(QuizDocument* document, HWND page);
void onPageVerticalScroll(HWND page, int code);
void onPageHorizontalScroll(HWND page, int code);
void onPageMouseWheel(HWND page, WPARAM wParam);
// Adds the wheel delta of a WM_MOUSEWHEEL to total and posts to the page one
// SCROLL_WHEEL_UP or SCROLL_WHEEL_DOWN for every whole notch gathered.
void postWheelSteps(HWND page, WheelTotal* total, WPARAM wParam);
// Drops what the page's wheel total holds (a new page starts from none).
void forgetPageWheel();
// Scrolls the page to a horizontal position (clamped by its bar).
void scrollPageHorizontallyTo(HWND page, int position);
// Moves one control vertically by distance pixels.
void moveControl(HWND control, int distance);
// Applies a RowChange to question n: picture (or player host) and clue label
// are shown or hidden with showCommand (RowHide, RowShow, RowShowClosed) or
// moved; answer fields, verdict labels and the number label are moved by
// distance x direction pixels.
void moveQuestionRow(QuizDocument* document, RowChange change, int showCommand, HWND page, int distance,
                     int direction, int n);

// --- Answer fields (answer_field_win32.cpp) -------------------------------

// The vertical position the page takes for SCROLL_TO_TARGET.
extern int scrollTarget;
// The edit control's own procedure, which answerFieldProc forwards to.
extern WNDPROC originalEditProc;
// Window procedure of every answer field.
LRESULT CALLBACK answerFieldProc(HWND field, UINT message, WPARAM wParam, LPARAM lParam);
// Puts answerFieldProc in front of the field's procedure.
void installAnswerFieldProc(HWND field);
// F1: this field's text into every field whose verdict is not "BRAVO".
void fillUnsolvedFields(HWND field);

// --- Evaluation (answer_evaluation_win32.cpp) ------------------------------

// Judges answer field fieldId of the page, writes its verdict and applies
// the reveals and the score.
void evaluateAnswer(QuizDocument* document, HWND page, int fieldId);
// Gives question q's (0-based) picture its solved-state picture.
void swapSolvedPicture(QuizDocument* document, HWND page, int q);

// --- Shared by the page's units --------------------------------------------

// Answer caption k (1 or 2) of row of three row (from 0), or null.
HWND answerCaption(int row, int k);
// The number of answer fields on the page.
int pageFieldCount(const QuizDocument* document);
// Reads a control's text into a buffer of capacity bytes ("" when missing).
void controlText(HWND page, int id, char* text, int capacity);
// True when the control's text is exactly "BRAVO".
bool labelReadsBravo(HWND page, int id);
// True when every verdict label of question n reads "BRAVO": the question
// counts for the score and its reveal (score_win32.cpp).
bool questionLabelsReadBravo(HWND page, int n, int perQuestion);
