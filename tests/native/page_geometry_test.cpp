// Ids, row layout and scroll arithmetic of the quiz page.
#include <gtest/gtest.h>

#include <vector>

#include "package/quiz_document.h"
#include "page/page_geometry.h"

namespace {

void expectBox(const PageBox& box, int x, int y, int width, int height) {
    EXPECT_EQ(box.x, x);
    EXPECT_EQ(box.y, y);
    EXPECT_EQ(box.width, width);
    EXPECT_EQ(box.height, height);
}

// Builds the extent of a whole page the way the page does, row by row.
PageExtent buildExtent(int quizKind, int questions, int answers, int answerMode, int rowHeight) {
    PageExtent extent = {0, 0, kFirstRowY};
    for (int n = 1; n <= questions; ++n) {
        if (quizKind == QuizKindText) {
            advanceTextRow(&extent);
        } else {
            MediaRowLayout row = layoutMediaRow(quizKind, n, answers, answerMode, extent.rowY, rowHeight);
            advanceMediaRow(&extent, n, row.lineY, answerMode);
        }
    }
    extent.pageWidth = finishPageWidth(extent.pageWidth, answers);
    return extent;
}

}  // namespace

TEST(PageIds, FieldIdsAndTheirQuestions) {
    struct Case {
        int n, k, perQuestion, id, index, slot;
    } cases[] = {
        {1, 1, 1, 4001, 0, 1}, {7, 1, 1, 4007, 6, 1},  {96, 1, 1, 4096, 95, 1},
        {1, 1, 2, 4001, 0, 1}, {1, 2, 2, 4002, 0, 2},  {2, 1, 2, 4003, 1, 1},
        {2, 2, 2, 4004, 1, 2}, {96, 2, 2, 4192, 95, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.id);
        EXPECT_EQ(answerFieldId(c.n, c.k, c.perQuestion), c.id);
        EXPECT_EQ(fieldQuestionIndex(c.id, c.perQuestion), c.index);
        EXPECT_EQ(fieldAnswerSlot(c.id, c.perQuestion), c.slot);
    }
}

TEST(PageIds, TextRowsHaveOneFieldWhateverThePackageSays) {
    EXPECT_EQ(fieldsPerQuestion(QuizKindText, 2), 1);
    EXPECT_EQ(fieldsPerQuestion(QuizKindPicture, 2), 2);
    EXPECT_EQ(fieldsPerQuestion(QuizKindVideo, 1), 1);
    EXPECT_EQ(fieldsPerQuestion(QuizKindAudio, 3), 1);
    EXPECT_EQ(pageQuestionCount(-1), 0);
    EXPECT_EQ(pageQuestionCount(200), 96);
}

TEST(PageRows, TextQuizOfThreeQuestions) {
    PageExtent extent = {0, 0, kFirstRowY};
    const int expectedY[] = {5, 30, 55};
    for (int y : expectedY) {
        TextRowLayout row = layoutTextRow(extent.rowY);
        expectBox(row.number, 26, y + 2, 19, 17);
        expectBox(row.prompt, 50, y, 550, 20);
        expectBox(row.field, 610, y, 170, 20);
        expectBox(row.verdict, 790, y, 100, 20);
        advanceTextRow(&extent);
    }
    EXPECT_EQ(finishPageWidth(extent.pageWidth, 1), 900);
    EXPECT_EQ(extent.pageHeight, 80);
}

TEST(PageRows, PictureRowsWithOneAndTwoAnswers) {
    const int rowHeight = 180;
    const int oneAnswer[] = {46, 336, 626};
    const int twoAnswers[] = {106, 396, 686};
    for (int n = 1; n <= 3; ++n) {
        MediaRowLayout row = layoutMediaRow(QuizKindPicture, n, 1, 0, 5, rowHeight);
        const int x = oneAnswer[n - 1];
        EXPECT_EQ(row.column, n - 1);
        EXPECT_EQ(row.lineY, 5 + rowHeight + 10);
        expectBox(row.number, x - 28, row.lineY + 2, 27, 17);
        expectBox(row.fields[0], x, row.lineY, 260, 20);
        expectBox(row.verdicts[0], x, row.lineY + 19, 260, 20);

        MediaRowLayout two = layoutMediaRow(QuizKindPicture, n, 2, 0, 5, rowHeight);
        const int x2 = twoAnswers[n - 1];
        expectBox(two.fields[0], x2, two.lineY, 201, 20);
        expectBox(two.fields[1], x2, two.lineY + 19, 201, 20);
        expectBox(two.verdicts[0], x2 + 200, two.lineY, 60, 20);
        expectBox(two.verdicts[1], x2 + 200, two.lineY + 19, 60, 20);
        expectBox(two.captions[0], 4, two.lineY + 2, 95, 20);
        expectBox(two.captions[1], 3, two.lineY + 22, 95, 20);
    }
    // Question 4 starts the second row of three.
    EXPECT_EQ(rowColumn(4), 0);
    EXPECT_EQ(buildExtent(QuizKindPicture, 4, 1, 0, 0).pageWidth, 910);
    EXPECT_EQ(buildExtent(QuizKindPicture, 4, 2, 0, 0).pageWidth, 970);
}

