#include "tools/kerbo_pack/quiz_description.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "tools/kerbo_pack/cp1252.h"
#include "tools/kerbo_pack/description_keys.h"

static const char* const kKindNames[] = {"text", "picture", "audio", "video"};
static const char* const kModeNames[] = {"none", "solved-picture", "clue", "clue-and-picture", "clues-at-end",
                                         "word-count"};
enum { kKindCount = 4, kModeCount = 6 };

const char* quizKindName(int kind) { return kind >= 0 && kind < kKindCount ? kKindNames[kind] : "?"; }
const char* answerModeName(int mode) { return mode >= 0 && mode < kModeCount ? kModeNames[mode] : "?"; }

bool answerModeHasClues(int mode) { return mode == 2 || mode == 3 || mode == 4; }
bool answerModeShowsSolvedPicture(int mode) { return mode == 1 || mode == 3; }

int lineOfKey(const std::vector<KeyLine>& keyLines, const char* key) {
    for (const KeyLine& k : keyLines) {
        if (k.key == key) return k.line;
    }
    return 0;
}

namespace {

enum {
    kTextLength = kTextCapacity - 1,
    kLinkLength = kLinkTextCapacity - 1,
    kFooterLength = kFooterTextCapacity - 1,
    kShortFieldLength = 128,  // the answer fields of picture, audio and video quizzes
};

bool isBlank(char c) { return c == ' ' || c == '\t'; }

std::string trim(const std::string& text, size_t* start) {
    size_t first = 0, end = text.size();
    while (first < end && isBlank(text[first])) ++first;
    while (end > first && isBlank(text[end - 1])) --end;
    if (start) *start = first;
    return text.substr(first, end - first);
}

// Index of name in a table of names, or -1.
int lookUp(const char* const* names, int count, const std::string& name) {
    for (int i = 0; i < count; ++i) {
        if (name == names[i]) return i;
    }
    return -1;
}

class Parser {
public:
    Parser(QuizDescription* d, Diagnostics* e) : d_(d), e_(e) {}

    // Every line is read whatever the lines before it held, so that every
    // problem is reported at once.
    void parse(const char* text, size_t length) {
        *d_ = QuizDescription();
        d_->quizKind = -1;
        d_->answersPerQuestion = 1;
        d_->red = 90, d_->green = 95, d_->blue = 150;  // the player's own page colour
        size_t at = 0;
        if (length >= 3 && std::memcmp(text, "\xEF\xBB\xBF", 3) == 0) at = 3;  // a byte order mark
        if (isUtf16(text, length)) {
            fail("the description is UTF-16 text; save it as UTF-8", 0);
            return;
        }
        while (at < length) {
            const char* newline = static_cast<const char*>(std::memchr(text + at, '\n', length - at));
            size_t end = newline ? static_cast<size_t>(newline - text) : length;
            std::string content(text + at, end - at);
            if (!content.empty() && content.back() == '\r') content.pop_back();
            ++line_;
            if (validUtf8(content)) parseLine(content);
            at = end + 1;
        }
        finish();
    }

private:
    bool fail(const std::string& reason, int line) {
        e_->error(line, reason);
        return false;
    }

    // A byte order mark of UTF-16, or the zero bytes of its ASCII letters.
    static bool isUtf16(const char* text, size_t length) {
        if (length >= 2 && ((text[0] == '\xFF' && text[1] == '\xFE') || (text[0] == '\xFE' && text[1] == '\xFF')))
            return true;
        return length >= 2 && (text[0] == 0 || text[1] == 0);
    }

    // A line that is not UTF-8 is reported with its column (in characters)
    // and not read further.
    bool validUtf8(const std::string& content) {
        size_t at = 0;
        int column = 1;
        while (at < content.size()) {
            uint32_t codePoint;
            size_t used;
            if (!decodeUtf8(content.data() + at, content.size() - at, &codePoint, &used)) {
                return fail("the line is not valid UTF-8 at column " + std::to_string(column) +
                            "; save the description as UTF-8");
            }
            at += used;
            ++column;
        }
        return true;
    }
    bool fail(const std::string& reason) { return fail(reason, line_); }

