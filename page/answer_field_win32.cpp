// The answer fields' own window procedure, in front of the edit control's:
// select all on focus (also after a click, and on Ctrl+A), judge on leaving
// and on Enter (which does nothing else), keep a field reached by Tab or
// typed into in view with its verdict, scroll with the page and arrow keys,
// F1 fills the unsolved fields, F2 saves.
#include "page/page.h"

int scrollTarget = 0;
WNDPROC originalEditProc = nullptr;

namespace {

enum { kSelectAllEnd = 260, kCtrlA = 1 };

// The field a mouse button press has just given the focus to: its whole
// text is selected again when the button is released, since the edit
// control may set its caret after WM_SETFOCUS (it does on Windows).
HWND selectOnButtonUp = nullptr;

HWND pageOf(HWND field) { return GetParent(field); }

void selectAll(HWND field) { SendMessageA(field, EM_SETSEL, 0, kSelectAllEnd); }

// A control's rectangle in the page's client coordinates.
RECT placeOnPage(HWND page, HWND control) {
    RECT rect = {};
    GetWindowRect(control, &rect);
    MapWindowPoints(nullptr, page, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

// Scrolls the page, vertically and horizontally, by the least amount that
// shows the field and its verdict label whole; where both cannot show, so
// that the field's top-left corner is at the view's top-left.
void showFieldAndVerdict(HWND field) {
    HWND page = pageOf(field);
    RECT client;
    if (!GetClientRect(page, &client)) return;
    const RECT own = placeOnPage(page, field);
    RECT span = own;
    HWND label = GetDlgItem(page, GetDlgCtrlID(field) + kVerdictIdOffset);
    if (label) {
        const RECT verdict = placeOnPage(page, label);
        UnionRect(&span, &own, &verdict);
    }
    const int vertical = GetScrollPos(page, SB_VERT);
    const int top = leastScrollToShow(vertical, span.top, span.bottom, own.top, client.bottom);
    if (top != vertical) {
        scrollTarget = top;
        SendMessageA(page, WM_VSCROLL, SCROLL_TO_TARGET, 0);
    }
    const int horizontal = GetScrollPos(page, SB_HORZ);
    const int left = leastScrollToShow(horizontal, span.left, span.right, own.left, client.right);
    if (left != horizontal) scrollPageHorizontallyTo(page, left);
}

bool ctrlAlone() { return GetKeyState(VK_CONTROL) < 0 && GetKeyState(VK_MENU) >= 0; }

// WM_GETDLGCODE: the field asks for the key-down of Enter itself, so that
// the dialog navigation does not press the page's default push button (the
// play and stop buttons are default push buttons) nor send IDOK.
LRESULT dialogCode(HWND field, WPARAM wParam, LPARAM lParam) {
    LRESULT code = CallWindowProcA(originalEditProc, field, WM_GETDLGCODE, wParam, lParam);
    const MSG* message = reinterpret_cast<const MSG*>(lParam);
    if (message && message->message == WM_KEYDOWN && message->wParam == VK_RETURN) code |= DLGC_WANTALLKEYS;
    return code;
}

// Tab released in the field that now has the focus: when the field is not
// wholly inside the page's visible client area (the page's window rectangle
// would also take in the horizontal scroll bar, behind which a field stays
// hidden), scroll so that it is centred in the view.
void keepFieldVisible(HWND field) {
    HWND page = pageOf(field);
    RECT fieldRect, client;
    if (!GetWindowRect(field, &fieldRect) || !GetClientRect(page, &client)) return;
    POINT clientTop = {0, 0};
    ClientToScreen(page, &clientTop);
    const int top = fieldRect.top - clientTop.y;
    const int bottom = fieldRect.bottom - clientTop.y;
    scrollTarget = fieldScrollTarget(GetScrollPos(page, SB_VERT), top, bottom - top, client.bottom);
    if (bottom > client.bottom || top < 0) SendMessageA(page, WM_VSCROLL, SCROLL_TO_TARGET, 0);
    // The verdict label beside or below it, and the horizontal direction.
    showFieldAndVerdict(field);
}

void judge(HWND field) { evaluateAnswer(quizDocument, pageOf(field), GetDlgCtrlID(field)); }

// The action of a key released, or pressed with Alt. True when the message
// is consumed (Enter).
bool onKey(HWND field, WPARAM key) {
    switch (key) {
    case VK_TAB: keepFieldVisible(field); return false;
    case VK_RETURN: judge(field); return true;
    case VK_PRIOR:
    case VK_UP: SendMessageA(pageOf(field), WM_VSCROLL, SB_PAGEUP, 0); return false;
    case VK_NEXT:
    case VK_DOWN: SendMessageA(pageOf(field), WM_VSCROLL, SB_PAGEDOWN, 0); return false;
    case VK_F1: fillUnsolvedFields(field); return false;
    case VK_F2: saveAnswersOrWarn(quizDocument); return false;
    default: return false;
    }
}

}  // namespace

void installAnswerFieldProc(HWND field) {
    originalEditProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(field, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(answerFieldProc)));
}

void fillUnsolvedFields(HWND field) {
    QuizDocument* document = quizDocument;
    HWND page = pageOf(field);
    char text[kTextCapacity] = "";
    GetWindowTextA(field, text, sizeof text);
    const int fields = pageFieldCount(document);
    for (int k = 1; k <= fields; ++k) {
        HWND target = GetDlgItem(page, kAnswerFieldBase + k);
        if (!target || labelReadsBravo(page, kVerdictLabelBase + k)) continue;
        SetWindowTextA(target, text);
        // Moving the focus judges the field that had it before going on.
        SetFocus(target);
    }
    SetFocus(field);
    showFieldAndVerdict(field);
}

LRESULT CALLBACK answerFieldProc(HWND field, UINT message, WPARAM wParam, LPARAM lParam) {
    if (quizDocument) {
        switch (message) {
        case WM_SETFOCUS: selectAll(field); break;
        case WM_KILLFOCUS:
            // The field that a click is focusing is not this one.
            if (selectOnButtonUp == field) selectOnButtonUp = nullptr;
            judge(field);
            break;
        case WM_LBUTTONDOWN:
            selectOnButtonUp = GetFocus() == field ? nullptr : field;
            break;
        case WM_LBUTTONUP: {
            const LRESULT result = CallWindowProcA(originalEditProc, field, message, wParam, lParam);
            if (selectOnButtonUp == field) selectAll(field);
            selectOnButtonUp = nullptr;
            return result;
        }
        case WM_GETDLGCODE: return dialogCode(field, wParam, lParam);
        case WM_KEYDOWN:
            // Enter only judges, on release: the edit control would hand its
            // key-down to the dialog's default button.
            if (wParam == VK_RETURN) return 0;
            if (wParam == 'A' && ctrlAlone()) {
                selectAll(field);
                return 0;
            }
            break;
        case WM_CHAR:
            // Tab and Enter insert nothing and do not beep; nor does the
            // Ctrl+A that selected everything.
            if (wParam == 0 || wParam == VK_TAB || wParam == VK_RETURN || wParam == kCtrlA) return 0;
            // A character typed into a field out of view brings it into view.
            showFieldAndVerdict(field);
            break;
        case WM_KEYUP:
        case WM_SYSKEYDOWN:
            if (onKey(field, wParam)) return 1;
            break;
        default: break;
        }
    }
    return CallWindowProcA(originalEditProc, field, message, wParam, lParam);
}