TEST(PageRows, PicturesAreCentredInTheirColumn) {
    expectBox(picturePlace(46, 5, 260, 260, 260), 46, 5, 260, 260);
    expectBox(picturePlace(336, 5, 200, 151, 97), 336 + 54, 5 + 51, 151, 97);
    // A missing picture counts as 260 wide and 0 high.
    expectBox(picturePlace(626, 5, 200, 260, 0), 626, 105, 260, 0);
}

TEST(PageRows, VideoAndAudioRows) {
    MediaRowLayout video = layoutMediaRow(QuizKindVideo, 2, 1, 0, 5, 0);
    expectBox(video.host, 336, 5, 260, 200);
    EXPECT_EQ(video.lineY, 215);
    expectBox(video.play, 336, 215, 20, 20);
    expectBox(video.stop, 336, 235, 20, 19);
    expectBox(video.fields[0], 356, 215, 240, 20);
    expectBox(video.verdicts[0], 356, 234, 240, 20);

    MediaRowLayout audio = layoutMediaRow(QuizKindAudio, 1, 2, 2, 5, 0);
    expectBox(audio.host, 106, 5, 0, 0);
    EXPECT_EQ(audio.lineY, 5);
    expectBox(audio.fields[0], 126, 5, 181, 20);
    expectBox(audio.verdicts[1], 126 + 180, 24, 60, 20);
    expectBox(audio.clue, 106, 51, 260, 65);
}

TEST(PageRows, RowPitchAndPageHeightFollowTheAnswerMode) {
    struct Case {
        int answerMode, clueHeight, secondRowY, pageHeight;
    } cases[] = {
        {0, 65, 5 + 10 + 60, 5 + 10 + 60},
        {1, 65, 75, 75},
        {2, 65, 5 + 10 + 140, 155},
        {4, 65, 155, 155},
        {5, 20, 5 + 10 + 80, 155},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.answerMode);
        EXPECT_EQ(layoutMediaRow(QuizKindPicture, 1, 1, c.answerMode, 5, 0).clue.height, c.clueHeight);
        PageExtent extent = buildExtent(QuizKindPicture, 3, 1, c.answerMode, 0);
        EXPECT_EQ(extent.rowY, c.secondRowY);
        EXPECT_EQ(extent.pageHeight, c.pageHeight);
    }
}

TEST(PageRows, ClosedRowDistanceKeepsTheAnswerLinesApart) {
    // What is left of a closed-up row of three is its answer lines: the next
    // row must not come up over them.
    const int modes[] = {0, 1, 2, 3, 4, 5};
    for (int mode : modes) {
        SCOPED_TRACE(mode);
        const int rowHeight = 200;
        PageExtent extent = buildExtent(QuizKindPicture, 3, 2, mode, rowHeight);
        const int pitch = extent.rowY - kFirstRowY;
        const int remaining = pitch - closedRowDistance(rowHeight, mode);
        EXPECT_GE(remaining, 10 + 19 + 20 + 10);
    }
    EXPECT_EQ(closedRowDistance(200, 0), 200);
    EXPECT_EQ(closedRowDistance(200, 3), 265);
}

TEST(PageScroll, BarSettings) {
    ScrollBarSetting wide = scrollBarFor(900, 700);
    EXPECT_FALSE(wide.fits);
    EXPECT_EQ(wide.maximum, 898);
    EXPECT_EQ(wide.page, 699);
    EXPECT_EQ(wide.maximum - wide.page + 1, 200);  // largest position

    ScrollBarSetting fits = scrollBarFor(80, 239);
    EXPECT_TRUE(fits.fits);
    EXPECT_EQ(fits.maximum - fits.page + 1, 0);

    ScrollBarSetting empty = scrollBarFor(0, 239);
    EXPECT_TRUE(empty.fits);
    EXPECT_GE(empty.maximum, 0);
    EXPECT_GE(empty.page, 0);
}

