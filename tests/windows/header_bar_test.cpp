// The header bar: its controls, their places before and after a resize,
// its colours and its commands, on a real dialog from template 1002.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "package/quiz_document.h"
#include "resources/resource_ids.h"
#include "shell/gdi_win32.h"
#include "gdi_object_recorder.h"
#include "shell/shell.h"
#include "wine_test_support.h"

#include <objbase.h>

namespace {

using Place = WindowPlace;

COLORREF brushColour(HGDIOBJ brush) {
    LOGBRUSH description = {};
    GetObjectA(brush, sizeof description, &description);
    return description.lbColor;
}

// A header bar in a plain top-level window, for a document described by the
// test. The document is the process-wide one while the test runs.
class HeaderBarTest : public ::testing::Test {
protected:
    void SetUp() override {
        document_ = createQuizDocument();
        ASSERT_NE(document_, nullptr);
        copyText(document_->title, kTextCapacity, "Quiz des capitales");
        copyText(document_->author, kTextCapacity, "Ren\xE9" "e");
        copyText(document_->explanation, kTextCapacity, "Trouvez la capitale de chaque pays");
        copyText(document_->linkText, kLinkTextCapacity, "kerbo-link.bat");
        document_->questionCount = 12;
        quizDocument = document_;
    }

    void TearDown() override {
        if (parent_) DestroyWindow(parent_);
        pumpMessages();
        quizDocument = nullptr;
        destroyQuizDocument(document_);
    }

    void createHeader(int quizKind, int answersPerQuestion) {
        document_->quizKind = quizKind;
        document_->answersPerQuestion = answersPerQuestion;
        parent_ = CreateWindowExA(0, "Static", "", WS_OVERLAPPEDWINDOW, 0, 0, 1000, 200, nullptr, nullptr,
                                  GetModuleHandleA(nullptr), nullptr);
        header_ = CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_HEADER_BAR), parent_,
                                     headerBarProc, 0);
        ASSERT_NE(header_, nullptr);
    }

    // Gives the header the outer size it has in a main window whose client
    // area is 533 pixels wide.
    void resizeHeader() { SetWindowPos(header_, nullptr, 5, 2, 522, 49, SWP_NOZORDER); }

    HWND control(int id) const { return GetDlgItem(header_, id); }

    QuizDocument* document_ = nullptr;
    HWND parent_ = nullptr;
    HWND header_ = nullptr;
};

std::vector<int> childIds(HWND parent) {
    std::vector<int> ids;
    for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        ids.push_back(GetDlgCtrlID(child));
    }
    return ids;
}

TEST_F(HeaderBarTest, CreatesItsControlsInOrderWithTheBoxOnlyInAPictureQuiz) {
    const std::vector<int> withoutBox = {24, 25, 26, 27, 28, 29, 31, 32, 30, 120, 121, 122};
    const std::vector<int> withBox = {24, 25, 26, 33, 27, 28, 29, 31, 32, 30, 120, 121, 122};
    const struct {
        int kind;
        const std::vector<int>* ids;
    } cases[] = {{QuizKindText, &withoutBox}, {QuizKindPicture, &withBox}, {QuizKindAudio, &withoutBox},
                 {QuizKindVideo, &withoutBox}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.kind);
        createHeader(c.kind, 1);
        EXPECT_EQ(childIds(header_), *c.ids);
        DestroyWindow(parent_);
        parent_ = nullptr;
    }
}

TEST_F(HeaderBarTest, ControlsHaveTheirClassesTextsStylesAndPlaces) {
    createHeader(QuizKindPicture, 1);
    const DWORD child = WS_CHILD | WS_VISIBLE;
    const struct {
        int id;
        const char* className;
        const char* text;
        DWORD style;
        Place place;
    } cases[] = {
        // The labels of quiz texts show an "&" as typed.
        {24, "Static", "kerbo-link.bat", child | SS_NOTIFY | SS_NOPREFIX, {736, 5, 115, 18}},
        {25, "Static", "Par :", child, {736, 25, 27, 18}},
        {26, "Static", "Ren\xE9" "e", child | SS_NOPREFIX, {763, 25, 85, 18}},
        {33, "Button", "Cacher", child | BS_AUTOCHECKBOX, {666, 5, 65, 18}},
        {27, "Button", "Sauver", child | BS_PUSHBUTTON, {666, 25, 55, 18}},
        {28, "Static", "Trouvez la capitale de chaque pays", child | SS_NOPREFIX, {110, 19, 490, 27}},
        {29, "Static", "Quiz des capitales", child | SS_NOPREFIX, {110, 3, 190, 18}},
        {31, "Static", " Code :", child, {7, 29, 36, 15}},
        {32, "Static", " 0 / 12", child | SS_CENTER, {10, 1, 80, 20}},
        {30, "Edit", "", child | ES_READONLY, {44, 29, 53, 16}},
        {120, "Static", "", child | WS_BORDER, {0, 26, 100, 1}},
        {121, "Static", "", child | WS_BORDER, {100, 0, 1, 50}},
        {122, "Static", "", child | WS_BORDER, {730, 0, 1, 50}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.id);
        HWND window = control(c.id);
        ASSERT_NE(window, nullptr);
        char className[32] = "";
        GetClassNameA(window, className, sizeof className);
        EXPECT_STREQ(className, c.className);
        EXPECT_EQ(windowText(window), c.text);
        const DWORD style = static_cast<DWORD>(GetWindowLongA(window, GWL_STYLE));
        EXPECT_EQ(style & c.style, c.style);
        if (std::string(c.className) == "Button") {
            EXPECT_EQ(style & BS_TYPEMASK, c.style & BS_TYPEMASK);
        }
        EXPECT_EQ(GetWindowLongA(window, GWL_EXSTYLE) & ~WS_EX_NOPARENTNOTIFY, 0);
        EXPECT_EQ(placeInParent(window), c.place);
    }
}

