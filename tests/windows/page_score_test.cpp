// Score and reward code, hiding solved pictures with the "Cacher" box, and
// the saved-answers file.
#include "page_test_fixture.h"

#include <algorithm>

namespace {

// Every page control of questions 1..count with its place.
struct RowPlaces {
    std::vector<int> ids;
    std::vector<PageBox> places;
};

}  // namespace

class PageScore : public PageTest {
protected:
    RowPlaces placesOfRows(int count) const {
        RowPlaces rows;
        for (int n = 1; n <= count; ++n) {
            for (int id : {9900 + n, 8000 + n, 2000 + n, 4000 + n, 5000 + n}) {
                if (!item(id)) continue;
                rows.ids.push_back(id);
                rows.places.push_back(placeOf(id));
            }
        }
        return rows;
    }

    void tickHideBox(bool ticked) {
        SendDlgItemMessageA(header, 33, BM_SETCHECK, ticked ? BST_CHECKED : BST_UNCHECKED, 0);
        applyHideSolved(document);
    }

    // A picture quiz of five questions whose rows are 260 and 130 pixels
    // high.
    void openPictureQuiz(int answerMode) {
        pictures.add(401, "square.jpg");
        pictures.add(402, "tall.jpg");
        pictures.add(403, "wide.jpg");
        pictures.add(404, "wide.jpg");
        QuizSetup setup;
        setup.kind = QuizKindPicture;
        setup.answerMode = answerMode;
        setup.questions = numberedQuestions(5);
        openPage(setup, 1000, 500);
        ASSERT_EQ(document->rowHeight[0], 260);
        ASSERT_EQ(document->rowHeight[1], 130);
    }

    TestPictures pictures;
};

TEST_F(PageScore, ScoreAndRewardCodeFollowEveryChange) {
    QuizSetup setup = quizSetup(QuizKindText, numberedQuestions(12));
    openPage(setup);
    struct Step {
        int field;
        const char* typed;
        const char* score;
        const char* code;
    } steps[] = {
        {4001, "Reponse1", " 1 / 12", "CODE1"}, {4002, "Reponse2", " 2 / 12", "CODE2"},
        {4003, "Reponse3", " 3 / 12", "CODE3"}, {4001, "Reponse", " 2 / 12", "CODE2"},
        {4002, "", " 1 / 12", "CODE1"},         {4003, "x", " 0 / 12", "      "},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.score);
        answer(step.field, step.typed);
        EXPECT_EQ(headerText(32), step.score);
        EXPECT_EQ(headerText(30), step.code);
    }
}

TEST_F(PageScore, BothAnswersCountForTheScore) {
    QuizSetup setup = quizSetup(QuizKindAudio, {{"Mozart", "Requiem", "", ""}, {"Bach", "Passion", "", ""}}, 2);
    document = makeDocument(setup);
    // The score reads only the labels; no player is needed for that.
    openDocument();
    if (!item(4001)) {
        closePage();
        setup.kind = QuizKindPicture;
        openPage(setup, 1000, 400);
    }
    answer(4001, "Mozart");
    answer(4002, "Requie");
    EXPECT_EQ(text(5002), "Quasiment");
    EXPECT_EQ(headerText(32), " 0 / 2");
    answer(4002, "Requiem");
    EXPECT_EQ(headerText(32), " 1 / 2");
}