TEST(PageScroll, RequestsAndClamping) {
    const ScrollState bar = {0, 998, 239, 400, 123};
    struct Case {
        int code, vertical, horizontal;
    } cases[] = {
        {0, 90, 399},    {1, 710, 401},   {2, 161, 161}, {3, 639, 639}, {4, 400, 400},
        {5, 123, 123},   {6, 0, 400},     {7, 998, 400}, {8, 400, 400}, {500, 450, 400},
        {501, 350, 400}, {502, 777, 400}, {99, 400, 400},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.code);
        EXPECT_EQ(verticalScrollRequest(c.code, bar, 777), c.vertical);
        EXPECT_EQ(horizontalScrollRequest(c.code, bar), c.horizontal);
    }
    EXPECT_EQ(verticalScrollRequest(502, bar, -40), 0);
    EXPECT_EQ(verticalScrollRequest(502, bar, 5000), 998);
    const ScrollState top = {0, 998, 239, 20, 0};
    EXPECT_EQ(verticalScrollRequest(0, top, 0), 0);
    EXPECT_EQ(horizontalScrollRequest(2, top), 0);
}

TEST(PageScroll, WheelDeltasAddUpToWholeNotches) {
    // Each sequence of deltas from a fresh total, with the steps after each.
    const struct {
        std::vector<int> deltas;
        std::vector<int> steps;
    } cases[] = {
        {{120}, {1}},
        {{-120}, {-1}},
        {{240}, {2}},                  // two notches at once
        {{-360}, {-3}},
        {{60, 60}, {0, 1}},            // a fine-grained wheel
        {{120, -60, 120}, {1, 0, 1}},  // the -60 is dropped when the direction turns back
        {{100, -100, -20}, {0, 0, -1}},  // the turn drops the 100, the -100 stays
        {{90, 90, 90, 90}, {0, 1, 1, 1}},  // the rest is kept
        {{8, 8, 8, 8, 8, 8, 8, 8, 8, 8, 8, 8, 8, 8, 8}, {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1}},
        {{0, 0}, {0, 0}},
        {{-32768, 32767}, {-273, 273}},  // the extremes of a 16-bit delta
    };
    for (const auto& c : cases) {
        WheelTotal total = {};
        for (size_t i = 0; i < c.deltas.size(); ++i) {
            SCOPED_TRACE(::testing::Message() << "delta " << i << ": " << c.deltas[i]);
            EXPECT_EQ(addWheelDelta(&total, c.deltas[i]), c.steps[i]);
        }
    }
    EXPECT_EQ(wheelStepCode(2), SCROLL_WHEEL_UP);
    EXPECT_EQ(wheelStepCode(-1), SCROLL_WHEEL_DOWN);
}

TEST(PageScroll, LeastScrollShowsTheFieldAndItsLabel) {
    // position, span start, span end, field start, client size -> position
    const struct {
        int position, start, end, field, client, expected;
    } cases[] = {
        {0, 10, 50, 10, 239, 0},       // already in view
        {0, 0, 239, 0, 239, 0},        // exactly in view
        {0, 610, 890, 610, 505, 385},  // text quiz field at x 610 with its label: right edge to the view's
        {300, -40, -1, -40, 239, 260}, // above the view: its top to the view's top
        {0, 230, 269, 230, 239, 30},   // partly below
        {0, 600, 900, 620, 200, 620},  // too long to show whole: the field's start
        {500, -600, -300, -600, 200, -100},  // the page clamps a negative result
    };
    for (const auto& c : cases) {
        EXPECT_EQ(leastScrollToShow(c.position, c.start, c.end, c.field, c.client), c.expected)
            << c.position << " " << c.start << " " << c.end;
    }
}

TEST(PageScroll, FieldTargetShowsTheFieldWhereverThePageIsScrolled) {
    // Every field of pages of several heights, from every scroll position:
    // after the page clamps the target, the whole field is in view.
    const int clientHeights[] = {60, 239, 500};
    const int pageHeights[] = {300, 2405, 7000};
    for (int client : clientHeights) {
        for (int height : pageHeights) {
            const int largest = height > client ? height - client : 0;
            for (int position = 0; position <= largest; position += 37) {
                for (int fieldY = 0; fieldY + 20 <= height; fieldY += 23) {
                    int target = fieldScrollTarget(position, fieldY - position, 20, client);
                    if (target > largest) target = largest;
                    if (target < 0) target = 0;
                    const int top = fieldY - target;
                    ASSERT_GE(top, 0) << client << " " << height << " " << position << " " << fieldY;
                    ASSERT_LE(top + 20, client) << client << " " << height << " " << position << " " << fieldY;
                }
            }
        }
    }
}