    bool parseLine(const std::string& content) {
        std::string line = trim(content, nullptr);
        if (line.empty() || line[0] == '#') return true;
        if (line[0] == '[') return parseSection(line);
        size_t colon = line.find(':');
        if (colon == std::string::npos) return fail("expected 'key: value', '[question]' or a '#' comment");
        std::string key = trim(line.substr(0, colon), nullptr);
        size_t valueStart;
        std::string value = trim(line.substr(colon + 1), &valueStart);
        valueColumn_ = static_cast<int>(content.find(line) + colon + 1 + valueStart) + 1;
        const DescriptionKey* known = findDescriptionKey(key);
        const bool inQuestion = !d_->questions.empty();
        if (!known) {
            const DescriptionKey* nearest = nearestDescriptionKey(key);
            if (nearest) return fail("unknown key '" + key + "'; did you mean '" + nearest->name + "'?");
            return fail("unknown key '" + key + "' (docs/quiz-format.md lists the keys)");
        }
        if (known->scope == KeyOfQuestion && !inQuestion)
            return fail("'" + key + "' belongs to a question: put '[question]' before it");
        if (known->scope == KeyOfQuiz && inQuestion)
            return fail("'" + key + "' is a quiz key: move it above the first [question]");
        if (key != "code") {
            std::vector<KeyLine>& seen = inQuestion ? d_->questions.back().keyLines : d_->keyLines;
            if (lineOfKey(seen, key.c_str()) > 0) return fail("'" + key + "' is given twice");
            seen.push_back(KeyLine{key, line_});
        }
        return inQuestion ? questionKey(key, value) : quizKey(key, value);
    }

    bool parseSection(const std::string& line) {
        if (line != "[question]") return fail("unknown section '" + line + "' (only [question] exists)");
        if (d_->questions.empty() && lineOfKey(d_->keyLines, "kind") == 0)
            fail("'kind:' must come before the first question");
        if (d_->questions.size() == kMaxQuestions) fail("a quiz holds at most 96 questions");
        QuestionDescription question = QuestionDescription();
        question.line = line_;
        d_->questions.push_back(question);
        return true;
    }

    // ---- Values ----

    // UTF-8 to code page 1252, checked for what the package can hold.
    bool text(const std::string& key, const std::string& value, size_t maxLength, std::string* out) {
        for (size_t i = 0; i < value.size(); ++i) {
            unsigned char c = static_cast<unsigned char>(value[i]);
            if (c == '\r' && key == "code") return fail("a reward code cannot hold a line break (CR)");
            if (c < 0x20 || c == 0x7F) return fail(key + " holds a control character at column " + column(i));
        }
        size_t bad = 0;
        if (!utf8ToCp1252(value.data(), value.size(), out, &bad)) {
            uint32_t codePoint;
            size_t used;
            if (!decodeUtf8(value.data() + bad, value.size() - bad, &codePoint, &used))
                return fail(key + " is not valid UTF-8 at column " + column(bad));
            char hex[16];
            std::snprintf(hex, sizeof hex, "U+%04X", static_cast<unsigned>(codePoint));
            return fail(key + ": the character '" + value.substr(bad, used) + "' (" + hex + ") at column " +
                        column(bad) + " is outside code page 1252");
        }
        if (out->find('|') != std::string::npos)
            return fail(key + " contains '|', which ends every text in the package");
        if (out->size() > maxLength) {
            return fail(key + " holds at most " + std::to_string(maxLength) + " characters; this one has " +
                        std::to_string(out->size()));
        }
        return true;
    }

    std::string column(size_t offset) const { return std::to_string(valueColumn_ + offset); }

    bool media(const std::string& key, const std::string& value, MediaReference* out) {
        if (value.empty()) return fail(key + " needs a file path");
        out->path = value;
        out->line = line_;
        return true;
    }

    bool number(const std::string& value, int low, int high, int* out) {
        if (value.empty() || value.size() > 3) return false;
        int n = 0;
        for (char c : value) {
            if (c < '0' || c > '9') return false;
            n = n * 10 + (c - '0');
        }
        if (n < low || n > high) return false;
        *out = n;
        return true;
    }

