// The page's ids, row layout and scroll arithmetic (see page_geometry.h).
#include "page/page_geometry.h"

#include "package/quiz_document.h"

namespace {

enum {
    kColumnPitch = 290,
    kColumnLeftOneAnswer = 46,
    kColumnLeftTwoAnswers = 106,
    kVideoHostWidth = 260,
    kVideoHostHeight = 200,
    kVideoBlockHeight = 210,
    kPictureGap = 10,     // between the tallest picture and the answer line
    kMediaFieldOffset = 20,  // room for the play and stop buttons
    kMediaFieldWidth = 240,
    kTwoAnswerVerdictWidth = 60,
    kLineHeight = 20,
    kAnswerLineStep = 19,  // the second answer line overlaps the first by a pixel
    kVerticalLineStep = 310,
    kWheelStep = 50,
    kWheelNotch = 120,
};

// The platform's scroll bar codes (SB_ values of WM_VSCROLL and WM_HSCROLL).
enum {
    kLineUp = 0,
    kLineDown = 1,
    kPageUp = 2,
    kPageDown = 3,
    kThumbTrack = 5,
    kTop = 6,
    kBottom = 7,
};

PageBox box(int x, int y, int width, int height) { return PageBox{x, y, width, height}; }

bool smallReveal(int answerMode) { return answerMode == 0 || answerMode == 1; }

int clampTo(int value, int low, int high) {
    if (value > high) value = high;
    if (value < low) value = low;
    return value;
}

}  // namespace

int pageQuestionCount(int questionCount) { return clampTo(questionCount, 0, kMaxQuestions); }

int fieldsPerQuestion(int quizKind, int answersPerQuestion) {
    return quizKind != QuizKindText && answersPerQuestion == 2 ? 2 : 1;
}

int answerFieldId(int n, int k, int perQuestion) {
    return perQuestion == 2 ? kAnswerFieldBase - 2 + 2 * n + k : kAnswerFieldBase + n;
}

int fieldQuestionIndex(int fieldId, int perQuestion) {
    return perQuestion == 2 ? (fieldId - 3999) / 2 - 1 : fieldId - (kAnswerFieldBase + 1);
}

int fieldAnswerSlot(int fieldId, int perQuestion) { return perQuestion == 2 && fieldId % 2 == 0 ? 2 : 1; }

TextRowLayout layoutTextRow(int rowY) {
    TextRowLayout row;
    row.number = box(26, rowY + 2, 19, 17);
    row.prompt = box(50, rowY, 550, kLineHeight);
    row.field = box(610, rowY, 170, kLineHeight);
    row.verdict = box(790, rowY, 100, kLineHeight);
    return row;
}

int rowColumn(int n) { return (n + 2) % 3; }

MediaRowLayout layoutMediaRow(int quizKind, int n, int answersPerQuestion, int answerMode, int rowY,
                              int rowHeight) {
    MediaRowLayout row = {};
    const bool twoAnswers = answersPerQuestion == 2;
    const bool picture = quizKind == QuizKindPicture;
    const bool video = quizKind == QuizKindVideo;
    row.column = rowColumn(n);
    row.columnLeft = kColumnPitch * row.column + (twoAnswers ? kColumnLeftTwoAnswers : kColumnLeftOneAnswer);
    const int x = row.columnLeft;
    int blockHeight = 0;  // audio: the answer line starts at the row's top
    if (picture) blockHeight = rowHeight + kPictureGap;
    if (video) blockHeight = kVideoBlockHeight;
    row.lineY = rowY + blockHeight;
    const int y = row.lineY;

    row.host = video ? box(x, rowY, kVideoHostWidth, kVideoHostHeight) : box(x, rowY, 0, 0);
    row.captions[0] = box(4, y + 2, 95, kLineHeight);
    row.captions[1] = box(3, y + 22, 95, kLineHeight);
    row.number = box(x - 28, y + 2, 27, 17);
    row.clue = box(x, y + 46, kPictureBox, answerMode == 5 ? kLineHeight : 65);

    const int fieldLeft = x + (picture ? 0 : kMediaFieldOffset);
    const int fieldWidth = picture ? static_cast<int>(kPictureBox) : static_cast<int>(kMediaFieldWidth);
    if (twoAnswers) {
        for (int k = 0; k < 2; ++k) {
            const int lineTop = y + kAnswerLineStep * k;
            row.fields[k] = box(fieldLeft, lineTop, fieldWidth - kTwoAnswerVerdictWidth + 1, kLineHeight);
            row.verdicts[k] = box(fieldLeft + fieldWidth - kTwoAnswerVerdictWidth, lineTop, kTwoAnswerVerdictWidth,
                                  kLineHeight);
        }
    } else {
        row.fields[0] = box(fieldLeft, y, fieldWidth, kLineHeight);
        row.verdicts[0] = box(fieldLeft, y + kAnswerLineStep, fieldWidth, kLineHeight);
    }
    row.play = box(x, y, 20, 20);
    row.stop = box(x, y + 20, 20, 19);
    return row;
}

