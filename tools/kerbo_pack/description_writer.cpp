#include "tools/kerbo_pack/description_writer.h"

#include <cstring>

#include "package/package_format.h"
#include "tools/kerbo_pack/cp1252.h"
#include "tools/kerbo_pack/quiz_description.h"

namespace {

enum { kShortFieldLength = 128 };  // the answer fields of picture, audio and video quizzes

class Writer {
public:
    Writer(Diagnostics* warnings) : warnings_(warnings) {}

    // One "key: value" line of a code page 1252 text; what the reader would
    // not give back as it is gets a warning naming where it is.
    void text(const std::string& where, const char* key, const char* value) {
        const size_t length = std::strlen(value);
        std::string problem;
        for (size_t i = 0; i < length && problem.empty(); ++i) {
            unsigned char c = static_cast<unsigned char>(value[i]);
            if (c < 0x20 || c == 0x7F) problem = "holds a control character, which the description cannot hold";
            if (cp1252ToCodePoint(c) == kCp1252Undefined)
                problem = "holds a byte that code page 1252 leaves undefined, written as U+FFFD";
        }
        if (problem.empty() && length > 0 && (value[0] == ' ' || value[0] == '\t' || value[length - 1] == ' ' ||
                                              value[length - 1] == '\t'))
            problem = "begins or ends with a space, which the description drops";
        if (!problem.empty()) warn(where + std::string(key) + " " + problem + "; fix it before building");
        std::string utf8 = cp1252ToUtf8(value);
        for (char& c : utf8) {
            if (static_cast<unsigned char>(c) < 0x20) c = ' ';  // one line per key
        }
        out_ += std::string(key) + ": " + utf8 + "\n";
    }

    void textIfAny(const std::string& where, const char* key, const char* value) {
        if (value[0]) text(where, key, value);
    }

    void line(const std::string& content) { out_ += content + "\n"; }
    void warn(const std::string& message) { warnings_->warning(0, message); }
    const std::string& result() const { return out_; }

private:
    Diagnostics* warnings_;
    std::string out_;
};

int listLength(const QuizDocument& d) {
    int n = 0;
    for (const QuestionNode* q = d.firstQuestion; q; q = q->next) ++n;
    return n;
}

}  // namespace

std::string writeQuizDescription(const QuizDocument& d, const std::vector<QuestionMediaFiles>& media,
                                 const std::vector<std::string>& comments, Diagnostics* warnings) {
    Writer w(warnings);
    for (const std::string& c : comments) w.line("# " + c);
    if (!comments.empty()) w.line("");
    w.line(std::string("kind: ") + quizKindName(d.quizKind));
    w.textIfAny("", "title", d.title);
    w.textIfAny("", "author", d.author);
    w.textIfAny("", "explanation", d.explanation);
    w.line("answers: " + std::to_string(d.answersPerQuestion));
    w.textIfAny("", "first-answer-label", d.firstAnswerLabel);
    w.textIfAny("", "second-answer-label", d.secondAnswerLabel);
    if (d.answerMode >= 0 && d.answerMode <= 5) {
        w.line(std::string("answer-mode: ") + answerModeName(d.answerMode));
    } else {
        w.line("answer-mode: " + std::to_string(d.answerMode));
        w.warn("answer-mode " + std::to_string(d.answerMode) + " is none of the six the description knows (0 to 5)");
    }
    w.line("background: " + std::to_string(d.backgroundColor.red) + " " + std::to_string(d.backgroundColor.green) +
           " " + std::to_string(d.backgroundColor.blue));
    w.textIfAny("", "link", d.linkText);
    w.textIfAny("", "footer", d.footerText);
    // Levels past the last code show nothing, as they do without a code line.
    int lastCode = 0;
    for (int k = 0; k < d.questionCount && k < kMaxQuestions; ++k) {
        if (d.rewardCodes[k][0]) lastCode = k + 1;
    }
    for (int k = 0; k < lastCode; ++k) w.text("code " + std::to_string(k + 1) + ": ", "code", d.rewardCodes[k]);

    const int listed = listLength(d);
    if (d.questionCount > listed) {
        w.warn("the package announces " + std::to_string(d.questionCount) + " questions but holds " +
               std::to_string(listed) + "; the description has " + std::to_string(listed));
    }
    const bool shortFields = d.quizKind != QuizKindText;
    int n = 0;
    for (const QuestionNode* q = d.firstQuestion; q; q = q->next, ++n) {
        const std::string where = "question " + std::to_string(n + 1) + ": ";
        w.line("");
        w.line("[question]");
        w.text(where, "answer", q->firstAnswer);
        if (!q->firstAnswer[0]) w.warn(where + "the answer is empty; the description needs one");
        if (d.answersPerQuestion == 2) w.text(where, "second-answer", q->secondAnswer);
        if (shortFields && (std::strlen(q->firstAnswer) > kShortFieldLength ||
                            std::strlen(q->secondAnswer) > kShortFieldLength))
            w.warn(where + "an answer is longer than the 128 characters its field takes");
        w.textIfAny(where, "prompt", q->prompt);
        if (clueTextsPerQuestion(d.answerMode) > 0) w.textIfAny(where, "clue", q->clue);
        const QuestionMediaFiles none;
        const QuestionMediaFiles& m = static_cast<size_t>(n) < media.size() ? media[n] : none;
        if (!m.picture.empty()) w.line("picture: " + m.picture);
        if (!m.solvedPicture.empty()) w.line("solved-picture: " + m.solvedPicture);
        if (!m.clip.empty()) w.line("clip: " + m.clip);
    }
    return w.result();
}
