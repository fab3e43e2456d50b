// Time to build the page of the largest quizzes, 96 text questions and 96
// picture questions with 260 x 260 JPEG pictures, as a ratio to the
// platform's floor measured in the same run. Each build creates the page
// dialog from template 1001 (every row, restore and judging included) in a
// top-level window with its header, as the player does. The floor makes the
// same dialog with a procedure that does nothing, then creates the very
// controls the page ended with (read back from a real build: class, text,
// styles, place, id and font) and decodes and fits each picture through
// loadPicture, then sizes, shows, scrolls and paints it the same way: the
// window system's and the picture decoder's share of the build, without the
// page's logic (geometry, subclassing, restoring and judging the answers).
//
//   kerbo-winbench-page_build.exe [runs]
//
// Prints, for each quiz, the median page build and floor in milliseconds and
// their ratio, and exits with 1 when a ratio passes 1.2.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "media/picture_loader.h"
#include "package/quiz_document.h"
#include "package/resource_store.h"
#include "page/page.h"
#include "resources/resource_ids.h"
#include "shell/shell.h"
#include "wine_test_support.h"

namespace {

struct Quiz {
    const char* name;
    int kind;
    double targetRatio;  // the page build at most this many times the floor
};

LRESULT CALLBACK parentProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcA(window, message, wParam, lParam);
}

QuizDocument* makeQuiz(int kind) {
    QuizDocument* document = createQuizDocument();
    document->quizKind = kind;
    document->questionCount = kMaxQuestions;
    for (int n = 1; n <= kMaxQuestions; ++n) {
        const std::string answer = "Reponse numero " + std::to_string(n);
        const std::string prompt = "Quelle est la reponse de la question " + std::to_string(n) + " ?";
        appendQuestion(document, answer.c_str(), "", prompt.c_str());
    }
    return document;
}

// Saved answers for every field, about a third of them right, so that the
// build restores and judges real texts.
void writeSavedAnswers() {
    char executable[kTextCapacity];
    executableFileName(executable, sizeof executable);
    std::string name(executable);
    name = name.substr(0, name.rfind('.')) + ".txt";
    std::ofstream out(name, std::ios::binary | std::ios::trunc);
    for (int n = 1; n <= kMaxQuestions; ++n) {
        if (n % 3 == 0) out << "Reponse numero " << n;
        else if (n % 3 == 1) out << "Reponse numro " << n;
        out << "\r\n";
    }
}

// One control of the built page, as the floor creates it again.
struct Control {
    char className[32];
    char text[kTextCapacity];
    DWORD style, exStyle;
    RECT place;  // in the page's client area
    int id;
    HFONT font;
    int pictureId;  // 0: no picture
};

struct Controls {
    HWND page;
    std::vector<Control>* list;
};

BOOL CALLBACK recordControl(HWND control, LPARAM context) {
    Controls* controls = reinterpret_cast<Controls*>(context);
    if (GetParent(control) != controls->page) return TRUE;
    Control c = {};
    GetClassNameA(control, c.className, sizeof c.className);
    GetWindowTextA(control, c.text, sizeof c.text);
    c.style = static_cast<DWORD>(GetWindowLongPtrA(control, GWL_STYLE));
    c.exStyle = static_cast<DWORD>(GetWindowLongPtrA(control, GWL_EXSTYLE));
    GetWindowRect(control, &c.place);
    MapWindowPoints(nullptr, controls->page, reinterpret_cast<POINT*>(&c.place), 2);
    c.id = GetDlgCtrlID(control);
    c.font = reinterpret_cast<HFONT>(SendMessageA(control, WM_GETFONT, 0, 0));
    if (c.id > 9900 && SendMessageA(control, STM_GETIMAGE, IMAGE_BITMAP, 0)) c.pictureId = 400 + (c.id - 9900);
    controls->list->push_back(c);
    return TRUE;
}

INT_PTR CALLBACK floorProc(HWND, UINT message, WPARAM, LPARAM) { return message == WM_INITDIALOG; }

