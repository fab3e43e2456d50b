// Building the page: rows of every quiz kind, restored answers, colours.
#include "page_test_fixture.h"

#include "media/media_player.h"
#include "page/verdict.h"

namespace {

LONG styleOf(HWND control) { return GetWindowLongA(control, GWL_STYLE); }

// An MP3 clip as the player would find it: an ID3 tag.
void addMp3Clip(TestPictures& clips, int id) {
    const char id3[] =
        "ID3\x03\0\0\0\0\0\x0A"
        "0123456789";
    clips.addBytes(id, std::vector<unsigned char>(id3, id3 + sizeof id3 - 1));
}

}  // namespace

using PageBuild = PageTest;

TEST_F(PageBuild, TextRows) {
    QuizSetup setup = quizSetup(QuizKindText, {{"Paris", "", "Capitale de la France ?", ""},
                                               {"Rome", "", "Capitale de l'Italie ?", ""},
                                               {"Berne", "", "Capitale de la Suisse ?", ""}});
    openPage(setup);
    const int rows[] = {5, 30, 55};
    std::vector<HWND> numbers = childrenWithId(page, kNumberLabelBase);
    std::vector<HWND> prompts = childrenWithId(page, kPromptLabelId);
    ASSERT_EQ(numbers.size(), 3u);
    ASSERT_EQ(prompts.size(), 3u);
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        const int y = rows[i];
        EXPECT_PLACE(placeOfWindow(numbers[i]), 26, y + 2, 19, 17);
        EXPECT_EQ(windowText(numbers[i]), std::to_string(i + 1) + ".");
        EXPECT_PLACE(placeOfWindow(prompts[i]), 50, y, 550, 20);
        EXPECT_EQ(windowText(prompts[i]), setup.questions[i].prompt);
        EXPECT_EQ(SendMessageA(prompts[i], WM_GETFONT, 0, 0), reinterpret_cast<LRESULT>(document->answerFont));
        EXPECT_PLACE(placeOf(4001 + i), 610, y, 170, 20);
        EXPECT_PLACE(placeOf(5001 + i), 790, y, 100, 20);
        EXPECT_EQ(text(5001 + i), "?");
    }
    HWND field = item(4001);
    EXPECT_EQ(SendMessageA(field, WM_GETFONT, 0, 0), reinterpret_cast<LRESULT>(document->answerFont));
    // The edit control draws its border itself and takes WS_BORDER off.
    const LONG fieldStyle = WS_CHILD | WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL | ES_CENTER;
    EXPECT_EQ(styleOf(field) & fieldStyle, fieldStyle);
    EXPECT_GT(SendMessageA(field, EM_GETLIMITTEXT, 0, 0), 128);
    EXPECT_EQ(GetWindowLongPtrA(field, GWLP_WNDPROC), reinterpret_cast<LONG_PTR>(answerFieldProc));
    EXPECT_EQ(styleOf(item(5001)) & (WS_BORDER | SS_CENTERIMAGE | SS_CENTER), WS_BORDER | SS_CENTERIMAGE | SS_CENTER);
    EXPECT_EQ(document->pageWidth, 900);
    EXPECT_EQ(document->pageHeight, 80);
    EXPECT_EQ(item(4004), nullptr);
    EXPECT_EQ(headerText(32), " 0 / 3");
}

TEST_F(PageBuild, PictureRowsWithMissingPictures) {
    QuizSetup setup = quizSetup(QuizKindPicture, numberedQuestions(4));
    openPage(setup, 1000, 400);
    // Every picture is missing here: 260 wide, 0 high, so the answer line is
    // 10 pixels under the row's top.
    const int columns[] = {46, 336, 626, 46};
    const int rowTops[] = {5, 5, 5, 75};
    for (int n = 1; n <= 4; ++n) {
        SCOPED_TRACE(n);
        const int x = columns[n - 1];
        const int lineY = rowTops[n - 1] + 10;
        EXPECT_PLACE(placeOf(9900 + n), x, rowTops[n - 1], 260, 0);
        EXPECT_PLACE(placeOf(2000 + n), x - 28, lineY + 2, 27, 17);
        EXPECT_EQ(text(2000 + n), std::to_string(n) + ".");
        EXPECT_PLACE(placeOf(4000 + n), x, lineY, 260, 20);
        EXPECT_PLACE(placeOf(5000 + n), x, lineY + 19, 260, 20);
        EXPECT_EQ(SendMessageA(item(4000 + n), EM_GETLIMITTEXT, 0, 0), 128);
        EXPECT_EQ(styleOf(item(9900 + n)) & (SS_BITMAP | SS_CENTERIMAGE | WS_BORDER),
                  SS_BITMAP | SS_CENTERIMAGE | WS_BORDER);
    }
    EXPECT_EQ(item(8001), nullptr);  // no clue labels in answer mode 0
    EXPECT_EQ(document->rowHeight[0], 0);
    EXPECT_EQ(document->pageWidth, 910);
    EXPECT_EQ(document->pageHeight, 85 + 60);
}