TEST_F(HeaderBarTest, ControlsHaveTheirFonts) {
    createHeader(QuizKindPicture, 1);
    auto fontOf = [this](int id) {
        return reinterpret_cast<HGDIOBJ>(SendMessageA(control(id), WM_GETFONT, 0, 0));
    };
    for (int id : {25, 26, 33, 27, 28, 31, 30}) {
        EXPECT_EQ(fontOf(id), GetStockObject(DEFAULT_GUI_FONT)) << id;
    }
    EXPECT_EQ(fontOf(29), document_->titleFont);
    EXPECT_EQ(fontOf(32), document_->scoreFont);

    // The link: underlined, three quarters of the label's 18 pixels high.
    LOGFONTA link = {};
    ASSERT_NE(GetObjectA(fontOf(24), sizeof link, &link), 0);
    EXPECT_EQ(link.lfHeight, -13);
    EXPECT_EQ(link.lfWeight, 400);
    EXPECT_EQ(link.lfUnderline, 1);
    EXPECT_EQ(link.lfItalic, 0);
    EXPECT_STREQ(link.lfFaceName, "");

    // The hand is the cursor of the whole "Static" class.
    HCURSOR hand = LoadCursorA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDC_LINK_HAND));
    ASSERT_NE(hand, nullptr);
    EXPECT_EQ(reinterpret_cast<HCURSOR>(GetClassLongPtrA(control(24), GCLP_HCURSOR)), hand);
}

// After a resize the right-hand block follows the right edge (client width
// 520 here), the title and explanation stretch, the score block stays.
TEST_F(HeaderBarTest, RightHandControlsFollowTheRightEdge) {
    const struct {
        int id;
        Place place;
    } common[] = {
        {29, {110, 3, 170, 18}},  {24, {386, 0, 115, 18}}, {25, {386, 25, 26, 18}},  {26, {413, 25, 105, 18}},
        {27, {316, 25, 55, 18}},  {28, {110, 19, 196, 28}}, {122, {375, 0, 1, 50}},   {30, {44, 29, 53, 16}},
        {31, {7, 29, 36, 15}},    {32, {10, 1, 80, 20}},    {120, {0, 26, 100, 1}},   {121, {100, 0, 1, 50}},
    };
    const struct {
        int answersPerQuestion;
        Place box;
    } cases[] = {{1, {286, 0, 85, 18}}, {2, {666, 5, 65, 18}}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.answersPerQuestion);
        createHeader(QuizKindPicture, c.answersPerQuestion);
        resizeHeader();
        RECT client;
        GetClientRect(header_, &client);
        ASSERT_EQ(client.right, 520);
        for (const auto& expected : common) EXPECT_EQ(placeInParent(control(expected.id)), expected.place) << expected.id;
        EXPECT_EQ(placeInParent(control(HideSolvedBoxId)), c.box);
        DestroyWindow(parent_);
        parent_ = nullptr;
    }
}

