// The player's start-up, main window, message loop and shutdown, run
// in-process: the real start-up code with a quiz package held in memory (or
// the test executable's own resources, which hold no quiz), the real dialogs
// and the real messages.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "package/package_writer.h"
#include "package/quiz_document.h"
#include "package/resource_store.h"
#include "shell/shell.h"
#include "wine_test_support.h"

namespace {

HINSTANCE instance() { return GetModuleHandleA(nullptr); }

using Place = WindowPlace;

RECT windowRect(HWND window) {
    RECT r;
    GetWindowRect(window, &r);
    return r;
}

// Gives the main window the outer size that makes its client area w x h.
void setClientSize(HWND window, int w, int h) {
    RECT outer = windowRect(window);
    RECT client;
    GetClientRect(window, &client);
    SetWindowPos(window, nullptr, 0, 0, (outer.right - outer.left) - client.right + w,
                 (outer.bottom - outer.top) - client.bottom + h, SWP_NOMOVE | SWP_NOZORDER);
}

// The saved-answers file of this test executable, in the current directory.
std::string savedAnswersFile() {
    char name[MAX_PATH];
    executableFileName(name, MAX_PATH);
    std::string file = name;
    return file.substr(0, file.rfind('.')) + ".txt";
}

// A text quiz of twelve questions packaged in memory, as the authoring tool
// stores it in a quiz executable.
class QuizPackage {
public:
    QuizPackage() {
        QuizDocument* quiz = createQuizDocument();
        copyText(quiz->title, kTextCapacity, "Quiz des capitales");
        copyText(quiz->author, kTextCapacity, "Ren\xE9" "e");
        quiz->questionCount = 12;
        for (int n = 1; n <= 12; ++n) appendQuestion(quiz, "Paris", "", "France");
        std::vector<unsigned char> decoded, stored;
        EXPECT_EQ(buildQuestionsBytes(*quiz, &decoded), PackageWriteOk);
        EXPECT_EQ(encodeResource(decoded, true, &stored), PackageWriteOk);
        store_.add(KERBO_TYPE_PATCH, 104, stored.data(), static_cast<uint32_t>(stored.size()));
        EXPECT_EQ(buildCodesBytes(*quiz, &decoded), PackageWriteOk);
        EXPECT_EQ(encodeResource(decoded, true, &stored), PackageWriteOk);
        store_.add(KERBO_TYPE_PATCH, 105, stored.data(), static_cast<uint32_t>(stored.size()));
        unsigned char block[kLinkBlockSize];
        EXPECT_EQ(encodeLinkBlock("kerbo.fr", "Fait avec Kerbo", block), PackageWriteOk);
        store_.setLinkBlock(block, kLinkBlockSize);
        destroyQuizDocument(quiz);
    }
    const ResourceStore* store() const { return &store_; }

private:
    MemoryResourceStore store_;
};

// Runs the player's start-up for a test and undoes everything afterwards,
// including the class registration, so that the next test starts afresh.
class PlayerTest : public ::testing::Test {
protected:
    void SetUp() override { DeleteFileA(savedAnswersFile().c_str()); }

    void start(const ResourceStore* store) {
        setQuizResources(store);
        ASSERT_TRUE(startPlayer(instance(), &main_));
        ASSERT_NE(main_, nullptr);
    }

    void TearDown() override {
        if (main_) {
            if (quizDocument) {
                SendMessageA(main_, WM_CLOSE, 0, 0);
                shutDownPlayer(main_);
            }
            DestroyWindow(main_);
        }
        pumpMessages();  // also takes the WM_QUIT messages posted
        UnregisterClassA("Kerbo", instance());
        setQuizResources(nullptr);
        DeleteFileA(savedAnswersFile().c_str());
    }

    bool hasBox(const char* text) const {
        for (const auto& box : catcher_.caught()) {
            if (box.caption == "Kerbo" && box.text == text) return true;
        }
        return false;
    }

