// The answer fields' own window procedure, in front of the edit control's:
// select all on focus, judge on leaving and on Enter, keep a field reached by
// Tab in view, scroll with the page and arrow keys, F1 fills the unsolved
// fields, F2 saves.
#include "page/page.h"

int scrollTarget = 0;
WNDPROC originalEditProc = nullptr;

namespace {

enum { kSelectAllEnd = 260 };

HWND pageOf(HWND field) { return GetParent(field); }

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
    case VK_F2: saveAnswers(quizDocument); return false;
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
}

LRESULT CALLBACK answerFieldProc(HWND field, UINT message, WPARAM wParam, LPARAM lParam) {
    if (quizDocument) {
        switch (message) {
        case WM_SETFOCUS: SendMessageA(field, EM_SETSEL, 0, kSelectAllEnd); break;
        case WM_KILLFOCUS: judge(field); break;
        case WM_CHAR:
            // Tab and Enter insert nothing and do not beep.
            if (wParam == 0 || wParam == VK_TAB || wParam == VK_RETURN) return 0;
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
