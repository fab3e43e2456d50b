// Time to build the page of the largest quizzes: 96 text questions, and 96
// picture questions with 260 x 260 JPEG pictures. Each build creates the page
// dialog from template 1001 (every row, restore and judging included) in a
// top-level window with its header, as the player does.
//
//   kerbo-winbench-page_build.exe [runs]
//
// Prints the median, fastest and slowest build of each quiz in milliseconds
// and exits with 1 when a median misses its target (250 ms for text, 1 s for
// pictures).
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

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
    double targetMilliseconds;
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

double buildOnce(int kind) {
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
    HWND page = CreateDialogParamA(instance, MAKEINTRESOURCEA(IDD_QUIZ_PAGE), parent, quizPageProc, 0);
    document->pageWindow = page;
    SetWindowPos(page, nullptr, 5, 50, 522, 239, SWP_NOZORDER);
    ShowWindow(page, SW_SHOWNORMAL);
    SendMessageA(page, WM_VSCROLL, SB_TOP, 0);
    UpdateWindow(page);
    QueryPerformanceCounter(&end);

    if (!GetDlgItem(page, 4000 + kMaxQuestions)) std::printf("  the page is incomplete!\n");
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

    const Quiz quizzes[] = {{"text, 96 questions", QuizKindText, 250.0},
                            {"picture, 96 questions, 260x260 JPEG", QuizKindPicture, 1000.0}};
    int status = 0;
    for (const Quiz& quiz : quizzes) {
        buildOnce(quiz.kind);  // warm-up: first window classes, fonts, OLE
        std::vector<double> times;
        for (int i = 0; i < runs; ++i) times.push_back(buildOnce(quiz.kind));
        std::sort(times.begin(), times.end());
        const double median = times[times.size() / 2];
        const bool met = median < quiz.targetMilliseconds;
        std::printf("page build, %s: median %.1f ms, fastest %.1f ms, slowest %.1f ms over %d runs (target %.0f ms): %s\n",
                    quiz.name, median, times.front(), times.back(), runs, quiz.targetMilliseconds,
                    met ? "met" : "MISSED");
        if (!met) status = 1;
    }
    setQuizResources(nullptr);
    return status;
}