    MessageBoxCatcher catcher_;
    QuizPackage package_;
    HWND main_ = nullptr;
};

TEST_F(PlayerTest, WithoutAQuizTheMainWindowShowsTheDefaultTitleCentred) {
    start(nullptr);  // the test executable's own resources: no questions resource
    EXPECT_TRUE(hasBox("Cles du jeu absentes!"));

    char className[32] = "";
    GetClassNameA(main_, className, sizeof className);
    EXPECT_STREQ(className, "Kerbo");
    EXPECT_EQ(windowText(main_), "Nom du kerbo");
    EXPECT_EQ(static_cast<DWORD>(GetWindowLongA(main_, GWL_STYLE)) & WS_OVERLAPPEDWINDOW, DWORD(WS_OVERLAPPEDWINDOW));
    EXPECT_TRUE(IsWindowVisible(main_));
    RECT outer = windowRect(main_);
    EXPECT_EQ(outer.right - outer.left, 544);
    EXPECT_EQ(outer.bottom - outer.top, 375);
    POINT origin = centredOrigin(windowRect(GetDesktopWindow()), outer);
    EXPECT_EQ(outer.left, origin.x);
    EXPECT_EQ(outer.top, origin.y);
    EXPECT_EQ(reinterpret_cast<HICON>(SendMessageA(main_, WM_GETICON, ICON_BIG, 0)), LoadIconA(nullptr, IDI_QUESTION));
}

TEST_F(PlayerTest, TheQuizGivesTheCaptionTheFooterAndTheScore) {
    start(package_.store());
    EXPECT_TRUE(catcher_.caught().empty());
    EXPECT_EQ(windowText(main_), "Quiz des capitales");
    EXPECT_EQ(windowText(GetDlgItem(main_, FooterLabelId)), "Fait avec Kerbo");
    EXPECT_EQ(windowText(GetDlgItem(headerDialog, ScoreLabelId)), " 0 / 12");
    EXPECT_EQ(windowText(GetDlgItem(headerDialog, CodeFieldId)), "");
    EXPECT_EQ(windowText(GetDlgItem(headerDialog, LinkLabelId)), "kerbo.fr");
}

// What start-up had done when each window was created, seen from a CBT hook.
struct CreationWatch {
    HWND main = nullptr;
    bool quizLoadedBeforeMain = false;
    bool footerBrushBeforeMain = false;
    int headerCreations = 0;
    int pageCreations = 0;
    bool headerReadyBeforePage = false;
    HHOOK hook = nullptr;
};
CreationWatch watch;

LRESULT CALLBACK watchCreations(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_CREATEWND) {
        HWND window = reinterpret_cast<HWND>(wParam);
        const CREATESTRUCTA* create = reinterpret_cast<CBT_CREATEWNDA*>(lParam)->lpcs;
        char className[32] = "";
        GetClassNameA(window, className, sizeof className);
        if (std::strcmp(className, "Kerbo") == 0) {
            watch.main = window;
            watch.quizLoadedBeforeMain =
                quizDocument && std::strcmp(quizDocument->title, "Quiz des capitales") == 0;
            watch.footerBrushBeforeMain = footerBrush != nullptr;
        } else if (std::strcmp(className, "#32770") == 0 && watch.main && create->hwndParent == watch.main) {
            if (create->style & WS_VSCROLL) {
                // The page: the header must be complete, shown and published.
                ++watch.pageCreations;
                HWND header = quizDocument ? quizDocument->headerWindow : nullptr;
                watch.headerReadyBeforePage = header && header == headerDialog &&
                                              (GetWindowLongA(header, GWL_STYLE) & WS_VISIBLE) &&
                                              GetDlgItem(header, ScoreLabelId) != nullptr;
            } else {
                ++watch.headerCreations;
            }
        }
    }
    return CallNextHookEx(watch.hook, code, wParam, lParam);
}

