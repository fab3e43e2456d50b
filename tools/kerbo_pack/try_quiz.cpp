// kerbo-pack try --quiz QUIZ: for every answer field of a quiz, the verdict
// the player gives to the common slips of its expected answer
// (answer_variants.h), one line each:
//
//   QUESTION<TAB>SLOT<TAB>VARIANT<TAB>TYPED<TAB>VERDICT      (UTF-8)
//
// A description with an error is reported as `check` reports it (exit 1).
#include <string>
#include <vector>

#include "page/verdict.h"
#include "tools/kerbo_pack/answer_variants.h"
#include "tools/kerbo_pack/console_text.h"
#include "tools/kerbo_pack/cp1252.h"
#include "tools/kerbo_pack/quiz_description.h"
#include "tools/kerbo_pack/tool_files.h"
#include "tools/kerbo_pack/try_quiz.h"

std::string quizSlipLines(const QuizDescription& quiz) {
    std::string out;
    for (size_t i = 0; i < quiz.questions.size(); ++i) {
        const QuestionDescription& q = quiz.questions[i];
        for (int slot = 1; slot <= quiz.answersPerQuestion; ++slot) {
            const std::string& expected = slot == 1 ? q.firstAnswer : q.secondAnswer;
            for (const AnswerVariant& v : commonSlips(expected)) {
                out += std::to_string(i + 1) + "\t" + std::to_string(slot) + "\t" + v.name + "\t" +
                       cp1252ToUtf8(v.typed.c_str()) + "\t" +
                       cp1252ToUtf8(computeVerdict(expected.c_str(), v.typed.c_str())) + "\n";
            }
        }
    }
    return out;
}

int runTryQuiz(const std::string& path) {
    std::vector<unsigned char> bytes;
    std::string error;
    Diagnostics diagnostics;
    QuizDescription quiz;
    if (!readWholeFile(path, &bytes, &error)) {
        diagnostics.error(0, "cannot read the description: " + error);
    } else {
        readQuizDescription(reinterpret_cast<const char*>(bytes.data()), bytes.size(), &quiz, &diagnostics);
    }
    if (diagnostics.errors() > 0) {
        printDiagnostics(stderr, diagnostics, path, true);
        return 1;
    }
    writeConsoleText(stdout, quizSlipLines(quiz));
    return 0;
}
