// The answer fields' keyboard: focus, Enter, Tab into view, scrolling keys,
// F1 and F2, on key release and with Alt on key press.
#include "page_test_fixture.h"

namespace {

QuizSetup capitals() {
    QuizSetup setup = quizSetup(
        QuizKindText, {{"Paris", "", "", ""}, {"Rome", "", "", ""}, {"Berne", "", "", ""}, {"Madrid", "", "", ""}});
    return setup;
}

DWORD selection(HWND field) { return static_cast<DWORD>(SendMessageA(field, EM_GETSEL, 0, 0)); }

}  // namespace

class PageKeys : public PageTest {
protected:
    // The field is wholly inside the page's client area.
    bool fieldInView(int id) const {
        RECT field, client;
        GetWindowRect(item(id), &field);
        GetClientRect(page, &client);
        POINT topLeft = {0, 0};
        ClientToScreen(page, &topLeft);
        return field.top >= topLeft.y && field.bottom <= topLeft.y + client.bottom;
    }

    // The field and its verdict label are wholly inside the page's client area.
    bool wholeInView(int fieldId) const {
        RECT client;
        GetClientRect(page, &client);
        for (int id : {fieldId, fieldId + 1000}) {
            const PageBox place = placeOf(id);
            if (place.x < 0 || place.y < 0 || place.x + place.width > client.right ||
                place.y + place.height > client.bottom)
                return false;
        }
        return true;
    }

    void scrollTo(int position) {
        scrollTarget = position;
        SendMessageA(page, WM_VSCROLL, SCROLL_TO_TARGET, 0);
    }

    // Tab pressed in the focused field: the dialog navigation moves the focus,
    // then the release reaches the field that has it now.
    HWND pressTab() {
        MSG message = {GetFocus(), WM_KEYDOWN, VK_TAB, 0x000F0001, 0, {0, 0}};
        IsDialogMessageA(page, &message);
        HWND focused = GetFocus();
        SendMessageA(focused, WM_KEYUP, VK_TAB, 0xC00F0001);
        return focused;
    }
};

TEST_F(PageKeys, FocusSelectsTheWholeText) {
    openPage(capitals());
    type(4002, "Romulus");
    SetFocus(item(4002));
    EXPECT_EQ(selection(item(4002)), MAKELONG(0, 7));
}

TEST_F(PageKeys, LeavingAFieldJudgesIt) {
    openPage(capitals());
    SetFocus(item(4001));
    type(4001, "paris");
    EXPECT_EQ(text(5001), "?");
    SetFocus(item(4002));
    EXPECT_EQ(text(5001), "BRAVO");
    EXPECT_EQ(headerText(32), " 1 / 4");
}

TEST_F(PageKeys, EnterJudgesInPlaceAndInsertsNothing) {
    openPage(capitals());
    SetFocus(item(4003));
    type(4003, "Bern");
    EXPECT_EQ(keyUp(4003, VK_RETURN), 1);
    EXPECT_EQ(text(5003), "Quasiment");
    EXPECT_EQ(GetFocus(), item(4003));
    for (WPARAM character : {WPARAM(13), WPARAM(9), WPARAM(0)}) {
        EXPECT_EQ(SendMessageA(item(4003), WM_CHAR, character, 1), 0);
        EXPECT_EQ(text(4003), "Bern");
    }
    SendMessageA(item(4003), EM_SETSEL, 4, 4);
    SendMessageA(item(4003), WM_CHAR, 'e', 1);
    EXPECT_EQ(text(4003), "Berne");
}

TEST_F(PageKeys, KeysActOnReleaseOrWithAlt) {
    openPage(capitals());
    SetFocus(item(4001));
    type(4001, "Paris");
    // Pressing without Alt does nothing: the action waits for the release.
    SendMessageA(item(4001), WM_KEYDOWN, VK_RETURN, 1);
    SendMessageA(item(4001), WM_KEYDOWN, VK_F2, 1);
    EXPECT_EQ(text(5001), "?");
    EXPECT_EQ(GetFileAttributesA(savedFileName().c_str()), INVALID_FILE_ATTRIBUTES);

    SendMessageA(item(4001), WM_SYSKEYDOWN, VK_F2, 0x20000001);
    EXPECT_EQ(readSavedFile(), "Paris\r\n\r\n\r\n\r\n");
    EXPECT_EQ(GetFocus(), item(4001));
    SendMessageA(item(4001), WM_SYSKEYDOWN, VK_F1, 0x20000001);
    EXPECT_EQ(text(4004), "Paris");
    EXPECT_EQ(text(5001), "BRAVO");
    EXPECT_EQ(text(5004), "FAUX");
}