    // "R G B" (each 0 to 255) or "#RRGGBB".
    bool colour(const std::string& value) {
        int rgb[3];
        int found = 0;
        bool ok = true;
        if (value.size() == 7 && value[0] == '#') {
            for (int i = 0; i < 3 && ok; ++i) {
                char digits[3] = {value[1 + 2 * i], value[2 + 2 * i], 0};
                char* end;
                rgb[i] = static_cast<int>(std::strtol(digits, &end, 16));
                ok = *end == 0 && std::isxdigit(static_cast<unsigned char>(digits[0]));
            }
            found = 3;
        } else {
            size_t at = 0;
            while (ok && at < value.size()) {
                size_t end = value.find_first_of(" \t", at);
                if (end == std::string::npos) end = value.size();
                ok = found < 3 && number(value.substr(at, end - at), 0, 255, &rgb[found]);
                ++found;
                at = value.find_first_not_of(" \t", end);
            }
        }
        if (!ok || found != 3) return fail("background is 'R G B' (0 to 255 each) or '#RRGGBB', not '" + value + "'");
        d_->red = static_cast<unsigned char>(rgb[0]);
        d_->green = static_cast<unsigned char>(rgb[1]);
        d_->blue = static_cast<unsigned char>(rgb[2]);
        return true;
    }

    // ---- Keys ----

    bool quizKey(const std::string& key, const std::string& value) {
        if (key == "kind") {
            d_->quizKind = lookUp(kKindNames, kKindCount, value);
            if (d_->quizKind < 0) return fail("unknown kind '" + value + "' (text, picture, audio or video)");
            return true;
        }
        if (key == "answers") {
            if (!number(value, 1, 2, &d_->answersPerQuestion)) return fail("answers is 1 or 2, not '" + value + "'");
            return true;
        }
        if (key == "answer-mode") {
            d_->answerMode = lookUp(kModeNames, kModeCount, value);
            if (d_->answerMode < 0 && !number(value, 0, kModeCount - 1, &d_->answerMode)) {
                return fail("unknown answer mode '" + value +
                            "' (none, solved-picture, clue, clue-and-picture, clues-at-end, word-count or 0 to 5)");
            }
            return true;
        }
        if (key == "background") return colour(value);
        if (key == "icon") return media(key, value, &d_->icon);
        if (key == "code") {
            d_->rewardCodes.emplace_back();
            d_->rewardCodeLines.push_back(line_);
            return text(key, value, kTextLength, &d_->rewardCodes.back());
        }
        if (key == "link") d_->linkLine = line_;
        if (key == "footer") d_->footerLine = line_;
        struct TextKey {
            const char* key;
            std::string QuizDescription::*field;
            size_t maxLength;
        };
        static const TextKey texts[] = {
            {"title", &QuizDescription::title, kTextLength},
            {"author", &QuizDescription::author, kTextLength},
            {"explanation", &QuizDescription::explanation, kTextLength},
            {"first-answer-label", &QuizDescription::firstAnswerLabel, kTextLength},
            {"second-answer-label", &QuizDescription::secondAnswerLabel, kTextLength},
            {"link", &QuizDescription::linkText, kLinkLength},
            {"footer", &QuizDescription::footerText, kFooterLength},
        };
        for (const TextKey& t : texts) {
            if (key == t.key) return text(key, value, t.maxLength, &(d_->*t.field));
        }
        return fail("'" + key + "' is not read here");
    }

    // The answer fields of picture, audio and video quizzes take at most 128
    // characters, so a longer expected answer could never be typed.
    bool answer(const std::string& key, const std::string& value, std::string* out) {
        if (!text(key, value, kTextLength, out)) return false;
        if (d_->quizKind > QuizKindText && out->size() > kShortFieldLength) {
            return fail(key + ": the answer fields of a " + quizKindName(d_->quizKind) + " quiz take at most " +
                        std::to_string(kShortFieldLength) + " characters; this answer has " +
                        std::to_string(out->size()));
        }
        return true;
    }

