// The table of character widths and text places that kerbo-pack check uses
// (tools/kerbo_pack/text_widths.h), measured again under the platform: the
// player's header bar and page controls are made for real, their fonts and
// client rectangles read, and GetCharWidth32A asked for every code page 1252
// character. On a difference the fresh table is printed in source form.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "package/quiz_document.h"
#include "resources/resource_ids.h"
#include "shell/shell.h"
#include "tools/kerbo_pack/text_widths.h"
#include "wine_test_support.h"

namespace {

struct Measured {
    int height;
    int widths[224];
};

Measured measureFont(HFONT font) {
    Measured m = {};
    HDC dc = GetDC(nullptr);
    HGDIOBJ old = SelectObject(dc, font);
    TEXTMETRICA metrics = {};
    GetTextMetricsA(dc, &metrics);
    m.height = metrics.tmHeight;
    GetCharWidth32A(dc, 0x20, 0xFF, m.widths);
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
    return m;
}

std::string sourceOf(const char* name, const Measured& m) {
    std::string out = std::string("    {\"") + name + "\", " + std::to_string(m.height) + ",\n     {";
    for (int i = 0; i < 224; ++i) {
        out += std::to_string(m.widths[i]) + (i == 223 ? "}},\n" : (i % 16 == 15 ? ",\n      " : ", "));
    }
    return out;
}

int clientWidth(HWND window) {
    RECT r = {};
    GetClientRect(window, &r);
    return r.right - r.left;
}
int clientHeight(HWND window) {
    RECT r = {};
    GetClientRect(window, &r);
    return r.bottom - r.top;
}

class TextWidthsTest : public ::testing::Test {
protected:
    void SetUp() override {
        document_ = createQuizDocument();
        ASSERT_NE(document_, nullptr);
        document_->quizKind = QuizKindPicture;
        document_->answersPerQuestion = 1;
        quizDocument = document_;
        parent_ = CreateWindowExA(0, "Static", "", WS_OVERLAPPEDWINDOW, 0, 0, 1000, 200, nullptr, nullptr,
                                  GetModuleHandleA(nullptr), nullptr);
        header_ = CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_HEADER_BAR), parent_,
                                     headerBarProc, 0);
        ASSERT_NE(header_, nullptr);
        // The header's outer size in a main window at its first size (544 x
        // 375 outside, a client area 533 pixels wide).
        SetWindowPos(header_, nullptr, 5, 2, 522, 49, SWP_NOZORDER);
        pumpMessages();
        createAnswerFont(document_);
    }
    void TearDown() override {
        DestroyWindow(parent_);
        pumpMessages();
        quizDocument = nullptr;
        destroyQuizDocument(document_);
    }

    // A label made with the page's style and size, to read its client area.
    HWND label(int width, int height, DWORD style) {
        return CreateWindowExA(0, "Static", "", WS_CHILD | WS_VISIBLE | style, 0, 60, width, height, parent_, nullptr,
                               GetModuleHandleA(nullptr), nullptr);
    }

    QuizDocument* document_ = nullptr;
    HWND parent_ = nullptr;
    HWND header_ = nullptr;
};

TEST_F(TextWidthsTest, TheTableIsWhatThePlatformMeasures) {
    HFONT fonts[kTextFontCount] = {
        static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT)),
        reinterpret_cast<HFONT>(SendMessageA(GetDlgItem(header_, 29), WM_GETFONT, 0, 0)),
        reinterpret_cast<HFONT>(SendMessageA(GetDlgItem(header_, 24), WM_GETFONT, 0, 0)),
        document_->answerFont,
    };
    const char* names[kTextFontCount] = {"DEFAULT_GUI_FONT", "titleFont", "link font", "answerFont"};
    std::string fresh;
    bool same = true;
    for (int f = 0; f < kTextFontCount; ++f) {
        ASSERT_NE(fonts[f], nullptr) << names[f];
        const Measured m = measureFont(fonts[f]);
        fresh += sourceOf(names[f], m);
        same = same && m.height == kTextFontWidths[f].height;
        for (int i = 0; i < 224; ++i) same = same && m.widths[i] == kTextFontWidths[f].widths[i];
    }
    EXPECT_TRUE(same) << "measured under this platform:\n" << fresh;

    // The places: the header's controls as the player makes them, the
    // page's labels with the page's styles.
    RECT code = {};
    SendMessageA(GetDlgItem(header_, 30), EM_GETRECT, 0, reinterpret_cast<LPARAM>(&code));
    const struct {
        const char* key;
        int width, height;
    } places[] = {
        {"code", code.right - code.left, code.bottom - code.top},
        {"title", clientWidth(GetDlgItem(header_, 29)), clientHeight(GetDlgItem(header_, 29))},
        {"author", clientWidth(GetDlgItem(header_, 26)), clientHeight(GetDlgItem(header_, 26))},
        {"link", clientWidth(GetDlgItem(header_, 24)), clientHeight(GetDlgItem(header_, 24))},
        {"explanation", clientWidth(GetDlgItem(header_, 28)), clientHeight(GetDlgItem(header_, 28))},
        {"footer", clientWidth(label(150, 15, 0)), 15},
        {"first-answer-label", clientWidth(label(95, 20, 0)), 20},
        {"clue", clientWidth(label(260, 65, SS_CENTER)), 65},
        {"prompt", clientWidth(label(550, 20, WS_BORDER | SS_CENTERIMAGE | SS_CENTER)),
         clientHeight(label(550, 20, WS_BORDER | SS_CENTERIMAGE | SS_CENTER))},
    };
    for (const auto& p : places) {
        const TextPlace* place = findTextPlace(p.key);
        ASSERT_NE(place, nullptr) << p.key;
        EXPECT_EQ(place->width, p.width) << p.key;
        EXPECT_EQ(place->height, p.height) << p.key;
    }
}

// A text's width is the sum of its characters' widths, as the platform
// measures the whole text (the fonts have no kerning that changes it).
TEST_F(TextWidthsTest, TextWidthIsTheSumOfCharacterWidths) {
    const char* texts[] = {"P\xC2QUES-3", "Le quiz des capitales d'Europe", "\xC9t\xE9 \x80 \x85 \xAB \xBB"};
    HFONT font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    HDC dc = GetDC(nullptr);
    HGDIOBJ old = SelectObject(dc, font);
    for (const char* text : texts) {
        SIZE size = {};
        GetTextExtentPoint32A(dc, text, lstrlenA(text), &size);
        EXPECT_EQ(textWidth(FontGui, text), size.cx) << text;
    }
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
}

}  // namespace