TEST_F(PageBuild, PictureRowsSizedByTheirPictures) {
    TestPictures pictures;
    pictures.add(401, "square.jpg");
    pictures.add(402, "wide.jpg");
    pictures.add(403, "tall.jpg");
    pictures.add(404, "wide.jpg");  // 405 and 406 are missing
    QuizSetup setup = quizSetup(QuizKindPicture, numberedQuestions(4));
    openPage(setup, 1000, 700);
    EXPECT_EQ(document->rowHeight[0], 260);
    EXPECT_EQ(document->rowHeight[1], 130);
    EXPECT_PLACE(placeOf(9901), 46, 5, 260, 260);
    EXPECT_PLACE(placeOf(9902), 336, 5 + 65, 260, 130);
    EXPECT_PLACE(placeOf(9903), 626 + 65, 5, 130, 260);
    EXPECT_PLACE(placeOf(4003), 626, 275, 260, 20);
    EXPECT_PLACE(placeOf(9904), 46, 335, 260, 130);
    EXPECT_PLACE(placeOf(4004), 46, 335 + 140, 260, 20);
    EXPECT_EQ(document->pageHeight, 475 + 60);
    const SIZE shown = bitmapSize(reinterpret_cast<HBITMAP>(SendMessageA(item(9902), STM_GETIMAGE, IMAGE_BITMAP, 0)));
    EXPECT_EQ(shown.cx, 260);
    EXPECT_EQ(shown.cy, 130);
    EXPECT_NE(SendMessageA(item(9904), STM_GETIMAGE, IMAGE_BITMAP, 0), 0);
}

TEST_F(PageBuild, PictureRowsWithTwoAnswers) {
    QuizSetup setup = quizSetup(QuizKindPicture, numberedQuestions(4), 2);
    openPage(setup, 1000, 400);
    copyText(document->firstAnswerLabel, kTextCapacity, "Titre");
    const int columns[] = {106, 396, 686, 106};
    const int lines[] = {15, 15, 15, 85};
    for (int n = 1; n <= 4; ++n) {
        SCOPED_TRACE(n);
        const int x = columns[n - 1];
        for (int k = 1; k <= 2; ++k) {
            const int field = 3998 + 2 * n + k;
            const int y = lines[n - 1] + 19 * (k - 1);
            EXPECT_PLACE(placeOf(field), x, y, 201, 20);
            EXPECT_PLACE(placeOf(field + 1000), x + 200, y, 60, 20);
            EXPECT_EQ(SendMessageA(item(field + 1000), WM_GETFONT, 0, 0),
                      reinterpret_cast<LRESULT>(GetStockObject(DEFAULT_GUI_FONT)));
        }
    }
    EXPECT_EQ(item(4009), nullptr);
    std::vector<HWND> captions = childrenWithId(page, kAnswerCaptionId);
    ASSERT_EQ(captions.size(), 4u);  // two in each row of three
    EXPECT_PLACE(placeOfWindow(captions[0]), 4, 17, 95, 20);
    EXPECT_PLACE(placeOfWindow(captions[1]), 3, 37, 95, 20);
    EXPECT_PLACE(placeOfWindow(captions[2]), 4, 87, 95, 20);
    EXPECT_EQ(document->pageWidth, 970);
}

