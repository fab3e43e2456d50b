// A quiz page built in-process for the page tests: a document made in the
// test, a top-level parent, the header dialog (template 1002) and the page
// dialog (template 1001) placed as the main window places them.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include "media/picture_resources.h"
#include "package/quiz_document.h"
#include "package/resource_store.h"
#include "page/page.h"
#include "page/saved_answers.h"
#include "resources/resource_ids.h"
#include "shell/shell.h"
#include "wine_test_support.h"

inline std::vector<unsigned char> testDataBytes(const std::string& name) {
    std::ifstream in(std::string(KERBO_TEST_DATA) + "/" + name, std::ios::binary);
    return std::vector<unsigned char>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Quiz pictures for the page: "IMG" resources made from the JPEG files of
// tests/data/pictures, in place of the executable's own resources while this
// object lives. Ids above 10000 are stored nibble-swapped, as packed.
class TestPictures {
public:
    TestPictures() { setQuizResources(&store_); }
    ~TestPictures() { setQuizResources(nullptr); }
    TestPictures(const TestPictures&) = delete;
    TestPictures& operator=(const TestPictures&) = delete;

    // square.jpg fits as 260 x 260, wide.jpg as 260 x 130, tall.jpg as 130 x 260.
    void add(int id, const char* file) {
        std::vector<unsigned char> bytes = testDataBytes(std::string("pictures/") + file);
        EXPECT_FALSE(bytes.empty()) << file;
        if (isNibbleSwappedPicture(id)) swapNibbles(bytes.data(), bytes.data(), static_cast<uint32_t>(bytes.size()));
        addBytes(id, bytes);
    }
    // Any "IMG" resource, such as a clip, stored as given.
    void addBytes(int id, const std::vector<unsigned char>& bytes) {
        store_.add(KERBO_TYPE_IMG, id, bytes.data(), static_cast<uint32_t>(bytes.size()));
    }

private:
    MemoryResourceStore store_;
};

// The page's children with one id, in creation order.
inline std::vector<HWND> childrenWithId(HWND page, int id) {
    std::vector<HWND> found;
    for (HWND child = GetWindow(page, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        if (GetDlgCtrlID(child) == id) found.push_back(child);
    }
    return found;
}

inline SIZE bitmapSize(HBITMAP bitmap) {
    BITMAP info = {};
    if (!bitmap || !GetObjectA(bitmap, sizeof info, &info)) return SIZE{0, 0};
    return SIZE{info.bmWidth, info.bmHeight};
}

struct TestQuestion {
    const char* firstAnswer;
    const char* secondAnswer;
    const char* prompt;
    const char* clue;
};

struct QuizSetup {
    int kind = QuizKindText;
    int answers = 1;
    int answerMode = 0;
    std::vector<TestQuestion> questions;
    int questionCount = -1;  // the number of questions unless set
};

inline QuizSetup quizSetup(int kind, std::vector<TestQuestion> questions, int answers = 1, int answerMode = 0) {
    QuizSetup setup;
    setup.kind = kind;
    setup.answers = answers;
    setup.answerMode = answerMode;
    setup.questions = std::move(questions);
    return setup;
}

// n questions whose answers are "Reponse<n>" (and "Second<n>").
inline std::vector<TestQuestion> numberedQuestions(int count) {
    static std::vector<std::string> texts;
    texts.clear();
    texts.reserve(static_cast<size_t>(count) * 3);
    std::vector<TestQuestion> questions;
    for (int n = 1; n <= count; ++n) {
        texts.push_back("Reponse" + std::to_string(n));
        texts.push_back("Second" + std::to_string(n));
        texts.push_back("Question " + std::to_string(n) + " ?");
    }
    for (int n = 0; n < count; ++n) {
        const size_t i = static_cast<size_t>(n) * 3;
        questions.push_back({texts[i].c_str(), texts[i + 1].c_str(), texts[i + 2].c_str(), "Indice"});
    }
    return questions;
}

// The saved-answers file of this test executable, in the current directory.
inline std::string savedFileName() {
    char executable[kTextCapacity];
    char name[kTextCapacity];
    executableFileName(executable, sizeof executable);
    savedAnswersFileName(executable, name, sizeof name);
    return name;
}

inline void writeSavedFile(const std::string& bytes) {
    std::ofstream out(savedFileName(), std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

inline std::string readSavedFile() {
    std::ifstream in(savedFileName(), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void removeSavedFile() {
    DeleteFileA(savedFileName().c_str());
    DeleteFileA((savedFileName() + ".tmp").c_str());
    RemoveDirectoryA((savedFileName() + ".tmp").c_str());
}

inline LRESULT CALLBACK testParentProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcA(window, message, wParam, lParam);
}

// Adds the header controls the page writes to when the header dialog does
// not create them itself.
inline void ensureHeaderControls(HWND header, int kind) {
    HINSTANCE instance = GetModuleHandleA(nullptr);
    if (!GetDlgItem(header, 30))
        CreateWindowExA(0, "edit", "", WS_CHILD | WS_VISIBLE | ES_READONLY, 44, 29, 53, 16, header,
                        reinterpret_cast<HMENU>(30), instance, nullptr);
    if (!GetDlgItem(header, 32))
        CreateWindowExA(0, "Static", "", WS_CHILD | WS_VISIBLE | SS_CENTER, 10, 1, 80, 20, header,
                        reinterpret_cast<HMENU>(32), instance, nullptr);
    if (kind == QuizKindPicture && !GetDlgItem(header, 33))
        CreateWindowExA(0, "button", "Cacher", WS_CHILD | WS_VISIBLE | BS_AUTOCHECKBOX, 666, 5, 65, 18, header,
                        reinterpret_cast<HMENU>(33), instance, nullptr);
}

class PageTest : public ::testing::Test {
protected:
    QuizDocument* document = nullptr;
    HWND parent = nullptr;
    HWND header = nullptr;
    HWND page = nullptr;

    void SetUp() override { removeSavedFile(); }

    void TearDown() override {
        closePage();
        removeSavedFile();
    }

    QuizDocument* makeDocument(const QuizSetup& setup) {
        QuizDocument* d = createQuizDocument();
        d->quizKind = setup.kind;
        d->answersPerQuestion = setup.answers;
        d->answerMode = setup.answerMode;
        d->questionCount = setup.questionCount >= 0 ? setup.questionCount : static_cast<int>(setup.questions.size());
        for (const TestQuestion& q : setup.questions) {
            appendQuestion(d, q.firstAnswer, q.secondAnswer, q.prompt);
            copyText(d->lastQuestion->clue, kTextCapacity, q.clue);
        }
        for (int s = 0; s < kMaxQuestions; ++s) {
            char code[32];
            std::snprintf(code, sizeof code, "CODE%d", s + 1);
            copyText(d->rewardCodes[s], kTextCapacity, code);
        }
        return d;
    }

    // Builds the page in a client of clientWidth x clientHeight pixels (the
    // page gets clientWidth - 11 by clientHeight - 68, as in the main window).
    void openPage(const QuizSetup& setup, int clientWidth = 533, int clientHeight = 307) {
        document = makeDocument(setup);
        openDocument(clientWidth, clientHeight);
    }

    void openDocument(int clientWidth = 533, int clientHeight = 307) {
        quizDocument = document;
        HINSTANCE instance = GetModuleHandleA(nullptr);
        WNDCLASSEXA windowClass = {};
        windowClass.cbSize = sizeof windowClass;
        windowClass.lpfnWndProc = testParentProc;
        windowClass.hInstance = instance;
        windowClass.lpszClassName = "KerboPageTest";
        RegisterClassExA(&windowClass);
        RECT outer = {0, 0, clientWidth, clientHeight};
        AdjustWindowRect(&outer, WS_OVERLAPPEDWINDOW, FALSE);
        parent = CreateWindowExA(0, "KerboPageTest", "page test", WS_OVERLAPPEDWINDOW, 0, 0, outer.right - outer.left,
                                 outer.bottom - outer.top, nullptr, nullptr, instance, nullptr);
        header = CreateDialogParamA(instance, MAKEINTRESOURCEA(IDD_HEADER_BAR), parent, headerBarProc, 0);
        ensureHeaderControls(header, document->quizKind);
        document->headerWindow = header;
        page = CreateDialogParamA(instance, MAKEINTRESOURCEA(IDD_QUIZ_PAGE), parent, quizPageProc, 0);
        document->pageWindow = page;
        RECT client;
        GetClientRect(parent, &client);
        SetWindowPos(header, nullptr, 5, 2, client.right - 11, 49, SWP_NOZORDER);
        SetWindowPos(page, nullptr, 5, 50, client.right - 11, client.bottom - 68, SWP_NOZORDER);
        ShowWindow(parent, SW_SHOWNORMAL);
        ShowWindow(header, SW_SHOWNORMAL);
        ShowWindow(page, SW_SHOWNORMAL);
        SendMessageA(page, WM_VSCROLL, SB_TOP, 0);
        pumpMessages();
    }

    void closePage() {
        if (page) DestroyWindow(page);
        if (header) DestroyWindow(header);
        if (parent) DestroyWindow(parent);
        pumpMessages();
        page = header = parent = nullptr;
        quizDocument = nullptr;
        destroyQuizDocument(document);
        document = nullptr;
    }

    HWND item(int id) const { return GetDlgItem(page, id); }

    // A control's place in the page's client coordinates, and its size.
    PageBox placeOf(int id) const { return placeOfWindow(item(id)); }
    PageBox placeOfWindow(HWND control) const {
        RECT rect = {};
        GetWindowRect(control, &rect);
        POINT corner = {rect.left, rect.top};
        ScreenToClient(page, &corner);
        return PageBox{corner.x, corner.y, rect.right - rect.left, rect.bottom - rect.top};
    }

    std::string text(int id) const { return windowText(item(id)); }
    std::string headerText(int id) const { return windowText(GetDlgItem(header, id)); }

    void type(int fieldId, const char* answer) { SetWindowTextA(item(fieldId), answer); }
    // Types into a field and judges it as leaving it would.
    void answer(int fieldId, const char* typed) {
        type(fieldId, typed);
        evaluateAnswer(document, page, fieldId);
    }

    LRESULT keyUp(int fieldId, WPARAM key) { return SendMessageA(item(fieldId), WM_KEYUP, key, 0xC0000001); }

    ScrollState bar(int which) const {
        SCROLLINFO info = {};
        info.cbSize = sizeof info;
        info.fMask = SIF_ALL;
        GetScrollInfo(page, which, &info);
        return ScrollState{info.nMin, info.nMax, static_cast<int>(info.nPage), info.nPos, info.nTrackPos};
    }

    int clientHeight() const {
        RECT client;
        GetClientRect(page, &client);
        return client.bottom;
    }

    bool visible(int id) const { return IsWindowVisible(item(id)) != FALSE; }
};

#define EXPECT_PLACE(place, X, Y, W, H)     \
    do {                                    \
        const PageBox p_ = (place);         \
        EXPECT_EQ(p_.x, X) << "x";          \
        EXPECT_EQ(p_.y, Y) << "y";          \
        EXPECT_EQ(p_.width, W) << "width";  \
        EXPECT_EQ(p_.height, H) << "height"; \
    } while (0)
