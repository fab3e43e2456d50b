// Texts wider than the place the player gives them, in the font it draws
// them in (text_widths.h).
#include "tools/kerbo_pack/text_widths.h"

#include <cstring>

#include "tools/kerbo_pack/quiz_checks.h"

const TextPlace* findTextPlace(const char* key) {
    for (int i = 0; i < kTextPlaceCount; ++i) {
        if (std::strcmp(kTextPlaces[i].key, key) == 0) return &kTextPlaces[i];
    }
    return nullptr;
}

namespace {

int charWidth(TextFont font, unsigned char c) { return c >= 0x20 ? kTextFontWidths[font].widths[c - 0x20] : 0; }

}  // namespace

int textWidth(TextFont font, const std::string& text) {
    int width = 0;
    for (char c : text) width += charWidth(font, static_cast<unsigned char>(c));
    return width;
}

int visibleCharacters(const TextPlace& place, const std::string& text) {
    const int lineHeight = kTextFontWidths[place.font].height;
    int lines = lineHeight > 0 ? place.height / lineHeight : 1;
    if (lines < 1 || !place.wraps) lines = 1;
    if (!place.wraps) {
        // One line: the characters that fit whole (an edit control or a
        // centred single line shows no more).
        int width = 0, shown = 0;
        for (char c : text) {
            width += charWidth(place.font, static_cast<unsigned char>(c));
            if (width > place.width) break;
            ++shown;
        }
        return shown;
    }
    int shown = 0;
    size_t at = 0;
    for (int line = 0; line < lines && at < text.size(); ++line) {
        // Words that fit whole on this line, then the spaces after them.
        int width = 0;
        size_t end = at;
        while (end < text.size()) {
            size_t wordEnd = end;
            while (wordEnd < text.size() && text[wordEnd] == ' ') ++wordEnd;
            while (wordEnd < text.size() && text[wordEnd] != ' ') ++wordEnd;
            const int wordWidth = textWidth(place.font, text.substr(end, wordEnd - end));
            if (width + wordWidth > place.width && end > at) break;
            if (width + wordWidth > place.width) {
                // A word longer than the line: what fits of it shows, the
                // rest is cut, and the next line starts after it.
                for (size_t i = end; i < wordEnd; ++i) {
                    width += charWidth(place.font, static_cast<unsigned char>(text[i]));
                    if (width > place.width) break;
                    ++shown;
                }
                end = wordEnd;
                width = -1;
                break;
            }
            width += wordWidth;
            shown += static_cast<int>(wordEnd - end);
            end = wordEnd;
        }
        at = end;
        while (at < text.size() && text[at] == ' ') {
            ++at;
            ++shown;  // spaces at a line break are not lost characters
        }
    }
    return shown;
}

namespace {

void checkText(const char* key, const std::string& text, int line, Diagnostics* out, const char* where) {
    const TextPlace* place = findTextPlace(key);
    if (!place || text.empty() || line == 0) return;
    const int shown = visibleCharacters(*place, text);
    const int total = static_cast<int>(text.size());
    if (shown >= total) return;
    const int lines = place->wraps && kTextFontWidths[place->font].height > 0
                          ? place->height / kTextFontWidths[place->font].height
                          : 1;
    std::string room = std::to_string(place->width) + " pixels";
    if (lines > 1) room = std::to_string(lines) + " lines of " + room;
    out->warning(line, std::string(key) + " is wider than its place (" + room + where + "): about " +
                           std::to_string(shown) + " of its " + std::to_string(total) +
                           " characters show; shorten it");
}

}  // namespace

void checkTextWidths(const QuizDescription& quiz, Diagnostics* out) {
    const char* const header = " in the window's first size";
    checkText("title", quiz.title, lineOfKey(quiz.keyLines, "title"), out, header);
    checkText("author", quiz.author, lineOfKey(quiz.keyLines, "author"), out, "");
    checkText("link", quiz.linkText, quiz.linkLine, out, "");
    checkText("explanation", quiz.explanation, lineOfKey(quiz.keyLines, "explanation"), out, header);
    checkText("footer", quiz.footerText, quiz.footerLine, out, "");
    for (size_t k = 0; k < quiz.rewardCodes.size() && k < quiz.rewardCodeLines.size(); ++k)
        checkText("code", quiz.rewardCodes[k], quiz.rewardCodeLines[k], out, "");
    if (quiz.answersPerQuestion == 2 && quiz.quizKind > QuizKindText) {
        checkText("first-answer-label", quiz.firstAnswerLabel, lineOfKey(quiz.keyLines, "first-answer-label"), out,
                  "");
        checkText("second-answer-label", quiz.secondAnswerLabel, lineOfKey(quiz.keyLines, "second-answer-label"),
                  out, "");
    }
    for (const QuestionDescription& q : quiz.questions) {
        if (quiz.quizKind == QuizKindText) checkText("prompt", q.prompt, lineOfKey(q.keyLines, "prompt"), out, "");
        if (quiz.quizKind > QuizKindText && answerModeHasClues(quiz.answerMode))
            checkText("clue", q.clue, lineOfKey(q.keyLines, "clue"), out, "");
    }
}
