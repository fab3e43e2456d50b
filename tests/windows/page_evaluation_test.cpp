// Judging answer fields on the page: labels, solved questions, reveals.
#include "gdi_object_recorder.h"
#include "page_test_fixture.h"

using PageEvaluation = PageTest;

TEST_F(PageEvaluation, UnchangedVerdictStopsWithoutScoreRefresh) {
    QuizSetup setup = quizSetup(QuizKindText, {{"Paris", "", "", ""}, {"Rome", "", "", ""}});
    openPage(setup);
    SetDlgItemTextA(header, 32, "untouched");
    evaluateAnswer(document, page, 4001);  // empty field, label "?"
    EXPECT_EQ(text(5001), "?");
    EXPECT_EQ(headerText(32), "untouched");
    answer(4001, "Pari");
    EXPECT_EQ(text(5001), "Quasiment");
    EXPECT_EQ(headerText(32), " 0 / 2");
    SetDlgItemTextA(header, 32, "untouched");
    answer(4001, "Parsi");  // another hint: the label changes, the score is refreshed
    EXPECT_EQ(text(5001), "Anagramme");
    EXPECT_EQ(headerText(32), " 0 / 2");
}

TEST_F(PageEvaluation, SolvedFollowsTheExactAnswer) {
    QuizSetup setup =
        quizSetup(QuizKindPicture,
                  {{"Paris", "", "", "Ville lumiere"}, {"Oui", "", "", "court"}, {"Non", "", "", "court"}}, 1, 2);
    openPage(setup, 1000, 400);
    QuestionNode* paris = questionAt(document, 1);
    QuestionNode* oui = questionAt(document, 2);
    QuestionNode* non = questionAt(document, 3);

    // A label reading "BRAVO" completes the question, spaces around the
    // answer or not: «paris » for «Paris» shows the clue.
    answer(4001, "paris ");
    EXPECT_EQ(text(5001), "BRAVO");
    EXPECT_EQ(paris->solved, 1);
    EXPECT_TRUE(visible(8001));
    answer(4001, "Pari");
    EXPECT_FALSE(visible(8001));
    answer(4001, "PaRiS");
    EXPECT_TRUE(visible(8001));

    // A short answer too, once its label reads "BRAVO".
    answer(4002, " oui");
    EXPECT_EQ(text(5002), "BRAVO");
    EXPECT_EQ(oui->solved, 1);
    EXPECT_TRUE(visible(8002));
    answer(4003, "non");
    EXPECT_EQ(non->solved, 1);
    EXPECT_TRUE(visible(8003));

    // A wrong answer later hides the clue; solved stays.
    answer(4001, "Lyon");
    EXPECT_EQ(text(5001), "FAUX");
    EXPECT_FALSE(visible(8001));
    EXPECT_EQ(paris->solved, 1);
    EXPECT_EQ(headerText(32), " 2 / 3");
    EXPECT_EQ(oui->solved, 1);
}

TEST_F(PageEvaluation, TwoAnswersRevealOnlyWhenBothAreRight) {
    QuizSetup setup =
        quizSetup(QuizKindPicture,
                  {{"Napoleon Bonaparte", "Corse", "", "Empereur"}, {"Jules Cesar", "Rome", "", "Consul"}}, 2, 3);
    openPage(setup, 1000, 400);
    QuestionNode* first = questionAt(document, 1);
    answer(4001, "napoleon bonaparte");
    EXPECT_EQ(text(5001), "BRAVO");
    EXPECT_EQ(first->solved, 1);  // at once, before the second answer is looked at
    EXPECT_FALSE(visible(8001));
    answer(4002, "Cors");
    EXPECT_EQ(text(5002), "Quasiment");
    EXPECT_EQ(headerText(32), " 0 / 2");
    answer(4002, "corse");
    EXPECT_TRUE(visible(8001));
    EXPECT_EQ(headerText(32), " 1 / 2");
    // Field 4004 is the second answer of question 2.
    answer(4004, "Rome");
    EXPECT_EQ(text(5004), "BRAVO");
    EXPECT_FALSE(visible(8002));
    answer(4003, "Jules Cesar");
    EXPECT_TRUE(visible(8002));
    EXPECT_EQ(headerText(32), " 2 / 2");
    EXPECT_EQ(headerText(30), "CODE2");
}

TEST_F(PageEvaluation, WordCountHintHidesOnAWrongAnswer) {
    QuizSetup setup = quizSetup(QuizKindPicture, {{"arc-en-ciel", "", "", ""}}, 1, 5);
    openPage(setup, 1000, 400);
    EXPECT_TRUE(visible(8001));
    answer(4001, "arc-en-cie");
    EXPECT_EQ(text(5001), "Quasiment");
    EXPECT_FALSE(visible(8001));
    answer(4001, "Arc-en-ciel");
    EXPECT_EQ(text(5001), "BRAVO");
    EXPECT_FALSE(visible(8001));
}