TEST_F(PageScore, HidingClosesUpAFullRowAndReopensIt) {
    openPictureQuiz(0);
    const RowPlaces before = placesOfRows(5);
    const int heightBefore = document->pageHeight;
    tickHideBox(true);
    for (int n = 1; n <= 3; ++n) answer(4000 + n, ("Reponse" + std::to_string(n)).c_str());
    answer(4005, "Reponse5");

    for (int n = 1; n <= 3; ++n) EXPECT_FALSE(visible(9900 + n));
    EXPECT_FALSE(visible(9905));
    EXPECT_TRUE(visible(9904));
    const int expectedStates[] = {1, 1, 2, 0, 1};
    for (int n = 1; n <= 5; ++n) EXPECT_EQ(document->questionState[n], expectedStates[n - 1]) << n;
    EXPECT_EQ(document->pageHeight, heightBefore - 260);
    EXPECT_EQ(bar(SB_VERT).maximum, document->pageHeight - 2);
    for (size_t i = 0; i < before.ids.size(); ++i) {
        const int id = before.ids[i];
        const int n = id % 1000 % 100;
        const bool picture = id > 9900;
        int moved = 0;
        if (n <= 3 && !picture) moved = 260;   // hidden: the answer line moves up
        if (n >= 4) moved = 260;               // below the closed row
        if (n == 5 && !picture) moved += 130;  // hidden in its own row
        SCOPED_TRACE(id);
        EXPECT_EQ(placeOf(id).y, before.places[i].y - moved);
    }

    // Running it again changes nothing: a closed row is not closed twice.
    const RowPlaces hidden = placesOfRows(5);
    applyHideSolved(document);
    EXPECT_EQ(document->pageHeight, heightBefore - 260);
    const RowPlaces again = placesOfRows(5);
    for (size_t i = 0; i < hidden.ids.size(); ++i) EXPECT_EQ(again.places[i].y, hidden.places[i].y);

    tickHideBox(false);
    for (size_t i = 0; i < before.ids.size(); ++i) {
        SCOPED_TRACE(before.ids[i]);
        const PageBox place = placeOf(before.ids[i]);
        EXPECT_EQ(place.x, before.places[i].x);
        EXPECT_EQ(place.y, before.places[i].y);
    }
    for (int n = 1; n <= 5; ++n) {
        EXPECT_TRUE(visible(9900 + n));
        EXPECT_EQ(document->questionState[n], 0);
    }
    EXPECT_EQ(document->pageHeight, heightBefore);
    EXPECT_EQ(bar(SB_VERT).maximum, heightBefore - 2);
}

TEST_F(PageScore, ClosedRowsWithCluesMoveByPictureAndClue) {
    openPictureQuiz(2);
    const RowPlaces before = placesOfRows(5);
    const int heightBefore = document->pageHeight;
    for (int n = 1; n <= 3; ++n) answer(4000 + n, ("Reponse" + std::to_string(n)).c_str());
    EXPECT_TRUE(visible(8001));
    tickHideBox(true);
    EXPECT_FALSE(visible(8001));
    EXPECT_EQ(document->pageHeight, heightBefore - 325);
    EXPECT_EQ(placeOf(9904).y,
              before.places[std::find(before.ids.begin(), before.ids.end(), 9904) - before.ids.begin()].y - 325);
    tickHideBox(false);
    // Shown again, clue labels included; question 4 was never hidden.
    for (int n = 1; n <= 3; ++n) EXPECT_TRUE(visible(8000 + n));
    EXPECT_FALSE(visible(8004));
    EXPECT_EQ(document->pageHeight, heightBefore);
    const RowPlaces after = placesOfRows(5);
    ASSERT_EQ(after.ids, before.ids);
    for (size_t i = 0; i < before.ids.size(); ++i) EXPECT_EQ(after.places[i].y, before.places[i].y) << before.ids[i];
}

TEST_F(PageScore, CaptionsFollowTheAnswerLinesOfTheirRow) {
    pictures.add(401, "square.jpg");
    pictures.add(404, "wide.jpg");
    QuizSetup setup = quizSetup(QuizKindPicture, numberedQuestions(5), 2);
    openPage(setup, 1000, 500);
    const std::vector<HWND> captions = childrenWithId(page, kAnswerCaptionId);
    ASSERT_EQ(captions.size(), 4u);
    // Each caption stays where it is against the first answer field of its
    // row's first question (4001 for questions 1-3, 4007 for 4-5).
    auto expectBesideTheirLines = [&](const char* when) {
        SCOPED_TRACE(when);
        for (int i = 0; i < 4; ++i) {
            const PageBox field = placeOf(i < 2 ? 4001 : 4007);
            const PageBox caption = placeOfWindow(captions[static_cast<size_t>(i)]);
            EXPECT_EQ(caption.y - field.y, i % 2 == 0 ? 2 : 22) << "caption " << i;
        }
    };
    const int row0 = placeOf(4001).y;
    const int row1 = placeOf(4007).y;
    for (int n = 1; n <= 3; ++n) {
        answer(3998 + 2 * n + 1, ("Reponse" + std::to_string(n)).c_str());
        answer(3998 + 2 * n + 2, ("Second" + std::to_string(n)).c_str());
    }
    tickHideBox(true);  // row 0 hidden and closed up, row 1 moved up
    EXPECT_LT(placeOf(4001).y, row0);
    EXPECT_LT(placeOf(4007).y, row1);
    expectBesideTheirLines("hidden and closed up");
    answer(4007, "Reponse4");
    answer(4008, "Second4");  // question 4 hidden in its own row
    expectBesideTheirLines("question 4 hidden");
    tickHideBox(false);
    EXPECT_EQ(placeOf(4001).y, row0);
    EXPECT_EQ(placeOf(4007).y, row1);
    expectBesideTheirLines("reopened");
}