TEST_F(PageKeys, PageAndArrowKeysScroll) {
    QuizSetup setup = quizSetup(QuizKindText, numberedQuestions(40));
    openPage(setup);
    const int step = bar(SB_VERT).page;
    SetFocus(item(4001));
    const struct {
        WPARAM key;
        int position;
    } keys[] = {{VK_NEXT, step}, {VK_DOWN, 2 * step}, {VK_UP, step}, {VK_PRIOR, 0}, {VK_UP, 0}};
    for (const auto& key : keys) {
        SCOPED_TRACE(key.key);
        keyUp(4001, key.key);
        EXPECT_EQ(bar(SB_VERT).position, key.position);
    }
    SendMessageA(item(4001), WM_SYSKEYDOWN, VK_NEXT, 0x20000001);
    EXPECT_EQ(bar(SB_VERT).position, step);
}

TEST_F(PageKeys, F1FillsEveryUnsolvedField) {
    openPage(capitals());
    answer(4002, "Rome");
    answer(4003, "Zurich");
    type(4004, "Lisbonne");
    SetFocus(item(4004));
    type(4004, "Rome");
    keyUp(4004, VK_F1);
    EXPECT_EQ(text(4001), "Rome");
    EXPECT_EQ(text(4002), "Rome");
    EXPECT_EQ(text(4003), "Rome");
    EXPECT_EQ(text(4004), "Rome");
    EXPECT_EQ(text(5001), "FAUX");
    EXPECT_EQ(text(5002), "BRAVO");
    EXPECT_EQ(text(5003), "FAUX");
    EXPECT_EQ(text(5004), "FAUX");
    EXPECT_EQ(GetFocus(), item(4004));
    EXPECT_EQ(headerText(32), " 1 / 4");
    // The focus came back to the field: it is in view with its verdict
    // (the page had not scrolled, the fields at x 610 were out of view).
    EXPECT_TRUE(wholeInView(4004));

    // An empty field empties every unsolved one.
    type(4001, "");
    SetFocus(item(4001));
    keyUp(4001, VK_F1);
    EXPECT_EQ(text(4002), "Rome");
    for (int id : {4001, 4003, 4004}) {
        EXPECT_EQ(text(id), "");
        EXPECT_EQ(text(id + 1000), "?");
    }
}

TEST_F(PageKeys, F2SavesAtOnce) {
    openPage(capitals());
    SetFocus(item(4002));
    type(4002, "Rome");
    type(4004, "Mad\xE9rid");
    keyUp(4002, VK_F2);
    EXPECT_EQ(readSavedFile(), "\r\nRome\r\n\r\nMad\xE9rid\r\n");
    EXPECT_EQ(GetFocus(), item(4002));
}

TEST_F(PageKeys, TabBringsTheFieldIntoViewFromAnyScrollPosition) {
    QuizSetup setup = quizSetup(QuizKindText, numberedQuestions(60));  // 1505 pixels high
    openPage(setup);
    const int largest = 1505 - clientHeight();
    const int positions[] = {0, 137, 600, 1000, largest};
    for (int position : positions) {
        SCOPED_TRACE(position);
        // Forward: Tab from the field before the first one not wholly in
        // view below (partly hidden counts, behind the scroll bar too).
        scrollTo(position);
        int below = 2;
        while (below <= 60 && placeOf(4000 + below).y + 20 <= clientHeight()) ++below;
        if (below <= 60) {
            SetFocus(item(4000 + below - 1));
            ASSERT_EQ(pressTab(), item(4000 + below));
            EXPECT_TRUE(fieldInView(4000 + below));
        }
        // Back: the last field not wholly in view above, reached by Shift+Tab.
        scrollTo(position);
        int above = 60;
        while (above >= 1 && placeOf(4000 + above).y >= 0) --above;
        if (above >= 1) {
            SetFocus(item(4000 + above));
            keyUp(4000 + above, VK_TAB);
            EXPECT_TRUE(fieldInView(4000 + above));
        }
    }
}