TEST_F(PlayerTest, TheHeaderIsCompleteAndPublishedBeforeThePageIsCreated) {
    watch = CreationWatch();
    watch.hook = SetWindowsHookExA(WH_CBT, watchCreations, nullptr, GetCurrentThreadId());
    start(package_.store());
    UnhookWindowsHookEx(watch.hook);

    EXPECT_EQ(watch.main, main_);
    EXPECT_TRUE(watch.quizLoadedBeforeMain);
    EXPECT_TRUE(watch.footerBrushBeforeMain);
    EXPECT_EQ(watch.headerCreations, 1);
    EXPECT_EQ(watch.pageCreations, 1);
    EXPECT_TRUE(watch.headerReadyBeforePage);
    EXPECT_EQ(quizDocument->headerWindow, headerDialog);
    EXPECT_EQ(quizDocument->pageWindow, pageDialog);
    EXPECT_EQ(GetParent(pageDialog), main_);
    EXPECT_TRUE(IsWindowVisible(pageDialog));
    EXPECT_TRUE(IsWindowVisible(headerDialog));
    EXPECT_EQ(GetScrollPos(pageDialog, SB_VERT), 0);
}

TEST_F(PlayerTest, ChildrenFollowTheClientAreaUnlessMinimised) {
    start(package_.store());
    HWND footer = GetDlgItem(main_, FooterLabelId);
    RECT client;
    GetClientRect(main_, &client);
    // Shown, the window has already laid out its children.
    EXPECT_EQ(placeInParent(headerDialog), (Place{5, 2, client.right - 11, 49}));

    setClientSize(main_, 533, 307);
    GetClientRect(main_, &client);
    ASSERT_EQ(client.right, 533);
    ASSERT_EQ(client.bottom, 307);
    EXPECT_EQ(placeInParent(headerDialog), (Place{5, 2, 522, 49}));
    EXPECT_EQ(placeInParent(pageDialog), (Place{5, 50, 522, 239}));
    EXPECT_EQ(placeInParent(footer), (Place{388, 291, 150, 15}));

    const struct {
        WPARAM kind;
        bool laidOut;
    } cases[] = {{SIZE_MINIMIZED, false}, {SIZE_RESTORED, true}, {SIZE_MAXIMIZED, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.kind);
        for (HWND child : {headerDialog, pageDialog, footer}) {
            SetWindowPos(child, nullptr, 1, 1, 10, 10, SWP_NOZORDER);
        }
        SendMessageA(main_, WM_SIZE, c.kind, MAKELPARAM(533, 307));
        const Place untouched = {1, 1, 10, 10};
        const Place header = {5, 2, 522, 49}, page = {5, 50, 522, 239}, footerPlace = {388, 291, 150, 15};
        EXPECT_EQ(placeInParent(headerDialog), c.laidOut ? header : untouched);
        EXPECT_EQ(placeInParent(pageDialog), c.laidOut ? page : untouched);
        EXPECT_EQ(placeInParent(footer), c.laidOut ? footerPlace : untouched);
    }
}

TEST_F(PlayerTest, OnlyTheFooterLabelGetsTheFooterBrush) {
    start(package_.store());
    LOGBRUSH brush = {};
    ASSERT_NE(GetObjectA(footerBrush, sizeof brush, &brush), 0);
    EXPECT_EQ(brush.lbColor, RGB(212, 208, 200));

    HWND other = CreateWindowExA(0, "Static", "", WS_CHILD, 0, 0, 10, 10, main_,
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(123)), instance(), nullptr);
    HDC dc = GetDC(main_);
    EXPECT_EQ(reinterpret_cast<HBRUSH>(SendMessageA(main_, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                                                    reinterpret_cast<LPARAM>(GetDlgItem(main_, FooterLabelId)))),
              footerBrush);
    EXPECT_EQ(SendMessageA(main_, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(other)),
              0);
    ReleaseDC(main_, dc);
    DestroyWindow(other);
}