// The page of the quiz, or its floor from controls; records the page's
// controls into record when it is given.
double buildOnce(int kind, const std::vector<Control>* floor = nullptr, std::vector<Control>* record = nullptr) {
    QuizDocument* document = makeQuiz(kind);
    quizDocument = document;
    HINSTANCE instance = GetModuleHandleA(nullptr);
    HWND parent = CreateWindowExA(0, "KerboPageBench", "bench", WS_OVERLAPPEDWINDOW, 0, 0, 544, 375, nullptr,
                                  nullptr, instance, nullptr);
    HWND header = CreateDialogParamA(instance, MAKEINTRESOURCEA(IDD_HEADER_BAR), parent, headerBarProc, 0);
    document->headerWindow = header;
    ShowWindow(parent, SW_SHOWNORMAL);
    ShowWindow(header, SW_SHOWNORMAL);
    pumpMessages();

    LARGE_INTEGER frequency, start, end;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
    HWND page = CreateDialogParamA(instance, MAKEINTRESOURCEA(IDD_QUIZ_PAGE), parent, floor ? floorProc : quizPageProc, 0);
    document->pageWindow = page;
    if (floor) {
        for (const Control& c : *floor) {
            HWND control = CreateWindowExA(c.exStyle, c.className, c.text, c.style, c.place.left, c.place.top,
                                           c.place.right - c.place.left, c.place.bottom - c.place.top, page,
                                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(c.id)), instance, nullptr);
            SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(c.font), FALSE);
            if (c.pictureId)
                SendMessageA(control, STM_SETIMAGE, IMAGE_BITMAP,
                             reinterpret_cast<LPARAM>(loadPicture(c.pictureId, 260, 260)));
        }
    }
    SetWindowPos(page, nullptr, 5, 50, 522, 239, SWP_NOZORDER);
    ShowWindow(page, SW_SHOWNORMAL);
    SendMessageA(page, WM_VSCROLL, SB_TOP, 0);
    UpdateWindow(page);
    QueryPerformanceCounter(&end);

    if (!GetDlgItem(page, 4000 + kMaxQuestions)) std::printf("  the page is incomplete!\n");
    if (record) {
        Controls controls = {page, record};
        EnumChildWindows(page, recordControl, reinterpret_cast<LPARAM>(&controls));
    }
    if (floor) {  // the floor's pictures are its own to delete
        for (const Control& c : *floor) {
            HWND control = GetDlgItem(page, c.id);
            if (c.pictureId && control)
                DeleteObject(reinterpret_cast<HBITMAP>(SendMessageA(control, STM_GETIMAGE, IMAGE_BITMAP, 0)));
        }
    }
    DestroyWindow(page);
    DestroyWindow(header);
    DestroyWindow(parent);
    pumpMessages();
    quizDocument = nullptr;
    destroyQuizDocument(document);
    return 1000.0 * static_cast<double>(end.QuadPart - start.QuadPart) / static_cast<double>(frequency.QuadPart);
}

}  // namespace

int main(int argc, char** argv) {
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 15;
    WNDCLASSEXA windowClass = {};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = parentProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "KerboPageBench";
    RegisterClassExA(&windowClass);

    // Every picture of the quiz, and the two of its last row that it asks for
    // beyond question 96, is the same 260 x 260 JPEG.
    std::ifstream in(std::string(KERBO_TEST_DATA) + "/pictures/bench-260.jpg", std::ios::binary);
    const std::vector<unsigned char> jpeg((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (jpeg.empty()) {
        std::printf("tests/data/pictures/bench-260.jpg is missing\n");
        return 2;
    }
    MemoryResourceStore pictures;
    for (int id = 401; id <= 400 + kMaxQuestions + 2; ++id)
        pictures.add(KERBO_TYPE_IMG, id, jpeg.data(), static_cast<uint32_t>(jpeg.size()));
    setQuizResources(&pictures);
    writeSavedAnswers();

    const Quiz quizzes[] = {{"text, 96 questions", QuizKindText, 1.2},
                            {"picture, 96 questions, 260x260 JPEG", QuizKindPicture, 1.2}};
    int status = 0;
    for (const Quiz& quiz : quizzes) {
        std::vector<Control> controls;
        buildOnce(quiz.kind, nullptr, &controls);  // warm-up (window classes, fonts, OLE), and the controls
        buildOnce(quiz.kind, &controls);
        // Page and floor alternate, so that a change in the machine's load
        // touches both alike.
        std::vector<double> pageTimes, floorTimes;
        for (int i = 0; i < runs; ++i) {
            pageTimes.push_back(buildOnce(quiz.kind));
            floorTimes.push_back(buildOnce(quiz.kind, &controls));
        }
        std::sort(pageTimes.begin(), pageTimes.end());
        std::sort(floorTimes.begin(), floorTimes.end());
        const double page = pageTimes[pageTimes.size() / 2];
        const double floor = floorTimes[floorTimes.size() / 2];
        const double ratio = page / floor;
        const bool met = ratio <= quiz.targetRatio;
        std::printf("page build, %s (%zu controls): %.2f x the floor (page %.1f ms, floor %.1f ms, medians of %d): %s\n",
                    quiz.name, controls.size(), ratio, page, floor, runs, met ? "met" : "MISSED");
        if (!met) status = 1;
    }
    setQuizResources(nullptr);
    return status;
}
