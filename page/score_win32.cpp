// The score and reward code in the header, the hiding of solved pictures with
// the closing up of full rows of three, and the saving of the answers.
#include "page/page.h"
#include "page/saved_answers.h"
#include "page/saved_answers_file_win32.h"

namespace {

enum {
    kHeaderCodeField = 30,
    kHeaderScoreLabel = 32,
    kHeaderHideBox = 33,
};

const char kNoRewardCode[] = "      ";  // six spaces

bool scoreHeld = false;
bool scoreAskedWhileHeld = false;

bool hideBoxTicked(const QuizDocument* document) {
    return SendDlgItemMessageA(document->headerWindow, kHeaderHideBox, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

int pictureRowHeight(const QuizDocument* document, int r) {
    return r < kMaxPictureRows ? document->rowHeight[r] : 0;
}

// Moves every question after n by distance in direction.
void moveLaterRows(QuizDocument* document, RowChange change, int showCommand, int distance, int direction, int n) {
    const int questions = pageQuestionCount(document->questionCount);
    for (int m = n + 1; m <= questions; ++m)
        moveQuestionRow(document, change, showCommand, document->pageWindow, distance, direction, m);
}

// Hides every solved question not hidden yet; a row of three whose questions
// are all newly hidden is closed up.
void hideSolved(QuizDocument* document) {
    HWND page = document->pageWindow;
    const int questions = pageQuestionCount(document->questionCount);
    int r = 0;
    int hiddenInRow = 0;
    for (int n = 1; n <= questions; ++n) {
        int& state = document->questionState[n];
        if (state == 1) ++hiddenInRow;
        const QuestionNode* node = questionAt(document, n);
        if (node && node->solved == 1 && state == 0) {
            moveQuestionRow(document, RowHide, SW_HIDE, page, pictureRowHeight(document, r), -1, n);
            ++hiddenInRow;
            state = 1;
        }
        if (n % 3 == 0) {
            if (hiddenInRow == 3) {
                const int distance = closedRowDistance(pictureRowHeight(document, r), document->answerMode);
                moveLaterRows(document, RowMoveUp, SW_HIDE, distance, -1, n);
                document->pageHeight -= distance;
                state = 2;
            }
            ++r;
            hiddenInRow = 0;
        }
    }
}

// Shows every hidden question again and reopens the closed rows.
void showHidden(QuizDocument* document) {
    HWND page = document->pageWindow;
    const int questions = pageQuestionCount(document->questionCount);
    int r = 0;
    for (int n = 1; n <= questions; ++n) {
        int& state = document->questionState[n];
        if (state == 1) {
            moveQuestionRow(document, RowShow, SW_SHOWNORMAL, page, pictureRowHeight(document, r), 1, n);
        } else if (state == 2) {
            moveQuestionRow(document, RowShowClosed, SW_SHOWNORMAL, page, pictureRowHeight(document, r), 1, n);
            const int distance = closedRowDistance(pictureRowHeight(document, r), document->answerMode);
            document->pageHeight += distance;
            moveLaterRows(document, RowMoveDown, SW_SHOWNORMAL, distance, 1, n);
        }
        state = 0;
        if (n % 3 == 0) ++r;
    }
}

}  // namespace

bool questionLabelsReadBravo(HWND page, int n, int perQuestion) {
    for (int k = 1; k <= perQuestion; ++k) {
        if (!labelReadsBravo(page, answerFieldId(n, k, perQuestion) + kVerdictIdOffset)) return false;
    }
    return true;
}

ScoreUpdateHold::ScoreUpdateHold(QuizDocument* document, HWND page) : document_(document), page_(page) {
    scoreHeld = true;
    scoreAskedWhileHeld = false;
}

ScoreUpdateHold::~ScoreUpdateHold() {
    scoreHeld = false;
    if (scoreAskedWhileHeld) updateScore(document_, page_);
    scoreAskedWhileHeld = false;
}

void updateScore(QuizDocument* document, HWND page) {
    if (scoreHeld) {
        scoreAskedWhileHeld = true;
        return;
    }
    const int questions = pageQuestionCount(document->questionCount);
    const int perQuestion = fieldsPerQuestion(document->quizKind, document->answersPerQuestion);
    int score = 0;
    for (int n = 1; n <= questions; ++n) {
        if (questionLabelsReadBravo(page, n, perQuestion)) ++score;
    }
    char text[32];
    wsprintfA(text, " %d / %d", score, document->questionCount);
    SetDlgItemTextA(document->headerWindow, kHeaderScoreLabel, text);
    SetDlgItemTextA(document->headerWindow, kHeaderCodeField,
                    score > 0 ? document->rewardCodes[score - 1] : kNoRewardCode);
    applyHideSolved(document);
}

void applyHideSolved(QuizDocument* document) {
    if (!document) return;
    if (hideBoxTicked(document))
        hideSolved(document);
    else
        showHidden(document);
    refreshScrollRanges(document, document->pageWindow);
}

bool saveAnswers(QuizDocument* document) {
    if (!document) return false;
    char name[kTextCapacity];
    if (!runningSavedAnswersName(name, sizeof name)) return false;
    static SavedAnswersBytes save;
    clearSavedAnswers(&save);
    {
        // A field that is not on the page (its row was never built) keeps the
        // answer the previous save holds for it.
        SavedAnswersMapping previous(name);
        SavedLineReader previousLines;
        startSavedLines(&previousLines, previous.bytes(), previous.size());
        const int fields = pageFieldCount(document);
        for (int k = 1; k <= fields; ++k) {
            char text[kTextCapacity];
            readSavedLine(&previousLines, text, sizeof text);
            HWND field = GetDlgItem(document->pageWindow, kAnswerFieldBase + k);
            if (field) {
                text[0] = '\0';
                GetWindowTextA(field, text, sizeof text);
            }
            appendSavedAnswer(&save, text);
        }
    }
    return replaceSavedAnswersFile(name, save.bytes, static_cast<size_t>(save.size));
}