TEST_F(PageEvaluation, AllCluesAppearOnceEveryAnswerIsRight) {
    QuizSetup setup = quizSetup(QuizKindPicture, {{"Lion", "Afrique", "", "A"}, {"Ours", "Europe", "", "B"}}, 2, 4);
    openPage(setup, 1000, 400);
    answer(4001, "Lion");
    answer(4002, "Afrique");
    answer(4003, "Ours");
    EXPECT_FALSE(visible(8001));
    EXPECT_FALSE(visible(8002));
    EXPECT_EQ(document->allCluesShown, 0);
    answer(4004, "Europe");
    EXPECT_TRUE(visible(8001));
    EXPECT_TRUE(visible(8002));
    EXPECT_EQ(document->allCluesShown, 1);

    // One wrong answer hides only its own question's clue.
    answer(4003, "Ourse");
    EXPECT_EQ(document->allCluesShown, 0);
    EXPECT_TRUE(visible(8001));
    EXPECT_FALSE(visible(8002));
    answer(4003, "Ours");
    EXPECT_TRUE(visible(8002));
    EXPECT_EQ(document->allCluesShown, 1);
}

TEST_F(PageEvaluation, QuestionsBeyondTheListShareTheLastNode) {
    QuizSetup setup = quizSetup(QuizKindPicture, {{"Chat", "", "", ""}, {"Chien", "", "", ""}});
    setup.questionCount = 4;
    openPage(setup, 1000, 400);
    answer(4004, "Chien");
    EXPECT_EQ(text(5004), "BRAVO");
    EXPECT_EQ(questionAt(document, 2)->solved, 1);
    EXPECT_EQ(headerText(32), " 1 / 4");
}

// Everything the page, the header, the document and the picture loader
// create (fonts, brushes, bitmaps, the replaced picture, memory DCs) is
// deleted again when the page is closed.
TEST_F(PageEvaluation, EveryGdiObjectIsDeleted) {
    GdiObjectRecorder recorder;
    ASSERT_TRUE(recorder.active());
    {
        TestPictures pictures;
        pictures.add(401, "square.jpg");
        pictures.add(10401, "wide.jpg");
        pictures.add(402, "square.jpg");
        QuizSetup setup = quizSetup(QuizKindPicture, {{"Chat", "", "", "Miaou"}, {"Chien", "", "", ""}}, 1, 3);
        openPage(setup, 1000, 400);
        answer(4001, "Chat");
        answer(4002, "Chien");
        closePage();
    }
    EXPECT_GE(recorder.created(), 5);
    EXPECT_TRUE(recorder.alive().empty()) << recorder.alive().size() << " GDI objects left";
}

// "IMG" 401 and no 10401: solving keeps the question's picture, undeleted.
TEST_F(PageEvaluation, MissingSolvedPictureKeepsThePicture) {
    TestPictures pictures;
    pictures.add(401, "square.jpg");
    QuizSetup setup = quizSetup(QuizKindPicture, {{"Chat", "", "", ""}}, 1, 1);
    openPage(setup, 1000, 400);
    HBITMAP before = reinterpret_cast<HBITMAP>(SendMessageA(item(9901), STM_GETIMAGE, IMAGE_BITMAP, 0));
    ASSERT_NE(before, nullptr);
    answer(4001, "Chat");
    EXPECT_EQ(questionAt(document, 1)->solved, 1);
    EXPECT_EQ(reinterpret_cast<HBITMAP>(SendMessageA(item(9901), STM_GETIMAGE, IMAGE_BITMAP, 0)), before);
    EXPECT_EQ(bitmapSize(before).cx, 260);
    EXPECT_EQ(bitmapSize(before).cy, 260);
}

TEST_F(PageEvaluation, SolvedPictureReplacesThePicture) {
    TestPictures pictures;
    pictures.add(401, "square.jpg");
    pictures.add(10401, "wide.jpg");
    QuizSetup setup = quizSetup(QuizKindPicture, {{"Paris", "", "", "Ville"}}, 1, 3);
    openPage(setup, 1000, 400);
    HBITMAP before = reinterpret_cast<HBITMAP>(SendMessageA(item(9901), STM_GETIMAGE, IMAGE_BITMAP, 0));
    ASSERT_EQ(bitmapSize(before).cx, 260);
    ASSERT_EQ(bitmapSize(before).cy, 260);
    answer(4001, "paris ");  // not as expected byte for byte, but its label reads "BRAVO"
    EXPECT_EQ(text(5001), "BRAVO");
    EXPECT_TRUE(visible(8001));
    HBITMAP after = reinterpret_cast<HBITMAP>(SendMessageA(item(9901), STM_GETIMAGE, IMAGE_BITMAP, 0));
    EXPECT_EQ(bitmapSize(after).cx, 260);
    EXPECT_EQ(bitmapSize(after).cy, 130);
    BITMAP gone;
    EXPECT_EQ(GetObjectA(before, sizeof gone, &gone), 0);  // the replaced bitmap was deleted
    // The control keeps its place and size.
    EXPECT_PLACE(placeOf(9901), 46, 5, 260, 260);
}