TEST_F(PageScore, WithoutTheBoxOnlyTheScrollRangesChange) {
    QuizSetup setup = quizSetup(QuizKindText, numberedQuestions(3));
    openPage(setup);
    answer(4001, "Reponse1");
    EXPECT_EQ(document->questionState[1], 0);
    EXPECT_TRUE(visible(4001));
    document->pageHeight = 1000;
    applyHideSolved(document);
    EXPECT_EQ(bar(SB_VERT).maximum, 998);
}

TEST_F(PageScore, SavedFileBytes) {
    QuizSetup setup = quizSetup(QuizKindPicture, numberedQuestions(3), 2);
    openPage(setup, 1000, 400);
    type(4001, "Reponse1");
    type(4002, "  deux ");
    type(4005, "\xE9t\xE9");
    saveAnswers(document);
    const std::string expected = "Reponse1\r\n  deux \r\n\r\n\r\n\xE9t\xE9\r\n\r\n";
    EXPECT_EQ(readSavedFile(), expected);
    saveAnswers(document);
    EXPECT_EQ(readSavedFile(), expected);
    EXPECT_EQ(GetFileAttributesA((savedFileName() + ".tmp").c_str()), INVALID_FILE_ATTRIBUTES);

    // The next page restores and judges them.
    closePage();
    openPage(setup, 1000, 400);
    EXPECT_EQ(text(4001), "Reponse1");
    EXPECT_EQ(text(4002), "  deux ");
    EXPECT_EQ(text(4005), "\xE9t\xE9");
    EXPECT_EQ(text(5001), "BRAVO");
    EXPECT_EQ(text(5002), "FAUX");
}

TEST_F(PageScore, AFailedSaveLeavesThePreviousAnswers) {
    QuizSetup setup = quizSetup(QuizKindText, numberedQuestions(2));
    writeSavedFile("ancienne\r\nreponse\r\n");
    openPage(setup);
    type(4001, "nouvelle");
    // The new file cannot be written beside the old one.
    ASSERT_TRUE(CreateDirectoryA((savedFileName() + ".tmp").c_str(), nullptr));
    saveAnswers(document);
    EXPECT_EQ(readSavedFile(), "ancienne\r\nreponse\r\n");
    RemoveDirectoryA((savedFileName() + ".tmp").c_str());

    // The old file is held open: it cannot be replaced, and stays whole.
    // The answers stay in the temporary file beside it.
    HANDLE held = CreateFileA(savedFileName().c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    EXPECT_FALSE(saveAnswers(document));
    CloseHandle(held);
    EXPECT_EQ(readSavedFile(), "ancienne\r\nreponse\r\n");
    std::ifstream temp(savedFileName() + ".tmp", std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(temp), std::istreambuf_iterator<char>()),
              "nouvelle\r\nreponse\r\n");
    temp.close();

    EXPECT_TRUE(saveAnswers(document));
    EXPECT_EQ(readSavedFile(), "nouvelle\r\nreponse\r\n");
    EXPECT_EQ(GetFileAttributesA((savedFileName() + ".tmp").c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST_F(PageScore, FieldsNotOnThePageKeepTheirSavedAnswers) {
    QuizSetup setup = quizSetup(QuizKindText, numberedQuestions(3));
    writeSavedFile("un\r\ndeux\r\ntrois\r\n");
    openPage(setup);
    type(4001, "uno");
    DestroyWindow(item(4002));  // as if its row had never been built
    saveAnswers(document);
    EXPECT_EQ(readSavedFile(), "uno\r\ndeux\r\ntrois\r\n");
}
