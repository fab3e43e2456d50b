#include <gtest/gtest.h>

#include "package/quiz_document.h"

TEST(QuizDocument, Defaults) {
    QuizDocument* d = createQuizDocument();
    ASSERT_NE(d, nullptr);
    EXPECT_STREQ(d->title, "Nom du kerbo");
    EXPECT_EQ(d->questionCount, 2);
    EXPECT_EQ(d->firstQuestion, nullptr);
    destroyQuizDocument(d);
}
