// Judging one answer field of the page: the verdict into its label, the
// question marked solved, the clue or solved-state picture revealed as the
// answer mode asks, then the score.
#include <cstring>

#include "media/picture_loader.h"
#include "media/picture_resources.h"
#include "page/page.h"
#include "page/verdict.h"

namespace {

const char* expectedAnswer(const QuestionNode* node, int slot) {
    return slot == 2 ? node->secondAnswer : node->firstAnswer;
}

void showControl(HWND page, int id, int showCommand) {
    HWND control = GetDlgItem(page, id);
    if (control) ShowWindow(control, showCommand);
}

void revealSolved(QuizDocument* document, HWND page, int q) {
    switch (document->answerMode) {
    case 1: swapSolvedPicture(document, page, q); break;
    case 2: showControl(page, kClueLabelBase + 1 + q, SW_SHOWNORMAL); break;
    case 3:
        showControl(page, kClueLabelBase + 1 + q, SW_SHOWNORMAL);
        swapSolvedPicture(document, page, q);
        break;
    default: break;
    }
}

// Answer mode 4: every clue label appears once every label reads "BRAVO".
void revealAllCluesWhenAllRight(QuizDocument* document, HWND page) {
    const int fields = pageFieldCount(document);
    for (int k = 1; k <= fields; ++k) {
        if (!labelReadsBravo(page, kVerdictLabelBase + k)) return;
    }
    document->allCluesShown = 1;
    const int questions = pageQuestionCount(document->questionCount);
    for (int n = 1; n <= questions; ++n) showControl(page, kClueLabelBase + n, SW_SHOWNORMAL);
}

}  // namespace

void swapSolvedPicture(QuizDocument* document, HWND page, int q) {
    // Only a picture quiz has a QuestionPicture in place 9901 + q; in the
    // other kinds that id is a player host, which has no picture to swap.
    if (document->quizKind != QuizKindPicture) return;
    HWND control = GetDlgItem(page, kPictureBase + 1 + q);
    if (!control) return;
    HBITMAP solved = loadPicture(kSolvedPictureBase + 1 + q, kPictureBox, kPictureBox);
    if (!solved) return;
    HGDIOBJ previous = reinterpret_cast<HGDIOBJ>(
        SendMessageA(control, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(solved)));
    if (previous && previous != solved) DeleteObject(previous);
}

void evaluateAnswer(QuizDocument* document, HWND page, int fieldId) {
    if (!document) return;
    // The label and the field are looked up once: finding a control by id
    // walks the page's children, and the page judges every field it builds.
    HWND label = GetDlgItem(page, fieldId + kVerdictIdOffset);
    char current[255] = "";
    if (label) GetWindowTextA(label, current, sizeof current);

    const int perQuestion = fieldsPerQuestion(document->quizKind, document->answersPerQuestion);
    const int q = fieldQuestionIndex(fieldId, perQuestion);
    if (q < 0) return;
    QuestionNode* node = questionAt(document, q + 1);
    if (!node) return;
    char typed[kTextCapacity] = "";
    HWND field = GetDlgItem(page, fieldId);
    if (field) GetWindowTextA(field, typed, sizeof typed);

    bool exactLongAnswer = false;
    const char* verdict = computeVerdict(expectedAnswer(node, fieldAnswerSlot(fieldId, perQuestion)), typed,
                                         &exactLongAnswer);
    // A long answer typed exactly solves the question at once, before the
    // other answer of a two-answer question is looked at.
    if (exactLongAnswer) node->solved = 1;
    if (std::strcmp(verdict, current) == 0) return;

    if (label) SetWindowTextA(label, verdict);
    const bool right = std::strcmp(verdict, kVerdictBravo) == 0;
    if (!right) {
        showControl(page, kClueLabelBase + 1 + q, SW_HIDE);
        document->allCluesShown = 0;
    } else if (questionLabelsReadBravo(page, q + 1, perQuestion)) {
        node->solved = 1;
        revealSolved(document, page, q);
    }
    if (document->answerMode == 4 && !document->allCluesShown) revealAllCluesWhenAllRight(document, page);
    updateScore(document, page);
}