TEST_F(PageKeys, TabWithinTheViewDoesNotScroll) {
    QuizSetup setup = quizSetup(QuizKindText, numberedQuestions(60));
    openPage(setup);
    scrollTo(300);
    const int first = 300 / 25 + 2;
    SetFocus(item(4000 + first));
    type(4001 + first, "Bonjour");
    pressTab();
    EXPECT_EQ(GetFocus(), item(4001 + first));
    EXPECT_EQ(bar(SB_VERT).position, 300);
    EXPECT_EQ(selection(item(4001 + first)), MAKELONG(0, 7));
}

TEST_F(PageKeys, TypingBringsTheFieldAndItsVerdictIntoView) {
    QuizSetup setup = quizSetup(QuizKindText, numberedQuestions(60));
    openPage(setup);
    // The page opens at its top left, the fields at x 610 out of view.
    EXPECT_EQ(bar(SB_HORZ).position, 0);
    EXPECT_EQ(bar(SB_VERT).position, 0);
    EXPECT_FALSE(wholeInView(4001));
    SetFocus(item(4001));
    EXPECT_EQ(bar(SB_HORZ).position, 0);  // the focus alone does not scroll
    SendMessageA(item(4001), WM_CHAR, 'P', 1);
    EXPECT_TRUE(wholeInView(4001));
    EXPECT_EQ(text(4001), "P");
    // By the least amount: the label's right edge at the view's right edge.
    RECT client;
    GetClientRect(page, &client);
    EXPECT_EQ(placeOf(5001).x + 100, client.right);
    EXPECT_EQ(bar(SB_VERT).position, 0);

    // A field scrolled out of view, above and below, in both directions.
    for (int field : {4030, 4002, 4060}) {
        SCOPED_TRACE(field);
        SendMessageA(page, WM_HSCROLL, SB_PAGELEFT, 0);
        scrollTo(field == 4002 ? 800 : 0);
        SetFocus(item(field));
        SendMessageA(item(field), WM_CHAR, 'x', 1);
        EXPECT_TRUE(wholeInView(field));
    }
    // Enter types nothing and keeps the view.
    scrollTo(0);
    SendMessageA(item(4060), WM_CHAR, VK_RETURN, 1);
    EXPECT_EQ(bar(SB_VERT).position, 0);

    // Tab into a field out of view horizontally shows it with its label.
    SendMessageA(page, WM_HSCROLL, SB_PAGELEFT, 0);
    SetFocus(item(4001));
    pressTab();
    EXPECT_TRUE(wholeInView(4002));
}

TEST_F(PageKeys, TypingInTheThirdColumnOfAPictureQuizShowsIt) {
    QuizSetup setup = quizSetup(QuizKindPicture, numberedQuestions(3));
    openPage(setup);
    EXPECT_FALSE(wholeInView(4003));
    SetFocus(item(4003));
    SendMessageA(item(4003), WM_CHAR, 'R', 1);
    EXPECT_TRUE(wholeInView(4003));
    EXPECT_EQ(text(4003), "R");
}

TEST_F(PageKeys, CtrlAAndTheReleaseOfAFocusingClickSelectAll) {
    openPage(capitals());
    type(4002, "Romulus");
    SetFocus(item(4002));
    SendMessageA(item(4002), EM_SETSEL, 3, 3);
    // Ctrl+A: the key-down selects all, its character inserts nothing.
    BYTE keys[256] = {};
    GetKeyboardState(keys);
    keys[VK_CONTROL] = 0x80;
    SetKeyboardState(keys);
    SendMessageA(item(4002), WM_KEYDOWN, 'A', 0x001E0001);
    SendMessageA(item(4002), WM_CHAR, 1, 0x001E0001);
    keys[VK_CONTROL] = 0;
    SetKeyboardState(keys);
    EXPECT_EQ(selection(item(4002)), MAKELONG(0, 7));
    EXPECT_EQ(text(4002), "Romulus");

    // A click into a field without the focus: its release selects all again,
    // whatever the edit control did with the caret after WM_SETFOCUS.
    type(4003, "Berne");
    SetFocus(item(4001));
    SendMessageA(item(4003), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    SendMessageA(item(4003), EM_SETSEL, 2, 2);  // the caret where the click was
    SendMessageA(item(4003), WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    EXPECT_EQ(GetFocus(), item(4003));
    EXPECT_EQ(selection(item(4003)), MAKELONG(0, 5));
    // A click into the field that has the focus places the caret as usual.
    SendMessageA(item(4003), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    SendMessageA(item(4003), EM_SETSEL, 2, 2);
    SendMessageA(item(4003), WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    EXPECT_EQ(selection(item(4003)), MAKELONG(2, 2));
}