TEST_F(PageBuild, QuizTextsShowTheirAmpersand) {
    // An "&" in a quiz text is shown as typed, not taken as the prefix that
    // underlines the next letter.
    QuizSetup setup = quizSetup(QuizKindText, {{"Tom", "", "Tom & Jerry ?", ""}});
    openPage(setup);
    EXPECT_EQ(text(kPromptLabelId), "Tom & Jerry ?");
    EXPECT_TRUE(styleOf(item(kPromptLabelId)) & SS_NOPREFIX);
    EXPECT_TRUE(styleOf(item(kNumberLabelBase)) & SS_NOPREFIX);
    closePage();

    setup = quizSetup(QuizKindPicture, {{"Tom", "Jerry", "", "Tom & Jerry"}}, 2, 2);
    document = makeDocument(setup);
    copyText(document->firstAnswerLabel, kTextCapacity, "Chat & souris");
    openDocument(1000, 400);
    EXPECT_EQ(text(8001), "Tom & Jerry");
    EXPECT_TRUE(styleOf(item(8001)) & SS_NOPREFIX);
    EXPECT_TRUE(styleOf(item(2001)) & SS_NOPREFIX);
    std::vector<HWND> captions = childrenWithId(page, kAnswerCaptionId);
    ASSERT_EQ(captions.size(), 2u);
    EXPECT_EQ(windowText(captions[0]), "Chat & souris");
    for (HWND caption : captions) EXPECT_TRUE(styleOf(caption) & SS_NOPREFIX);
}

TEST_F(PageBuild, ClueLabels) {
    QuizSetup setup = quizSetup(QuizKindPicture, {{"Lion", "", "", "Le roi"}, {"Tigre", "", "", "Le chat"}}, 1, 2);
    openPage(setup, 1000, 400);
    EXPECT_PLACE(placeOf(8001), 46, 15 + 46, 260, 65);
    EXPECT_EQ(text(8001), "Le roi");
    EXPECT_FALSE(visible(8001));
    EXPECT_EQ(document->pageHeight, 15 + 140);
    closePage();

    setup.answerMode = 5;
    setup.questions = {{"arc-en-ciel", "", "", ""}, {"Tigre", "", "", ""}, {"Le chat", "", "", ""}};
    openPage(setup, 1000, 400);
    EXPECT_PLACE(placeOf(8001), 46, 61, 260, 20);
    EXPECT_EQ(text(8001), "en 3 mots");
    EXPECT_EQ(text(8002), "en 1 mot");
    EXPECT_EQ(text(8003), "en 2 mots");
    EXPECT_TRUE(visible(8001));
    EXPECT_EQ(SendMessageA(item(8001), WM_GETFONT, 0, 0), reinterpret_cast<LRESULT>(GetStockObject(DEFAULT_GUI_FONT)));
}

class PagePlayerRows : public PageTest {
protected:
    void openWithPlayers(const QuizSetup& setup, bool playerSupport) {
        document = makeDocument(setup);
        quizDocument = document;
        if (playerSupport) loadPlayerSupport();
        openDocument(1000, 600);
    }
    // The player support is unloaded as at shutdown: it destroys the main
    // window (here the parent, with the page in it) and releases the players.
    void TearDown() override {
        if (document) {
            quizDocument = document;
            unloadPlayerSupport(parent);
            parent = page = header = nullptr;
        }
        PageTest::TearDown();
    }
};

TEST_F(PagePlayerRows, VideoRows) {
    QuizSetup setup = quizSetup(QuizKindVideo, numberedQuestions(4));
    openWithPlayers(setup, true);
    ASSERT_NE(item(4004), nullptr) << "no media player could be created";
    EXPECT_PLACE(placeOf(9901), 46, 5, 260, 200);
    EXPECT_PLACE(placeOf(6001), 46, 215, 20, 20);
    EXPECT_PLACE(placeOf(7001), 46, 235, 20, 19);
    EXPECT_PLACE(placeOf(4001), 66, 215, 240, 20);
    EXPECT_PLACE(placeOf(5001), 66, 234, 240, 20);
    EXPECT_PLACE(placeOf(2001), 18, 217, 27, 17);
    EXPECT_PLACE(placeOf(9904), 46, 215 + 60, 260, 200);
    const LONG buttonStyle = WS_TABSTOP | BS_ICON | BS_DEFPUSHBUTTON;
    EXPECT_EQ(styleOf(item(6001)) & buttonStyle, buttonStyle);
    EXPECT_NE(SendMessageA(item(6001), BM_GETIMAGE, IMAGE_ICON, 0), 0);
    EXPECT_NE(SendMessageA(item(7001), BM_GETIMAGE, IMAGE_ICON, 0), 0);
    EXPECT_EQ(document->pageWidth, 910);
    EXPECT_EQ(document->pageHeight, 215 + 60 + 210 + 60);
}

