// The page's arithmetic, free of any window system: the control ids of each
// question row, where every control of a row goes for each quiz kind, how the
// page grows row by row, the scroll bar ranges and positions, and the scroll
// position that brings a focused answer field into view.
//
// All coordinates are client pixels of the page at scroll position 0.
#pragma once

// Control ids. n is the question number from 1, k the answer index 1 or 2.
enum PageControlId {
    kAnswerCaptionId = 156,   // every answer caption of a row of three
    kNumberLabelBase = 2000,  // 2000 in every row of a text quiz, 2000 + n otherwise
    kPromptLabelId = 3000,    // every question text of a text quiz
    kAnswerFieldBase = 4000,  // 4000 + k over the whole page, k from 1
    kVerdictLabelBase = 5000, // the answer field id + 1000
    kPlayButtonBase = 6000,
    kStopButtonBase = 7000,
    kClueLabelBase = 8000,
    kPictureBase = 9900,      // QuestionPicture or PlayerHost 9900 + n
};
enum { kVerdictIdOffset = kVerdictLabelBase - kAnswerFieldBase };

// The page's own vertical scroll requests, sent beside the platform's codes.
enum PageScrollCode {
    SCROLL_WHEEL_DOWN = 500,
    SCROLL_WHEEL_UP = 501,
    SCROLL_TO_TARGET = 502,
};

// What moveQuestionRow does to one question's controls.
enum RowChange {
    RowHide = 1,        // picture and clue shown or hidden in place, the rest moved
    RowMoveUp = 2,      // everything moved
    RowShow = 3,        // as RowHide
    RowShowClosed = 4,  // as RowHide
    RowMoveDown = 5,    // everything moved
};

struct PageBox {
    int x;
    int y;
    int width;
    int height;
};

// --- Ids ------------------------------------------------------------------

// The number of rows the page builds: questionCount kept within 0..96.
int pageQuestionCount(int questionCount);
// Answer fields per question: 2 only when the package says 2 and the quiz is
// not a text quiz (a text row always has one field).
int fieldsPerQuestion(int quizKind, int answersPerQuestion);
// Id of answer field k of question n: 4000 + n, or 3998 + 2n + k with two.
int answerFieldId(int n, int k, int perQuestion);
// The 0-based question index of an answer field id.
int fieldQuestionIndex(int fieldId, int perQuestion);
// Which answer (1 or 2) an answer field id holds: two-answer fields alternate.
int fieldAnswerSlot(int fieldId, int perQuestion);

// --- Rows -----------------------------------------------------------------

enum { kTextRowPitch = 25, kFirstRowY = 5, kPictureBox = 260 };

struct TextRowLayout {
    PageBox number;
    PageBox prompt;
    PageBox field;
    PageBox verdict;
};
TextRowLayout layoutTextRow(int rowY);

// The column of question n in its row of three: 0, 1, 2.
int rowColumn(int n);

// Everything of a picture, audio or video row but the picture itself.
struct MediaRowLayout {
    int column;
    int columnLeft;
    int lineY;            // top of the answer line
    PageBox host;         // PlayerHost: 0 x 0 (audio) or 260 x 200 (video)
    PageBox captions[2];  // answer captions, two answers per question, column 0
    PageBox number;
    PageBox clue;
    PageBox fields[2];
    PageBox verdicts[2];
    PageBox play;
    PageBox stop;
};
// rowHeight is the height of the row's tallest picture (picture quiz only).
MediaRowLayout layoutMediaRow(int quizKind, int n, int answersPerQuestion, int answerMode, int rowY,
                              int rowHeight);
// A picture of width x height centred in its column above the answer line;
// halves truncate towards zero.
PageBox picturePlace(int columnLeft, int rowY, int rowHeight, int width, int height);

// How the page grows while it is built.
struct PageExtent {
    int pageWidth;
    int pageHeight;
    int rowY;
};
void advanceTextRow(PageExtent* extent);
void advanceMediaRow(PageExtent* extent, int n, int lineY, int answerMode);
// The width after the last row: 80 more with two answers, else 20.
int finishPageWidth(int pageWidth, int answersPerQuestion);

// How far the rows below move when a row of three hidden questions is closed
// up: the tallest picture plus the clue label under it.
int closedRowDistance(int rowHeight, int answerMode);

// --- Scrolling ------------------------------------------------------------

// One scroll bar for content of contentSize pixels in a client of
// clientSize: range 0..maximum with a page of page, so that the largest
// position (maximum - page + 1) is contentSize - clientSize, or 0 when the
// content fits, in which case the position goes back to 0.
struct ScrollBarSetting {
    int maximum;
    int page;
    bool fits;
};
ScrollBarSetting scrollBarFor(int contentSize, int clientSize);

struct ScrollState {
    int minimum;
    int maximum;
    int page;
    int position;
    int trackPosition;
};
// The position asked for by a WM_VSCROLL code (platform SB_ codes and the
// page's own 500, 501, 502), clamped to minimum..maximum.
int verticalScrollRequest(int code, const ScrollState& bar, int scrollTarget);
// The same for WM_HSCROLL, whose line step is one pixel.
int horizontalScrollRequest(int code, const ScrollState& bar);
// The wheel deltas one window has received and not yet turned into steps.
struct WheelTotal {
    int remainder;
};
// Adds a wheel delta to the total and gives the number of 50-pixel steps to
// post: one for every whole 120 gathered, positive up (SCROLL_WHEEL_UP),
// negative down (SCROLL_WHEEL_DOWN). The rest is kept for the next delta; a
// delta in the other direction first drops it. So +240 gives 2, +60 +60
// give 0 then 1, and +120 -60 +120 give 1, 0, 1.
int addWheelDelta(WheelTotal* total, int delta);
// The scroll code of one step in the direction of steps (non-zero).
int wheelStepCode(int steps);

// The vertical position that shows a field whose top is fieldTop pixels
// below the top of the visible client area (negative above it), the page
// being scrolled to position: the field is centred in the client height,
// so that after the page's clamping it lies fully inside the view wherever
// the page was scrolled.
int fieldScrollTarget(int position, int fieldTop, int fieldHeight, int clientHeight);

// Along one axis of the view: the scroll position that shows the span
// spanStart..spanEnd (view coordinates: 0 is the first visible pixel) in a
// view of clientSize pixels, scrolling by the least amount from position;
// when the span is longer than the view, the position that puts fieldStart
// at the start of the view. Unchanged when the span is already wholly in view.
int leastScrollToShow(int position, int spanStart, int spanEnd, int fieldStart, int clientSize);
