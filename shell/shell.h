// The application shell: start-up and shutdown, the main window, the header
// bar and the process-wide handles.
#pragma once

#include "package/platform_types.h"

// Control ids of the main window and of the header bar.
enum ShellControlId {
    FooterLabelId = 8000,   // main window: the footer text, bottom right
    LinkLabelId = 24,       // header: the link, whose text is also its target
    ByLabelId = 25,         // "Par :"
    AuthorLabelId = 26,
    SaveButtonId = 27,      // "Sauver"
    ExplanationLabelId = 28,
    TitleLabelId = 29,
    CodeFieldId = 30,       // the reward code, read-only
    CodeCaptionId = 31,     // " Code :"
    ScoreLabelId = 32,      // " 0 / %d"
    HideSolvedBoxId = 33,   // "Cacher", picture quizzes only
    ScoreLineId = 120,      // one-pixel lines between the blocks
    ScoreBlockLineId = 121,
    LinkBlockLineId = 122,
};

// Process-wide handles owned by the shell. headerDialog and pageDialog are
// also stored in the document (headerWindow, pageWindow).
extern HBRUSH footerBrush;  // RGB(212,208,200), behind the footer label
extern HWND headerDialog;   // template 1002, headerBarProc
extern HWND pageDialog;     // template 1001, quizPageProc

// Start-up up to the message loop: registers the class "Kerbo", creates the
// footer brush and the document, loads the quiz from quizResources() (the
// running module unless another store was installed), starts the media
// support, creates the centred main window, the header and the page, shows
// them and scrolls the page to its top. Returns false, having created
// nothing, when the class cannot be registered (after the message box) or
// the document cannot be allocated; the caller then exits with code 0.
bool startPlayer(HINSTANCE instance, HWND* mainWindow);

// GetMessageA until WM_QUIT, with dialog keyboard handling for the page only.
// Returns the wParam of WM_QUIT.
int runMessageLoop();

// After the loop: ends the page dialog, destroys the header, stops the media
// support, deletes the footer brush, destroys the document and clears the
// process-wide document pointer.
void shutDownPlayer(HWND mainWindow);

// Registers the window class "Kerbo" (mainWindowProc). On failure shows the
// message box "Erreur dans la creation de la fenetre principale" (with its
// accents) and returns false.
bool registerMainWindowClass(HINSTANCE instance);

// The main window of class "Kerbo" with the given caption, 544 x 375,
// centred on the desktop. The class must be registered.
HWND createMainWindow(HINSTANCE instance, const char* caption);

// Where a window of the given outer rectangle is placed to be centred on the
// desktop rectangle; signed division rounding toward zero, so a window
// larger than the desktop gets a negative origin.
POINT centredOrigin(const RECT& desktop, const RECT& window);

// Window procedure of the class "Kerbo".
LRESULT CALLBACK mainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Dialog procedure of the header bar (template 1002).
INT_PTR CALLBACK headerBarProc(HWND header, UINT message, WPARAM wParam, LPARAM lParam);

// Gives the link label its underlined font, sized from the label's height,
// and installs the hand cursor 1003 as the cursor of the "Static" class.
void setupLinkLabel(HWND label);