TEST_F(PagePlayerRows, AudioRowsWithTwoAnswers) {
    QuizSetup setup = quizSetup(QuizKindAudio, numberedQuestions(2), 2, 2);
    openWithPlayers(setup, true);
    ASSERT_NE(item(4004), nullptr) << "no media player could be created";
    EXPECT_PLACE(placeOf(9902), 396, 5, 0, 0);
    EXPECT_PLACE(placeOf(4003), 416, 5, 181, 20);
    EXPECT_PLACE(placeOf(5004), 416 + 180, 24, 60, 20);
    EXPECT_PLACE(placeOf(8002), 396, 51, 260, 65);
    EXPECT_EQ(document->pageWidth, 970);
}

TEST_F(PagePlayerRows, APlayerThatCannotBeMadeEndsTheBuild) {
    // Without the player support no player can be created.
    QuizSetup setup = quizSetup(QuizKindVideo, numberedQuestions(4));
    writeSavedFile("un\r\ndeux\r\n");
    openWithPlayers(setup, false);
    EXPECT_PLACE(placeOf(9901), 46, 5, 260, 200);
    EXPECT_EQ(item(9902), nullptr);
    EXPECT_EQ(item(2001), nullptr);
    EXPECT_EQ(item(4001), nullptr);
    EXPECT_EQ(document->pageWidth, 0);
    EXPECT_EQ(document->pageHeight, 0);
    // The saved answers are not lost by a save from this page.
    saveAnswers(document);
    EXPECT_EQ(readSavedFile(), "un\r\ndeux\r\n\r\n\r\n");
}

TEST_F(PagePlayerRows, PlayAndStopButtonsReachThePlayer) {
    TestPictures clips;
    addMp3Clip(clips, 401);
    QuizSetup setup = quizSetup(QuizKindAudio, numberedQuestions(1));
    openWithPlayers(setup, true);
    ASSERT_NE(item(6001), nullptr) << "no media player could be created";
    auto clipExists = [] { return GetFileAttributesA("kerbo401.MP3") != INVALID_FILE_ATTRIBUTES; };
    SendMessageA(page, WM_COMMAND, 6001, reinterpret_cast<LPARAM>(item(6001)));
    EXPECT_TRUE(clipExists());
    SendMessageA(page, WM_COMMAND, 7001, reinterpret_cast<LPARAM>(item(7001)));
    EXPECT_FALSE(clipExists());
    SendMessageA(page, WM_COMMAND, 6001, reinterpret_cast<LPARAM>(item(6001)));
    EXPECT_TRUE(clipExists());
    // Closing the page deletes the clip file it left.
    SendMessageA(page, WM_CLOSE, 0, 0);
    EXPECT_FALSE(clipExists());
}

TEST_F(PageBuild, PictureQuizIgnoresPlayCommands) {
    TestPictures clips;
    addMp3Clip(clips, 401);
    QuizSetup setup = quizSetup(QuizKindPicture, numberedQuestions(1));
    openPage(setup);
    SendMessageA(page, WM_COMMAND, 6001, 0);
    EXPECT_EQ(GetFileAttributesA("kerbo401.MP3"), INVALID_FILE_ATTRIBUTES);
}

TEST_F(PageBuild, UnknownKindBuildsNothing) {
    QuizSetup setup = quizSetup(7, numberedQuestions(3), 2);
    openPage(setup);
    EXPECT_EQ(GetWindow(page, GW_CHILD), nullptr);
    EXPECT_EQ(document->pageWidth, 80);
    EXPECT_EQ(document->pageHeight, 0);
}

TEST_F(PageBuild, SavedAnswersAreRestoredAndJudged) {
    writeSavedFile("Paris\r\n\r\nRomx\r\n" + std::string(300, 'x') + "\r\n");
    QuizSetup setup = quizSetup(QuizKindText, {{"Paris", "", "", ""},
                                               {"Lyon", "", "", ""},
                                               {"Rome", "", "", ""},
                                               {"Nice", "", "", ""},
                                               {"Metz", "", "", ""}});
    openPage(setup);
    EXPECT_EQ(text(4001), "Paris");
    EXPECT_EQ(text(4002), "");
    EXPECT_EQ(text(4003), "Romx");
    EXPECT_EQ(text(4004), std::string(259, 'x'));
    EXPECT_EQ(text(4005), "");  // missing line
    EXPECT_EQ(text(5001), "BRAVO");
    EXPECT_EQ(text(5002), "?");
    EXPECT_EQ(text(5003), "Quasiment");
    EXPECT_EQ(text(5004), "FAUX");
    EXPECT_EQ(headerText(32), " 1 / 5");
    EXPECT_EQ(headerText(30), "CODE1");
}