TEST_F(HeaderBarTest, LabelsBoxAndCodeFieldAreDrawnOnTheHeaderBrush) {
    createHeader(QuizKindPicture, 1);
    HBRUSH dialogBrush = reinterpret_cast<HBRUSH>(SendMessageA(header_, WM_CTLCOLORDLG, 0, 0));
    ASSERT_NE(dialogBrush, nullptr);
    EXPECT_EQ(brushColour(dialogBrush), RGB(128, 128, 255));

    const COLORREF unchanged = RGB(1, 2, 3);  // what the test sets before each request
    const struct {
        int id;
        bool onHeaderBrush;
        COLORREF text;
    } cases[] = {
        {24, true, RGB(50, 50, 255)}, {25, true, unchanged},  {26, true, unchanged},   {28, true, unchanged},
        {29, true, unchanged},        {30, true, unchanged},  {31, true, unchanged},   {32, true, unchanged},
        {33, true, unchanged},        {120, false, unchanged}, {121, false, unchanged}, {122, false, unchanged},
    };
    MemoryDC dc(nullptr);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.id);
        SetTextColor(dc.get(), unchanged);
        SetBkMode(dc.get(), OPAQUE);
        LRESULT brush = SendMessageA(header_, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc.get()),
                                     reinterpret_cast<LPARAM>(control(c.id)));
        if (c.onHeaderBrush) {
            EXPECT_EQ(reinterpret_cast<HBRUSH>(brush), dialogBrush);
            EXPECT_EQ(GetBkMode(dc.get()), TRANSPARENT);
            EXPECT_EQ(GetTextColor(dc.get()), c.text);
        } else {
            // Left to the dialog manager: the system's colours.
            EXPECT_NE(reinterpret_cast<HBRUSH>(brush), dialogBrush);
            EXPECT_EQ(GetTextColor(dc.get()), GetSysColor(COLOR_WINDOWTEXT));
        }
    }
}

TEST_F(HeaderBarTest, DestroyingTheHeaderDeletesItsBrushAndLinkFont) {
    GdiObjectRecorder recorder;
    ASSERT_TRUE(recorder.active());
    createHeader(QuizKindText, 1);
    HGDIOBJ brush = reinterpret_cast<HGDIOBJ>(SendMessageA(header_, WM_CTLCOLORDLG, 0, 0));
    HGDIOBJ linkFont = reinterpret_cast<HGDIOBJ>(SendMessageA(control(24), WM_GETFONT, 0, 0));
    ASSERT_NE(GetObjectType(brush), 0u);
    ASSERT_NE(GetObjectType(linkFont), 0u);
    DestroyWindow(header_);
    EXPECT_EQ(GetObjectType(brush), 0u);
    EXPECT_EQ(GetObjectType(linkFont), 0u);
    EXPECT_GE(recorder.created(), 2);
    EXPECT_TRUE(recorder.alive().empty()) << recorder.alive().size() << " GDI objects left";
}

TEST_F(HeaderBarTest, CodeFieldCannotBeTypedInto) {
    createHeader(QuizKindText, 1);
    HWND field = control(CodeFieldId);
    SetWindowTextA(field, "CAPITALE");
    SendMessageA(field, WM_CHAR, 'x', 0);
    SendMessageA(field, WM_CHAR, VK_BACK, 0);
    EXPECT_EQ(windowText(field), "CAPITALE");
    // It can still be selected, for copying.
    SendMessageA(field, EM_SETSEL, 0, -1);
    DWORD start = 0, end = 0;
    SendMessageA(field, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    EXPECT_EQ(end - start, 8u);
}

// The lines appended to the log by the batch file the link names, waiting
// up to timeoutMs for at least `atLeast` of them.
int linkRuns(const char* log, int atLeast, int timeoutMs) {
    int lines = 0;
    for (int waited = 0;; waited += 100) {
        std::ifstream in(log);
        std::string line;
        lines = 0;
        while (std::getline(in, line)) ++lines;
        if (lines >= atLeast || waited >= timeoutMs) return lines;
        Sleep(100);
    }
}

// The link text names a batch file in the current directory; opening it
// with the shell runs it, and it leaves one line in a log each time.
TEST_F(HeaderBarTest, OnlyAClickOpensTheLinkOnce) {
    const char* log = "kerbo-link.log";
    std::remove(log);
    {
        std::ofstream batch("kerbo-link.bat");
        batch << "@echo opened>>" << log << "\r\n";
    }
    createHeader(QuizKindText, 1);
    // Notifications other than a click: a double click, focus changes.
    for (WORD code : {WORD(STN_DBLCLK), WORD(STN_ENABLE), WORD(STN_DISABLE)}) {
        SendMessageA(header_, WM_COMMAND, MAKEWPARAM(LinkLabelId, code), reinterpret_cast<LPARAM>(control(24)));
    }
    SendMessageA(header_, WM_COMMAND, MAKEWPARAM(LinkLabelId, STN_CLICKED), reinterpret_cast<LPARAM>(control(24)));
    ASSERT_EQ(linkRuns(log, 1, 20000), 1) << "the click did not open the link";
    // COM, initialised around the shell call, is given back: the thread can
    // still take any apartment.
    const HRESULT com = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    EXPECT_EQ(com, S_OK);
    if (SUCCEEDED(com)) CoUninitialize();
    // Give any wrongly started run the time to show up.
    EXPECT_EQ(linkRuns(log, 2, 3000), 1);
    std::remove(log);
    std::remove("kerbo-link.bat");
}

}  // namespace
