// Helpers shared by the Windows tests run under Wine.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "package/platform_types.h"

// Catches the message boxes shown on this thread while it lives: each one is
// closed as soon as it is activated, with OK or the button set by
// answerWith, and its caption and text are recorded.
class MessageBoxCatcher {
public:
    struct Caught {
        std::string caption;
        std::string text;
    };
    MessageBoxCatcher();
    ~MessageBoxCatcher();
    MessageBoxCatcher(const MessageBoxCatcher&) = delete;
    MessageBoxCatcher& operator=(const MessageBoxCatcher&) = delete;

    const std::vector<Caught>& caught() const;
    // The button (IDOK, IDYES, IDNO, ...) that closes the next boxes.
    void answerWith(int button);

private:
    HHOOK hook_;
};

// Dispatches every message waiting in this thread's queue.
void pumpMessages();

// Reads a window's text (ANSI, code page 1252 bytes).
std::string windowText(HWND window);

// Full path of a file in the directory of quizzes built for the tests.
std::string testQuizPath(const char* fileName);

// A window's place in its parent's client area (a top-level window's on the
// screen), with equality and printing for the test expectations.
struct WindowPlace {
    int x, y, width, height;
};
bool operator==(const WindowPlace& a, const WindowPlace& b);
std::ostream& operator<<(std::ostream& out, const WindowPlace& place);
WindowPlace placeInParent(HWND window);
