#include "wine_test_support.h"

namespace {

std::vector<MessageBoxCatcher::Caught> caughtBoxes;
HHOOK activeHook = nullptr;
int answerButton = IDOK;

LRESULT CALLBACK catchMessageBoxes(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_ACTIVATE) {
        HWND window = reinterpret_cast<HWND>(wParam);
        char className[32] = "";
        GetClassNameA(window, className, sizeof className);
        if (std::string(className) == "#32770") {
            // The text of a message box is its static control 0xFFFF.
            MessageBoxCatcher::Caught box;
            box.caption = windowText(window);
            box.text = windowText(GetDlgItem(window, 0xFFFF));
            caughtBoxes.push_back(box);
            PostMessageA(window, WM_COMMAND, static_cast<WPARAM>(answerButton), 0);
        }
    }
    return CallNextHookEx(activeHook, code, wParam, lParam);
}

}  // namespace

MessageBoxCatcher::MessageBoxCatcher() {
    caughtBoxes.clear();
    answerButton = IDOK;
    hook_ = SetWindowsHookExA(WH_CBT, catchMessageBoxes, nullptr, GetCurrentThreadId());
    activeHook = hook_;
}

MessageBoxCatcher::~MessageBoxCatcher() {
    UnhookWindowsHookEx(hook_);
    activeHook = nullptr;
}

const std::vector<MessageBoxCatcher::Caught>& MessageBoxCatcher::caught() const { return caughtBoxes; }

void MessageBoxCatcher::answerWith(int button) { answerButton = button; }

void pumpMessages() {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

std::string windowText(HWND window) {
    char text[1024] = "";
    GetWindowTextA(window, text, sizeof text);
    return text;
}

std::string testQuizPath(const char* fileName) { return std::string(KERBO_QUIZ_DIR) + "/" + fileName; }

bool operator==(const WindowPlace& a, const WindowPlace& b) {
    return a.x == b.x && a.y == b.y && a.width == b.width && a.height == b.height;
}

std::ostream& operator<<(std::ostream& out, const WindowPlace& place) {
    return out << "(" << place.x << "," << place.y << ") " << place.width << "x" << place.height;
}

WindowPlace placeInParent(HWND window) {
    RECT r;
    GetWindowRect(window, &r);
    MapWindowPoints(nullptr, GetParent(window), reinterpret_cast<POINT*>(&r), 2);
    return WindowPlace{r.left, r.top, r.right - r.left, r.bottom - r.top};
}