TEST_F(PageBuild, SavedLinesKeepLoneLineFeeds) {
    writeSavedFile("a\nb\r\nc\rjunk\nd");
    QuizSetup setup = quizSetup(QuizKindPicture, numberedQuestions(2), 2);
    openPage(setup, 1000, 400);
    EXPECT_EQ(text(4001), "a\nb");
    EXPECT_EQ(text(4002), "c");
    EXPECT_EQ(text(4003), "d");
    EXPECT_EQ(text(4004), "");
}

TEST_F(PageBuild, LabelColours) {
    QuizSetup setup = quizSetup(QuizKindPicture, numberedQuestions(1), 1, 2);
    openPage(setup, 1000, 400);
    HDC dc = GetDC(page);
    auto colour = [&](HWND control) {
        return reinterpret_cast<HBRUSH>(
            SendMessageA(page, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(control)));
    };
    SetTextColor(dc, RGB(1, 2, 3));
    EXPECT_EQ(colour(item(2001)), document->backgroundBrush);
    EXPECT_EQ(GetTextColor(dc), RGB(0, 0, 0));
    EXPECT_EQ(GetBkMode(dc), TRANSPARENT);
    document->backgroundColor.red = 30;
    document->backgroundColor.green = 60;
    document->backgroundColor.blue = 255;
    EXPECT_EQ(colour(item(8001)), document->backgroundBrush);
    EXPECT_EQ(GetTextColor(dc), RGB(255, 255, 255));
    document->backgroundColor.green = 70;
    colour(item(2001));
    EXPECT_EQ(GetTextColor(dc), RGB(0, 0, 0));

    struct Case {
        const char* verdict;
        HBRUSH brush;
    } cases[] = {
        {"Trop court", document->hintBrush},
        {"y a de l'id\xE9"
         "e",
         document->hintBrush},
        {"FAUX", document->wrongBrush},
        {"Anagramme", document->anagramBrush},
    };
    HWND verdict = item(5001);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.verdict);
        SetWindowTextA(verdict, c.verdict);
        EXPECT_EQ(colour(verdict), c.brush);
    }
    SetWindowTextA(verdict, "BRAVO");
    HBRUSH bravo = colour(verdict);
    LOGBRUSH logBrush = {};
    ASSERT_TRUE(GetObjectA(bravo, sizeof logBrush, &logBrush));
    EXPECT_EQ(logBrush.lbColor, RGB(0, 255, 0));
    // "?" and the picture are left to the default colours.
    const HBRUSH pageBrushes[] = {document->hintBrush,   document->wrongBrush,      document->anagramBrush,
                                  document->promptBrush, document->backgroundBrush, bravo};
    SetWindowTextA(verdict, "?");
    const HBRUSH unanswered = colour(verdict);
    const HBRUSH picture = colour(item(9901));
    for (HBRUSH brush : pageBrushes) {
        EXPECT_NE(unanswered, brush);
        EXPECT_NE(picture, brush);
    }
    EXPECT_EQ(SendMessageA(page, WM_CTLCOLORDLG, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(page)),
              reinterpret_cast<LRESULT>(document->backgroundBrush));
    ReleaseDC(page, dc);

    // The page deletes its green brush when it is closed.
    SendMessageA(page, WM_CLOSE, 0, 0);
    EXPECT_EQ(GetObjectA(bravo, sizeof logBrush, &logBrush), 0);
}

TEST_F(PageBuild, PromptLabelColour) {
    QuizSetup setup = quizSetup(QuizKindText, numberedQuestions(1));
    openPage(setup);
    HDC dc = GetDC(page);
    HWND prompt = childrenWithId(page, kPromptLabelId).at(0);
    EXPECT_EQ(SendMessageA(page, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(prompt)),
              reinterpret_cast<LRESULT>(document->promptBrush));
    ReleaseDC(page, dc);
}