    bool questionKey(const std::string& key, const std::string& value) {
        QuestionDescription& q = d_->questions.back();
        const std::string kind = quizKindName(d_->quizKind);
        if ((key == "answer" || key == "second-answer") && value.empty())
            return fail(key + " is empty: give the expected answer");
        if (key == "answer") return answer(key, value, &q.firstAnswer);
        if (key == "second-answer") {
            if (d_->answersPerQuestion != 2) return fail("second-answer needs 'answers: 2'");
            return answer(key, value, &q.secondAnswer);
        }
        if (key == "prompt") return text(key, value, kTextLength, &q.prompt);
        // A clue or solved picture that the answer mode does not show is
        // read and warned about (quiz_checks.h); the package leaves it out.
        if (key == "clue") return text(key, value, kTextLength, &q.clue);
        const bool kindKnown = d_->quizKind >= 0;
        if (key == "picture" || key == "solved-picture") {
            if (kindKnown && d_->quizKind != QuizKindPicture) return fail("a " + kind + " quiz has no pictures");
            return media(key, value, key == "picture" ? &q.picture : &q.solvedPicture);
        }
        if (key == "clip") {
            if (kindKnown && d_->quizKind != QuizKindAudio && d_->quizKind != QuizKindVideo)
                return fail("a " + kind + " quiz has no clips");
            return media(key, value, &q.clip);
        }
        return fail("'" + key + "' is not read here");
    }

    // ---- The whole ----

    void finish() {
        if (lineOfKey(d_->keyLines, "kind") == 0) fail("the description gives no 'kind:'; add 'kind: text', 'kind: picture', 'kind: audio' or 'kind: video' at the top", 0);
        for (const QuestionDescription& q : d_->questions) {
            if (lineOfKey(q.keyLines, "answer") == 0) fail("the question has no answer; add 'answer:'", q.line);
            if (d_->answersPerQuestion == 2 && lineOfKey(q.keyLines, "second-answer") == 0)
                fail("the question has no second-answer (the quiz has 'answers: 2')", q.line);
        }
        if (d_->rewardCodes.size() > d_->questions.size()) {
            fail("more reward codes than questions: code k is shown once k questions are solved",
                 d_->rewardCodeLines[d_->questions.size()]);
        }
    }

    QuizDescription* d_;
    Diagnostics* e_;
    int line_ = 0;
    int valueColumn_ = 1;
};

}  // namespace

bool readQuizDescription(const char* text, size_t length, QuizDescription* description, Diagnostics* diagnostics) {
    const int errorsBefore = diagnostics->errors();
    Parser(description, diagnostics).parse(text, length);
    return diagnostics->errors() == errorsBefore;
}

bool parseQuizDescription(const char* text, size_t length, QuizDescription* description, DescriptionError* error) {
    *error = DescriptionError();
    Diagnostics diagnostics;
    if (readQuizDescription(text, length, description, &diagnostics)) return true;
    for (const Diagnostic& d : diagnostics.items) {
        if (d.severity == DiagnosticError) {
            error->line = d.line;
            error->reason = d.text;
            break;
        }
    }
    return false;
}

void fillQuizDocument(const QuizDescription& d, QuizDocument* document) {
    document->quizKind = d.quizKind;
    document->questionCount = static_cast<int>(d.questions.size());
    document->answersPerQuestion = d.answersPerQuestion;
    document->answerMode = d.answerMode;
    document->backgroundColor.red = d.red;
    document->backgroundColor.green = d.green;
    document->backgroundColor.blue = d.blue;
    copyText(document->title, kTextCapacity, d.title.c_str());
    copyText(document->author, kTextCapacity, d.author.c_str());
    copyText(document->explanation, kTextCapacity, d.explanation.c_str());
    copyText(document->firstAnswerLabel, kTextCapacity, d.firstAnswerLabel.c_str());
    copyText(document->secondAnswerLabel, kTextCapacity, d.secondAnswerLabel.c_str());
    copyText(document->linkText, kLinkTextCapacity, d.linkText.c_str());
    copyText(document->footerText, kFooterTextCapacity, d.footerText.c_str());
    for (size_t k = 0; k < d.rewardCodes.size() && k < kMaxQuestions; ++k)
        copyText(document->rewardCodes[k], kTextCapacity, d.rewardCodes[k].c_str());
    for (const QuestionDescription& q : d.questions) {
        QuestionNode* before = document->lastQuestion;
        appendQuestion(document, q.firstAnswer.c_str(), q.secondAnswer.c_str(), q.prompt.c_str());
        if (document->lastQuestion != before) copyText(document->lastQuestion->clue, kTextCapacity, q.clue.c_str());
    }
}