TEST_F(PlayerTest, WheelDeltasArePostedToThePageAsWholeSteps) {
    start(package_.store());
    // Each delta and the steps it posts: 240 scrolls twice, 60 + 60 once,
    // 120 - 60 + 120 twice (the -60 is dropped when the direction turns back).
    const struct {
        short delta;
        WPARAM code;
        int steps;
    } cases[] = {{120, 501, 1}, {-120, 500, 1}, {240, 501, 2}, {-240, 500, 2}, {60, 0, 0},
                 {60, 501, 1},  {120, 501, 1},  {-60, 0, 0},   {120, 501, 1},  {-1, 0, 0}};
    pumpMessages();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.delta);
        LRESULT result =
            SendMessageA(main_, WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(c.delta)), MAKELPARAM(600, 500));
        EXPECT_EQ(result, 0);
        MSG message;
        int posted = 0;
        while (PeekMessageA(&message, pageDialog, WM_VSCROLL, WM_VSCROLL, PM_REMOVE)) {
            ++posted;
            EXPECT_EQ(message.wParam, c.code);
            EXPECT_EQ(message.lParam, 0);
        }
        EXPECT_EQ(posted, c.steps);
        EXPECT_FALSE(PeekMessageA(&message, nullptr, WM_VSCROLL, WM_VSCROLL, PM_REMOVE));
    }
}

TEST_F(PlayerTest, ClosingSavesThenEndsTheLoopWithExitCodeZeroAndShutdownFreesAll) {
    start(package_.store());
    HWND field = GetDlgItem(pageDialog, 4001);
    ASSERT_NE(field, nullptr);
    SetWindowTextA(field, "Lisbonne");

    PostMessageA(main_, WM_CLOSE, 0, 0);
    EXPECT_EQ(runMessageLoop(), 0);
    EXPECT_FALSE(IsWindow(pageDialog));
    EXPECT_TRUE(IsWindow(main_));  // the main window stays until the process ends
    EXPECT_TRUE(IsWindow(headerDialog));
    // Saved while the answer fields could still be read.
    std::ifstream saved(savedAnswersFile());
    std::string first;
    std::getline(saved, first);
    EXPECT_EQ(first, "Lisbonne");

    HWND header = headerDialog;
    HBRUSH brush = footerBrush;
    shutDownPlayer(main_);
    EXPECT_FALSE(IsWindow(header));
    EXPECT_EQ(GetObjectType(brush), 0u);
    EXPECT_EQ(footerBrush, nullptr);
    EXPECT_EQ(quizDocument, nullptr);
}

// The controls that took the focus while the loop ran, by id.
std::vector<int> focusedIds;
HHOOK focusHook = nullptr;
LRESULT CALLBACK watchFocus(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_SETFOCUS) focusedIds.push_back(GetDlgCtrlID(reinterpret_cast<HWND>(wParam)));
    return CallNextHookEx(focusHook, code, wParam, lParam);
}

TEST_F(PlayerTest, TheLoopGivesThePageItsDialogKeys) {
    start(package_.store());
    SetFocus(GetDlgItem(pageDialog, 4001));
    focusedIds.clear();
    focusHook = SetWindowsHookExA(WH_CBT, watchFocus, nullptr, GetCurrentThreadId());
    PostMessageA(GetDlgItem(pageDialog, 4001), WM_KEYDOWN, VK_TAB, 0);
    PostMessageA(main_, WM_CLOSE, 0, 0);
    runMessageLoop();
    UnhookWindowsHookEx(focusHook);
    ASSERT_FALSE(focusedIds.empty());
    EXPECT_EQ(focusedIds.front(), 4002);  // Tab: the next answer field
}

TEST_F(PlayerTest, SauverSavesTheAnswers) {
    start(package_.store());
    SetWindowTextA(GetDlgItem(pageDialog, 4001), "Lisbonne");
    SendMessageA(headerDialog, WM_COMMAND, SaveButtonId, reinterpret_cast<LPARAM>(GetDlgItem(headerDialog, SaveButtonId)));
    std::ifstream saved(savedAnswersFile());
    std::string first;
    std::getline(saved, first);
    EXPECT_EQ(first, "Lisbonne");
}

