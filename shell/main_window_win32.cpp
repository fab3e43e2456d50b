// The main window, class "Kerbo": it holds the header bar on top, the quiz
// page below and a small footer label at the bottom right, lays them out on
// every size change, forwards the mouse wheel to the page and saves the
// answers when it is closed.
#include "package/quiz_document.h"
#include "page/page.h"
#include "page/page_geometry.h"
#include "shell/shell.h"

namespace {

// The wheel deltas the main window has gathered; the page keeps its own.
WheelTotal mainWheel;

// Places in client coordinates for a client area of width w and height h.
struct ChildPlace {
    int x, y, width, height;
};
ChildPlace headerPlace(int w, int) { return ChildPlace{5, 2, w - 11, 49}; }
ChildPlace pagePlace(int w, int h) { return ChildPlace{5, 50, w - 11, h - 68}; }
ChildPlace footerPlace(int w, int h) { return ChildPlace{w - 145, h - 16, 150, 15}; }

void placeChild(HWND child, const ChildPlace& place, UINT flags) {
    SetWindowPos(child, nullptr, place.x, place.y, place.width, place.height, flags);
}

// WM_CREATE: the footer label, first placed off to the right until the
// first WM_SIZE, and the big icon.
LRESULT onCreate(HWND window) {
    mainWheel = WheelTotal{};
    RECT client;
    GetClientRect(window, &client);
    const char* text = quizDocument ? quizDocument->footerText : "";
    HWND footer = CreateWindowExA(0, "Static", text, WS_CHILD | WS_VISIBLE | SS_NOPREFIX, 720, client.bottom - 16, 140, 15,
                                  window, reinterpret_cast<HMENU>(static_cast<INT_PTR>(FooterLabelId)),
                                  GetModuleHandleA(nullptr), nullptr);
    SendMessageA(footer, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), TRUE);
    SendMessageA(window, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(LoadIconA(nullptr, IDI_QUESTION)));
    return 0;
}

// WM_SIZE: the page, the header and the footer follow the client area; a
// minimised window keeps its children where they are.
LRESULT onSize(HWND window, WPARAM kind) {
    if (kind == SIZE_MINIMIZED) return 0;
    RECT client;
    GetClientRect(window, &client);
    const int w = client.right;
    const int h = client.bottom;
    placeChild(pageDialog, pagePlace(w, h), SWP_NOZORDER);
    placeChild(headerDialog, headerPlace(w, h), SWP_NOZORDER);
    placeChild(GetDlgItem(window, FooterLabelId), footerPlace(w, h), SWP_NOOWNERZORDER | SWP_NOACTIVATE);
    return 0;
}

// WM_DESTROY, and the end of WM_CLOSE: the page goes and the loop ends. The
// main window itself stays until the process ends.
LRESULT onDestroy() {
    DestroyWindow(pageDialog);
    PostQuitMessage(0);
    return 0;
}

// WM_CLOSE: the answers are saved while every answer field still exists.
// When they could not be written and the player answers No to closing
// anyway, the window and the page stay as they were.
LRESULT onClose() {
    if (quizDocument && !saveAnswersBeforeClosing(quizDocument)) return 0;
    return onDestroy();
}

// WM_QUERYENDSESSION, and WM_ENDSESSION when the session does end: log-off
// and shutdown save the answers as closing does, without asking anything
// (the session may be ending).
LRESULT onSessionEnding() {
    if (quizDocument) saveAnswers(quizDocument);
    return TRUE;
}

// WM_CTLCOLORSTATIC: only the footer label has colours of its own.
LRESULT onControlColour(HDC dc, HWND control) {
    if (GetDlgCtrlID(control) != FooterLabelId) return 0;
    SetBkMode(dc, TRANSPARENT);
    return reinterpret_cast<LRESULT>(footerBrush);
}

// WM_MOUSEWHEEL: every whole notch gathered from the deltas scrolls the page
// one step through its queue; finer deltas (a touchpad) add up.
LRESULT onMouseWheel(WPARAM wParam) {
    postWheelSteps(pageDialog, &mainWheel, wParam);
    return 0;
}

}  // namespace

LRESULT CALLBACK mainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE: return onCreate(window);
    case WM_SIZE: return onSize(window, wParam);
    case WM_CLOSE: return onClose();
    case WM_QUERYENDSESSION: return onSessionEnding();
    case WM_ENDSESSION:
        if (wParam) onSessionEnding();
        return 0;
    case WM_DESTROY: return onDestroy();
    case WM_CTLCOLORSTATIC: return onControlColour(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
    case WM_MOUSEWHEEL: return onMouseWheel(wParam);
    default: return DefWindowProcA(window, message, wParam, lParam);
    }
}
