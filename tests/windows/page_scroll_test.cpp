// Scroll bars, scroll requests and row moves of the page.
#include "page_test_fixture.h"

namespace {

QuizSetup textQuiz(int questions) {
    QuizSetup setup = quizSetup(QuizKindText, numberedQuestions(questions));
    return setup;
}

}  // namespace

using PageScroll = PageTest;

TEST_F(PageScroll, RangesFollowThePageAndTheClient) {
    openPage(textQuiz(36));  // 905 pixels high, 900 wide
    RECT client;
    GetClientRect(page, &client);
    const ScrollState vertical = bar(SB_VERT);
    EXPECT_EQ(vertical.minimum, 0);
    EXPECT_EQ(vertical.maximum, 903);
    EXPECT_EQ(vertical.page, client.bottom - 1);
    const ScrollState horizontal = bar(SB_HORZ);
    EXPECT_EQ(horizontal.maximum, 898);
    EXPECT_EQ(horizontal.page, client.right - 1);

    // The largest positions leave the page's last pixels at the client's edges.
    SendMessageA(page, WM_VSCROLL, SB_BOTTOM, 0);
    EXPECT_EQ(bar(SB_VERT).position, 905 - client.bottom);
    SendMessageA(page, WM_HSCROLL, SB_PAGERIGHT, 0);
    SendMessageA(page, WM_HSCROLL, SB_PAGERIGHT, 0);
    EXPECT_EQ(bar(SB_HORZ).position, 900 - client.right);
    EXPECT_PLACE(placeOf(4036), 610 - (900 - client.right), 880 - (905 - client.bottom), 170, 20);
}

TEST_F(PageScroll, APageThatFitsKeepsADisabledBar) {
    openPage(textQuiz(3));  // 80 pixels high
    const ScrollState vertical = bar(SB_VERT);
    EXPECT_EQ(vertical.maximum - vertical.page + 1, 0);
    SCROLLBARINFO info = {};
    info.cbSize = sizeof info;
    ASSERT_TRUE(GetScrollBarInfo(page, OBJID_VSCROLL, &info));
    EXPECT_FALSE(info.rgstate[0] & STATE_SYSTEM_INVISIBLE);
    EXPECT_TRUE(info.rgstate[0] & STATE_SYSTEM_UNAVAILABLE);
    SendMessageA(page, WM_VSCROLL, SB_LINEDOWN, 0);
    EXPECT_EQ(bar(SB_VERT).position, 0);
}

TEST_F(PageScroll, GrowingUntilThePageFitsScrollsBackToTheTop) {
    openPage(textQuiz(20));  // 505 pixels high
    scrollTarget = 200;
    SendMessageA(page, WM_VSCROLL, SCROLL_TO_TARGET, 0);
    ASSERT_EQ(bar(SB_VERT).position, 200);
    EXPECT_EQ(placeOf(4001).y, 5 - 200);
    SetWindowPos(page, nullptr, 0, 0, 1000, 700, SWP_NOMOVE | SWP_NOZORDER);
    EXPECT_EQ(bar(SB_VERT).position, 0);
    EXPECT_EQ(placeOf(4001).y, 5);
    EXPECT_EQ(placeOf(4020).y, 480);
}

TEST_F(PageScroll, VerticalRequestsMoveTheControls) {
    openPage(textQuiz(60));  // 1505 pixels high
    const int largest = 1505 - clientHeight();
    const int pageSize = bar(SB_VERT).page;
    struct Step {
        int code;
        int target;
        int position;
    } steps[] = {
        {SB_LINEDOWN, 0, 310},
        {SCROLL_WHEEL_DOWN, 0, 360},
        {SCROLL_WHEEL_UP, 0, 310},
        {SB_PAGEDOWN, 0, 310 + pageSize},
        {SB_PAGEUP, 0, 310},
        {SB_LINEUP, 0, 0},
        {SB_LINEUP, 0, 0},
        {SB_BOTTOM, 0, largest},
        {SB_LINEDOWN, 0, largest},
        {SB_TOP, 0, 0},
        {SCROLL_TO_TARGET, 444, 444},
        {SB_THUMBPOSITION, 0, 444},
        {SB_ENDSCROLL, 0, 444},
        {SCROLL_TO_TARGET, -40, 0},
        {SCROLL_TO_TARGET, 99999, largest},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.code);
        scrollTarget = step.target;
        SendMessageA(page, WM_VSCROLL, static_cast<WPARAM>(step.code), 0);
        EXPECT_EQ(bar(SB_VERT).position, step.position);
        EXPECT_EQ(placeOf(4001).y, 5 - step.position);
        EXPECT_EQ(placeOf(5030).y, 5 + 29 * 25 - step.position);
    }
}

