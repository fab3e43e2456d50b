#include "tools/kerbo_pack/inspect_summary.h"

#include <cstring>

#include "media/clip_type.h"
#include "package/package_format.h"
#include "tools/kerbo_pack/cp1252.h"
#include "tools/kerbo_pack/quiz_description.h"
#include "tools/kerbo_pack/quiz_media.h"

namespace {

std::string quoted(const char* cp1252) { return "\"" + cp1252ToUtf8(cp1252) + "\""; }

std::string bytesText(uint32_t size) { return std::to_string(size) + " byte" + (size == 1 ? "" : "s"); }

// "IMG 403, gif, 1234 bytes" or "" when there is no such picture.
std::string pictureText(const PeResourceStore& store, int id) {
    bool rcdata = false;
    ResourceBytes r = findPicture(store, id, &rcdata);
    if (!r.bytes) return "";
    unsigned char head[16];
    const uint32_t n = r.size < sizeof head ? r.size : static_cast<uint32_t>(sizeof head);
    std::memcpy(head, r.bytes, n);
    if (!rcdata && isNibbleSwappedPicture(id)) swapNibbles(head, head, n);
    return std::string(rcdata ? "RT_RCDATA " : "IMG ") + std::to_string(id) + ", " +
           pictureFormatName(pictureFormat(head, n)) + (!rcdata && isNibbleSwappedPicture(id) ? " nibble-swapped" : "") +
           ", " + bytesText(r.size);
}

std::string clipText(const PeResourceStore& store, int id) {
    ResourceBytes r = store.find(KERBO_TYPE_IMG, id);
    if (!r.bytes || r.size == 0) return "";
    return "IMG " + std::to_string(id) + ", " + sniffClipType(r.bytes, r.size) + ", " + bytesText(r.size);
}

}  // namespace

const char* resourceStorageName(ResourceStorage storage) {
    switch (storage) {
        case StorageMissing: return "missing";
        case StoragePlain: return "plain";
        case StorageScrambled: return "scrambled";
        case StorageUnreadable: return "unreadable";
    }
    return "?";
}

std::string quizSummary(const QuizDocument& d, const PackageLoadReport& report, const char* message,
                        const PeResourceStore& store) {
    std::string s;
    s += "message:   " + (message ? quoted(message) : std::string("none")) + "\n";
    if (report.builtInQuiz) s += "           (no questions resource: the player shows its built-in test quiz)\n";
    s += "kind:      " + std::string(quizKindName(d.quizKind)) + "\n";
    s += "title:     " + quoted(d.title) + "\n";
    s += "author:    " + quoted(d.author) + "\n";
    s += "explanation: " + quoted(d.explanation) + "\n";
    s += "answers:   " + std::to_string(d.answersPerQuestion) + " per question";
    if (d.answersPerQuestion == 2) s += ", labels " + quoted(d.firstAnswerLabel) + " and " + quoted(d.secondAnswerLabel);
    s += "\nanswer mode: " + std::string(answerModeName(d.answerMode)) + " (" + std::to_string(d.answerMode) + ")\n";
    s += "background: " + std::to_string(d.backgroundColor.red) + " " + std::to_string(d.backgroundColor.green) + " " +
         std::to_string(d.backgroundColor.blue) + "\n";
    s += "link block: " + std::string(store.hasLinkBlock() ? "found" : "no marker, not found") + "; link " +
         quoted(d.linkText) + ", footer " + quoted(d.footerText) + "\n";
    s += "resources: questions (104) " + std::string(resourceStorageName(report.questions)) + ", codes (105) " +
         resourceStorageName(report.codes) + "\n";
    s += "questions: " + std::to_string(d.questionCount) + "\n";
    int n = 1;
    for (const QuestionNode* q = d.firstQuestion; q; q = q->next, ++n) {
        s += "  " + std::to_string(n) + ". " + quoted(q->firstAnswer);
        if (d.answersPerQuestion == 2) s += " / " + quoted(q->secondAnswer);
        s += "\n";
        if (q->prompt[0]) s += "     prompt: " + quoted(q->prompt) + "\n";
        if (clueTextsPerQuestion(d.answerMode) > 0) s += "     clue: " + quoted(q->clue) + "\n";
        if (d.quizKind == QuizKindPicture) {
            const std::string picture = pictureText(store, kQuestionMediaBase + n);
            const std::string solved = pictureText(store, kSolvedPictureBase + n);
            s += "     picture: " + (picture.empty() ? std::string("none") : picture) + "\n";
            if (!solved.empty()) s += "     solved picture: " + solved + "\n";
        } else if (d.quizKind == QuizKindAudio || d.quizKind == QuizKindVideo) {
            const std::string clip = clipText(store, kQuestionMediaBase + n);
            s += "     clip: " + (clip.empty() ? std::string("none") : clip) + "\n";
        }
    }
    s += "reward codes:\n";
    bool any = false;
    for (int k = 0; k < d.questionCount && k < kMaxQuestions; ++k) {
        if (!d.rewardCodes[k][0]) continue;
        s += "  " + std::to_string(k + 1) + " solved: " + quoted(d.rewardCodes[k]) + "\n";
        any = true;
    }
    if (!any) s += "  none\n";
    return s;
}