// The saved-answers file held open by another program that shares nothing:
// it can be neither replaced nor written while this object lives.
class HeldFile {
public:
    explicit HeldFile(const std::string& name) {
        std::ofstream(name, std::ios::binary) << "ancienne\r\n";
        handle_ = CreateFileA(name.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        EXPECT_NE(handle_, INVALID_HANDLE_VALUE);
    }
    ~HeldFile() { release(); }
    HeldFile(const HeldFile&) = delete;
    HeldFile& operator=(const HeldFile&) = delete;
    void release() {
        if (handle_ != INVALID_HANDLE_VALUE) CloseHandle(handle_);
        handle_ = INVALID_HANDLE_VALUE;
    }

private:
    HANDLE handle_ = INVALID_HANDLE_VALUE;
};

std::string firstSavedLine() {
    std::ifstream saved(savedAnswersFile(), std::ios::binary);
    std::string first;
    std::getline(saved, first);
    return first;
}

const char kNotSaved[] = "Les r\xE9ponses n'ont pas pu \xEAtre enregistr\xE9" "es dans kerbo-wintest-shell.txt.";

TEST_F(PlayerTest, LogOffAndShutdownSaveTheAnswers) {
    start(package_.store());
    SetWindowTextA(GetDlgItem(pageDialog, 4001), "Lisbonne");
    EXPECT_EQ(SendMessageA(main_, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF), TRUE);
    EXPECT_EQ(firstSavedLine(), "Lisbonne\r");
    SetWindowTextA(GetDlgItem(pageDialog, 4001), "Madrid");
    SendMessageA(main_, WM_ENDSESSION, FALSE, 0);  // the session goes on: nothing written
    EXPECT_EQ(firstSavedLine(), "Lisbonne\r");
    SendMessageA(main_, WM_ENDSESSION, TRUE, 0);
    EXPECT_EQ(firstSavedLine(), "Madrid\r");
    EXPECT_TRUE(catcher_.caught().empty());
    EXPECT_TRUE(IsWindow(pageDialog));
}

TEST_F(PlayerTest, ASaveThatWritesNothingIsReported) {
    start(package_.store());
    SetWindowTextA(GetDlgItem(pageDialog, 4001), "Lisbonne");
    HeldFile held(savedAnswersFile());
    SendMessageA(headerDialog, WM_COMMAND, SaveButtonId, 0);
    SendMessageA(GetDlgItem(pageDialog, 4001), WM_KEYUP, VK_F2, 0xC0000001);
    ASSERT_EQ(catcher_.caught().size(), 2u);
    for (const auto& box : catcher_.caught()) {
        EXPECT_EQ(box.caption, "Kerbo");
        EXPECT_EQ(box.text, kNotSaved);
    }
    held.release();
    SendMessageA(headerDialog, WM_COMMAND, SaveButtonId, 0);
    EXPECT_EQ(catcher_.caught().size(), 2u);
    EXPECT_EQ(firstSavedLine(), "Lisbonne\r");
}

TEST_F(PlayerTest, AReadOnlyFileGetsTheAnswersOrTheMessage) {
    start(package_.store());
    SetWindowTextA(GetDlgItem(pageDialog, 4001), "Lisbonne");
    std::ofstream(savedAnswersFile(), std::ios::binary) << "ancienne\r\n";
    ASSERT_TRUE(SetFileAttributesA(savedAnswersFile().c_str(), FILE_ATTRIBUTE_READONLY));
    SendMessageA(headerDialog, WM_COMMAND, SaveButtonId, 0);
    const bool written = firstSavedLine() == "Lisbonne\r";
    std::printf("[ path     ] read-only file: %s\n", written ? "answers written" : "message shown");
    EXPECT_EQ(catcher_.caught().size(), written ? 0u : 1u);
    if (!written) {
        EXPECT_EQ(catcher_.caught()[0].text, kNotSaved);
    }
    SetFileAttributesA(savedAnswersFile().c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileA((savedAnswersFile() + ".tmp").c_str());
}

TEST_F(PlayerTest, ClosingWhenNothingCanBeWrittenAsksFirst) {
    start(package_.store());
    SetWindowTextA(GetDlgItem(pageDialog, 4001), "Lisbonne");
    HeldFile held(savedAnswersFile());
    // No: the window and the page stay as they were.
    catcher_.answerWith(IDNO);
    EXPECT_EQ(SendMessageA(main_, WM_CLOSE, 0, 0), 0);
    ASSERT_EQ(catcher_.caught().size(), 1u);
    EXPECT_EQ(catcher_.caught()[0].text, std::string(kNotSaved) + " Fermer quand m\xEAme ?");
    EXPECT_TRUE(IsWindow(pageDialog));
    EXPECT_EQ(windowText(GetDlgItem(pageDialog, 4001)), "Lisbonne");
    MSG message;
    EXPECT_FALSE(PeekMessageA(&message, nullptr, WM_QUIT, WM_QUIT, PM_NOREMOVE));
    // Yes: it closes.
    catcher_.answerWith(IDYES);
    PostMessageA(main_, WM_CLOSE, 0, 0);
    EXPECT_EQ(runMessageLoop(), 0);
    EXPECT_EQ(catcher_.caught().size(), 2u);
    EXPECT_FALSE(IsWindow(pageDialog));
    held.release();
    DeleteFileA((savedAnswersFile() + ".tmp").c_str());
}

TEST_F(PlayerTest, AClassThatCannotBeRegisteredEndsStartUpWithAMessage) {
    ASSERT_TRUE(registerMainWindowClass(instance()));  // taken already
    setQuizResources(package_.store());
    EXPECT_FALSE(startPlayer(instance(), &main_));
    EXPECT_EQ(main_, nullptr);
    ASSERT_EQ(catcher_.caught().size(), 1u);
    EXPECT_EQ(catcher_.caught()[0].caption, "Kerbo");
    EXPECT_EQ(catcher_.caught()[0].text, "Erreur dans la cr\xE9" "ation de la fen\xEAtre principale");
    EXPECT_EQ(footerBrush, nullptr);
    EXPECT_EQ(quizDocument, nullptr);
}

TEST(MainWindowClass, IsRegisteredWithItsMembers) {
    ASSERT_TRUE(registerMainWindowClass(instance()));
    WNDCLASSEXA info = {};
    info.cbSize = sizeof info;
    ASSERT_TRUE(GetClassInfoExA(instance(), "Kerbo", &info));
    EXPECT_EQ(info.style, UINT(CS_DBLCLKS));
    EXPECT_EQ(info.lpfnWndProc, mainWindowProc);
    EXPECT_EQ(info.cbClsExtra, 0);
    EXPECT_EQ(info.cbWndExtra, 0);
    EXPECT_EQ(info.hIcon, LoadIconA(nullptr, IDI_APPLICATION));
    EXPECT_EQ(info.hCursor, LoadCursorA(nullptr, IDC_ARROW));
    EXPECT_EQ(info.hbrBackground, reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_SCROLLBAR + 1)));
    EXPECT_EQ(info.lpszMenuName, nullptr);
    UnregisterClassA("Kerbo", instance());
}

TEST(CentredOrigin, DividesTowardZeroAsSignedNumbers) {
    const struct {
        RECT desktop;
        RECT window;
        POINT origin;
    } cases[] = {
        {{0, 0, 1280, 1024}, {0, 0, 544, 375}, {368, 324}},
        {{0, 0, 1024, 768}, {10, 20, 554, 395}, {240, 196}},
        {{100, 50, 1380, 1074}, {0, 0, 544, 375}, {468, 374}},  // a desktop not at 0,0
        {{0, 0, 500, 300}, {0, 0, 544, 375}, {-22, -37}},       // smaller than the window
    };
    for (const auto& c : cases) {
        POINT origin = centredOrigin(c.desktop, c.window);
        EXPECT_EQ(origin.x, c.origin.x);
        EXPECT_EQ(origin.y, c.origin.y);
    }
}

}  // namespace