TEST_F(PageScroll, HorizontalRequests) {
    openPage(textQuiz(3));  // 900 pixels wide
    RECT client;
    GetClientRect(page, &client);
    const int largest = 900 - client.right;
    struct Step {
        int code;
        int position;
    } steps[] = {
        {SB_LINERIGHT, 1}, {SB_LINERIGHT, 2},       {SB_LINELEFT, 1},        {SB_LEFT, 1},
        {SB_RIGHT, 1},     {SB_PAGERIGHT, largest}, {SB_LINERIGHT, largest}, {SB_PAGELEFT, 0},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.code);
        SendMessageA(page, WM_HSCROLL, static_cast<WPARAM>(step.code), 0);
        EXPECT_EQ(bar(SB_HORZ).position, step.position);
        EXPECT_EQ(placeOf(4001).x, 610 - step.position);
    }
}

TEST_F(PageScroll, WheelDeltasAddUpToStepsPostedAsRequests) {
    openPage(textQuiz(30));
    // Each whole 120 gathered is one 50-pixel step; a turn of direction drops
    // what was gathered.
    struct Turn {
        int delta;
        int position;
    } turns[] = {{-120, 50}, {-120, 100}, {120, 50},  {-240, 150}, {-60, 150}, {-60, 200},
                 {-120, 250}, {60, 250},  {-120, 300}, {120, 250},  {-10, 250}, {240, 150}};
    for (const Turn& turn : turns) {
        SCOPED_TRACE(turn.delta);
        const WPARAM wParam = MAKEWPARAM(0, static_cast<WORD>(static_cast<short>(turn.delta)));
        SendMessageA(page, WM_MOUSEWHEEL, wParam, 0);
        pumpMessages();
        EXPECT_EQ(bar(SB_VERT).position, turn.position);
    }
}

TEST_F(PageScroll, RowChanges) {
    QuizSetup setup = quizSetup(QuizKindPicture, numberedQuestions(3), 2, 2);
    openPage(setup, 1000, 500);
    const int rowIds[] = {9901, 8001, 4001, 4002, 5001, 5002, 2001};
    PageBox before[7];
    for (int i = 0; i < 7; ++i) before[i] = placeOf(rowIds[i]);
    ShowWindow(item(8001), SW_SHOWNORMAL);

    moveQuestionRow(document, RowHide, SW_HIDE, page, 200, -1, 1);
    EXPECT_FALSE(visible(9901));
    EXPECT_FALSE(visible(8001));
    for (int i = 0; i < 7; ++i) {
        SCOPED_TRACE(rowIds[i]);
        EXPECT_EQ(placeOf(rowIds[i]).y, before[i].y - (i < 2 ? 0 : 200));
    }
    moveQuestionRow(document, RowShow, SW_SHOWNORMAL, page, 200, 1, 1);
    EXPECT_TRUE(visible(9901));
    EXPECT_TRUE(visible(8001));
    for (int i = 0; i < 7; ++i) EXPECT_EQ(placeOf(rowIds[i]).y, before[i].y);

    // Question 2 moves as a whole; captions never take part.
    const int secondIds[] = {9902, 8002, 4003, 4004, 5003, 5004, 2002};
    PageBox second[7];
    for (int i = 0; i < 7; ++i) second[i] = placeOf(secondIds[i]);
    HWND caption = GetDlgItem(page, kAnswerCaptionId);
    const PageBox captionBefore = placeOfWindow(caption);
    moveQuestionRow(document, RowMoveUp, SW_HIDE, page, 265, -1, 2);
    for (int i = 0; i < 7; ++i) {
        SCOPED_TRACE(secondIds[i]);
        EXPECT_EQ(placeOf(secondIds[i]).y, second[i].y - 265);
        EXPECT_EQ(placeOf(secondIds[i]).x, second[i].x);
    }
    EXPECT_FALSE(visible(8002));  // still hidden: a move does not show
    EXPECT_PLACE(placeOfWindow(caption), captionBefore.x, captionBefore.y, captionBefore.width, captionBefore.height);
    moveQuestionRow(document, RowMoveDown, SW_SHOWNORMAL, page, 265, 1, 2);
    for (int i = 0; i < 7; ++i) EXPECT_EQ(placeOf(secondIds[i]).y, second[i].y);
}

TEST_F(PageScroll, MoveControlWorksWhileScrolled) {
    openPage(textQuiz(30));
    scrollTarget = 120;
    SendMessageA(page, WM_VSCROLL, SCROLL_TO_TARGET, 0);
    const PageBox before = placeOf(4010);
    moveControl(item(4010), 33);
    EXPECT_PLACE(placeOf(4010), before.x, before.y + 33, before.width, before.height);
}
