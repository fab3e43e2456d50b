// Scrolling the page and moving question rows. Scrolling moves the child
// controls themselves (ScrollWindow), so every later position computation
// starts from the controls' current places.
#include "page/page.h"

namespace {

// The wheel deltas the page has gathered; the main window keeps its own.
WheelTotal pageWheel;

ScrollState readBar(HWND page, int bar) {
    SCROLLINFO info = {};
    info.cbSize = sizeof info;
    info.fMask = SIF_ALL;
    GetScrollInfo(page, bar, &info);
    return ScrollState{info.nMin, info.nMax, static_cast<int>(info.nPage), info.nPos, info.nTrackPos};
}

void setBar(HWND page, int bar, int contentSize, int clientSize) {
    const ScrollBarSetting setting = scrollBarFor(contentSize, clientSize);
    if (setting.fits) SetScrollPos(page, bar, 0, FALSE);
    SCROLLINFO info = {};
    info.cbSize = sizeof info;
    info.fMask = SIF_RANGE | SIF_PAGE | SIF_DISABLENOSCROLL;
    info.nMin = 0;
    info.nMax = setting.maximum;
    info.nPage = static_cast<UINT>(setting.page);
    SetScrollInfo(page, bar, &info, TRUE);
}

// Gives the bar its new position (the bar limits it to maximum - page + 1)
// and returns the position it now holds.
int moveBar(HWND page, int bar, int position) {
    SCROLLINFO info = {};
    info.cbSize = sizeof info;
    info.fMask = SIF_POS;
    info.nPos = position;
    SetScrollInfo(page, bar, &info, TRUE);
    return GetScrollPos(page, bar);
}

}  // namespace

void updateScrollRanges(QuizDocument* document, HWND page) {
    RECT client;
    if (!GetClientRect(page, &client)) return;
    setBar(page, SB_HORZ, document->pageWidth, client.right - client.left);
    setBar(page, SB_VERT, document->pageHeight, client.bottom - client.top);
}

void refreshScrollRanges(QuizDocument* document, HWND page) {
    if (!page || !IsWindow(page)) return;
    const int oldVertical = GetScrollPos(page, SB_VERT);
    const int oldHorizontal = GetScrollPos(page, SB_HORZ);
    updateScrollRanges(document, page);
    const int dx = oldHorizontal - GetScrollPos(page, SB_HORZ);
    const int dy = oldVertical - GetScrollPos(page, SB_VERT);
    if (dx != 0 || dy != 0) ScrollWindow(page, dx, dy, nullptr, nullptr);
}

void onPageSize(QuizDocument* document, HWND page) { refreshScrollRanges(document, page); }

void onPageVerticalScroll(HWND page, int code) {
    const ScrollState bar = readBar(page, SB_VERT);
    const int position = moveBar(page, SB_VERT, verticalScrollRequest(code, bar, scrollTarget));
    if (position != bar.position) ScrollWindow(page, 0, bar.position - position, nullptr, nullptr);
}

void onPageHorizontalScroll(HWND page, int code) {
    const ScrollState bar = readBar(page, SB_HORZ);
    scrollPageHorizontallyTo(page, horizontalScrollRequest(code, bar));
}

void scrollPageHorizontallyTo(HWND page, int position) {
    const int old = GetScrollPos(page, SB_HORZ);
    const int now = moveBar(page, SB_HORZ, position < 0 ? 0 : position);
    if (now != old) ScrollWindow(page, old - now, 0, nullptr, nullptr);
}

void postWheelSteps(HWND page, WheelTotal* total, WPARAM wParam) {
    int steps = addWheelDelta(total, GET_WHEEL_DELTA_WPARAM(wParam));
    const WPARAM code = static_cast<WPARAM>(wheelStepCode(steps));
    for (; steps != 0; steps += steps > 0 ? -1 : 1) PostMessageA(page, WM_VSCROLL, code, 0);
}

void onPageMouseWheel(HWND page, WPARAM wParam) { postWheelSteps(page, &pageWheel, wParam); }

void forgetPageWheel() { pageWheel = WheelTotal{}; }

void moveControl(HWND control, int distance) {
    RECT rect;
    if (!control || !GetWindowRect(control, &rect)) return;
    POINT corner = {rect.left, rect.top + distance};
    HWND parent = GetParent(control);
    if (parent && parent != GetDesktopWindow()) ScreenToClient(parent, &corner);
    SetWindowPos(control, nullptr, corner.x, corner.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
}

void moveQuestionRow(QuizDocument* document, RowChange change, int showCommand, HWND page, int distance,
                     int direction, int n) {
    const int d = distance * direction;
    HWND picture = GetDlgItem(page, kPictureBase + n);
    HWND clue = GetDlgItem(page, kClueLabelBase + n);
    if (change == RowHide || change == RowShow || change == RowShowClosed) {
        if (picture) ShowWindow(picture, showCommand);
        if (clue) ShowWindow(clue, showCommand);
    } else {
        moveControl(picture, d);
        moveControl(clue, d);
    }
    const int perQuestion = fieldsPerQuestion(document->quizKind, document->answersPerQuestion);
    for (int k = 1; k <= perQuestion; ++k) {
        const int fieldId = answerFieldId(n, k, perQuestion);
        moveControl(GetDlgItem(page, fieldId), d);
        moveControl(GetDlgItem(page, fieldId + kVerdictIdOffset), d);
        // The captions of a row of three stay beside the answer lines of the
        // row's first question.
        if (perQuestion == 2 && rowColumn(n) == 0) moveControl(answerCaption((n - 1) / 3, k), d);
    }
    moveControl(GetDlgItem(page, kNumberLabelBase + n), d);
}
