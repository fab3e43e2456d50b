// Start-up, message loop and shutdown of the player, each step in its fixed
// order: the page judges the restored answers while it is created and writes
// the score into the header, so the header must exist first; the document
// outlives every window.
#include "media/media_player.h"
#include "package/package_loader.h"
#include "package/quiz_document.h"
#include "package/resource_store_win32.h"
#include "page/page.h"
#include "resources/resource_ids.h"
#include "shell/shell.h"

HBRUSH footerBrush = nullptr;
HWND headerDialog = nullptr;
HWND pageDialog = nullptr;

namespace {

const char kMainClassName[] = "Kerbo";
enum { kMainWindowWidth = 544, kMainWindowHeight = 375 };

void centreOnDesktop(HWND window) {
    RECT desktop;
    RECT outer;
    GetWindowRect(GetDesktopWindow(), &desktop);
    GetWindowRect(window, &outer);
    POINT origin = centredOrigin(desktop, outer);
    SetWindowPos(window, nullptr, origin.x, origin.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
}

// A child dialog of the main window, shown; its procedure builds its
// controls before this returns.
HWND createChildDialog(HINSTANCE instance, int templateId, HWND parent, DLGPROC procedure) {
    HWND dialog = CreateDialogParamA(instance, MAKEINTRESOURCEA(templateId), parent, procedure, 0);
    ShowWindow(dialog, SW_SHOWNORMAL);
    return dialog;
}

}  // namespace

POINT centredOrigin(const RECT& desktop, const RECT& window) {
    const int desktopWidth = desktop.right - desktop.left;
    const int desktopHeight = desktop.bottom - desktop.top;
    const int windowWidth = window.right - window.left;
    const int windowHeight = window.bottom - window.top;
    POINT origin;
    origin.x = desktop.left + (desktopWidth - windowWidth) / 2;
    origin.y = desktop.top + (desktopHeight - windowHeight) / 2;
    return origin;
}

bool registerMainWindowClass(HINSTANCE instance) {
    WNDCLASSEXA windowClass = {};
    windowClass.cbSize = sizeof windowClass;
    windowClass.style = CS_DBLCLKS;
    windowClass.lpfnWndProc = mainWindowProc;
    windowClass.cbClsExtra = 0;
    windowClass.cbWndExtra = 0;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIconA(nullptr, IDI_APPLICATION);
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_SCROLLBAR + 1));
    windowClass.lpszMenuName = nullptr;
    windowClass.lpszClassName = kMainClassName;
    windowClass.hIconSm = LoadIconA(nullptr, IDI_APPLICATION);
    if (RegisterClassExA(&windowClass)) return true;
    MessageBoxA(nullptr, "Erreur dans la cr\xE9" "ation de la fen\xEAtre principale", "Kerbo",
                MB_OK | MB_ICONINFORMATION);
    return false;
}

HWND createMainWindow(HINSTANCE instance, const char* caption) {
    HWND window = CreateWindowExA(0, kMainClassName, caption, WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT,
                                  kMainWindowWidth, kMainWindowHeight, nullptr, nullptr, instance, nullptr);
    centreOnDesktop(window);
    return window;
}

bool startPlayer(HINSTANCE instance, HWND* mainWindow) {
    *mainWindow = nullptr;
    if (!registerMainWindowClass(instance)) return false;
    footerBrush = CreateSolidBrush(RGB(212, 208, 200));

    QuizDocument* document = createQuizDocument();
    if (!document) {
        DeleteObject(footerBrush);
        footerBrush = nullptr;
        return false;
    }
    quizDocument = document;

    // Whatever the loader finds, the player goes on with the document it has.
    if (!quizResources()) setQuizResources(ownModuleResources());
    PackageLoadReport report = {};
    loadQuizPackage(document, *quizResources(), &report);
    loadPlayerSupport();

    HWND window = createMainWindow(instance, document->title);
    *mainWindow = window;
    headerDialog = createChildDialog(instance, IDD_HEADER_BAR, window, headerBarProc);
    document->headerWindow = headerDialog;
    pageDialog = createChildDialog(instance, IDD_QUIZ_PAGE, window, quizPageProc);
    document->pageWindow = pageDialog;

    ShowWindow(window, SW_SHOWNORMAL);
    ShowWindow(pageDialog, SW_SHOWNORMAL);
    SendMessageA(pageDialog, WM_VSCROLL, SB_TOP, 0);
    return true;
}

int runMessageLoop() {
    MSG message = {};
    BOOL got;
    while ((got = GetMessageA(&message, nullptr, 0, 0)) != 0) {
        if (got == -1) return 0;
        // Only the page has dialog keys (Tab between answer fields).
        if (pageDialog && IsDialogMessageA(pageDialog, &message)) continue;
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return static_cast<int>(message.wParam);
}

void shutDownPlayer(HWND mainWindow) {
    EndDialog(pageDialog, 0);
    DestroyWindow(headerDialog);
    unloadPlayerSupport(mainWindow);
    DeleteObject(footerBrush);
    footerBrush = nullptr;
    destroyQuizDocument(quizDocument);
    quizDocument = nullptr;
    headerDialog = nullptr;
    pageDialog = nullptr;
}
