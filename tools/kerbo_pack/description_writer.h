// Writing a quiz description (docs/quiz-format.md) from what the player's
// loader read out of a quiz executable, for `kerbo-pack unpack`. Whatever the
// description cannot say as it is (a text with a control character, spaces
// at its ends or a byte code page 1252 leaves undefined, an answer longer
// than its field) is written as well as it can be and reported as a warning,
// never changed silently.
#pragma once

#include <string>
#include <vector>

#include "package/quiz_document.h"
#include "tools/kerbo_pack/diagnostics.h"

// The media files of one question, as paths relative to the description
// ("" when the question has none).
struct QuestionMediaFiles {
    std::string picture;
    std::string solvedPicture;
    std::string clip;
};

// comments: lines written at the top, each after "# ". media: one entry per
// question of the document's list, in order (missing entries count as none).
std::string writeQuizDescription(const QuizDocument& document, const std::vector<QuestionMediaFiles>& media,
                                 const std::vector<std::string>& comments, Diagnostics* warnings);