PageBox picturePlace(int columnLeft, int rowY, int rowHeight, int width, int height) {
    return box(columnLeft + (kPictureBox - width) / 2, rowY + (rowHeight - height) / 2, width, height);
}

void advanceTextRow(PageExtent* extent) {
    extent->rowY += kTextRowPitch;
    extent->pageWidth = 880;
    extent->pageHeight = extent->rowY;
}

void advanceMediaRow(PageExtent* extent, int n, int lineY, int answerMode) {
    switch (n % 3) {
    case 1:  // the first column sets the page's size for the new row
        extent->pageWidth = 890;
        extent->pageHeight = lineY + (smallReveal(answerMode) ? 60 : 140);
        break;
    case 0:  // the third column ends the row of three
        if (smallReveal(answerMode))
            extent->rowY = lineY + 60;
        else
            extent->rowY = lineY + (answerMode == 5 ? 80 : 140);
        break;
    default:
        break;
    }
}

int finishPageWidth(int pageWidth, int answersPerQuestion) {
    return pageWidth + (answersPerQuestion == 2 ? 80 : 20);
}

int closedRowDistance(int rowHeight, int answerMode) {
    // Answer mode 5 keeps only the 20-pixel word-count line under the fields,
    // so its rows are 60 pixels shorter than those of the other clue modes.
    if (answerMode == 5) return rowHeight + kLineHeight;
    return rowHeight + (answerMode > 1 ? 65 : 0);
}

ScrollBarSetting scrollBarFor(int contentSize, int clientSize) {
    ScrollBarSetting bar;
    bar.fits = contentSize <= clientSize;
    const int visible = bar.fits ? contentSize : clientSize;
    bar.maximum = contentSize - 2 > 0 ? contentSize - 2 : 0;
    bar.page = visible - 1 > 0 ? visible - 1 : 0;
    return bar;
}

int verticalScrollRequest(int code, const ScrollState& bar, int scrollTarget) {
    const int p = bar.position;
    int wanted = p;
    switch (code) {
    case kLineUp: wanted = p - kVerticalLineStep; break;
    case kLineDown: wanted = p + kVerticalLineStep; break;
    case kPageUp: wanted = p - bar.page; break;
    case kPageDown: wanted = p + bar.page; break;
    case kThumbTrack: wanted = bar.trackPosition; break;
    case kTop: wanted = 0; break;
    case kBottom: wanted = bar.maximum; break;
    case SCROLL_WHEEL_DOWN: wanted = p + kWheelStep; break;
    case SCROLL_WHEEL_UP: wanted = p - kWheelStep; break;
    case SCROLL_TO_TARGET: wanted = scrollTarget; break;
    default: break;
    }
    return clampTo(wanted, bar.minimum, bar.maximum);
}

int horizontalScrollRequest(int code, const ScrollState& bar) {
    const int p = bar.position;
    int wanted = p;
    switch (code) {
    case kLineUp: wanted = p - 1; break;
    case kLineDown: wanted = p + 1; break;
    case kPageUp: wanted = p - bar.page; break;
    case kPageDown: wanted = p + bar.page; break;
    case kThumbTrack: wanted = bar.trackPosition; break;
    default: break;
    }
    return clampTo(wanted, bar.minimum, bar.maximum);
}

int addWheelDelta(WheelTotal* total, int delta) {
    if ((delta > 0 && total->remainder < 0) || (delta < 0 && total->remainder > 0)) total->remainder = 0;
    // Kept within an int whatever the deltas: a total beyond one notch is
    // always turned into steps at once.
    total->remainder += delta;
    const int steps = total->remainder / kWheelNotch;
    total->remainder -= steps * kWheelNotch;
    return steps;
}

int wheelStepCode(int steps) { return steps > 0 ? SCROLL_WHEEL_UP : SCROLL_WHEEL_DOWN; }

int fieldScrollTarget(int position, int fieldTop, int fieldHeight, int clientHeight) {
    return position + fieldTop - (clientHeight - fieldHeight) / 2;
}

int leastScrollToShow(int position, int spanStart, int spanEnd, int fieldStart, int clientSize) {
    if (spanStart >= 0 && spanEnd <= clientSize) return position;
    if (spanEnd - spanStart > clientSize) return position + fieldStart;
    if (spanStart < 0) return position + spanStart;
    return position + spanEnd - clientSize;
}
