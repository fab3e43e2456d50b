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
