// kerbo-pack inspect [--json] Quiz.exe
//
// Without --json it prints the readable summary of inspect_summary.h.
// Reads a quiz executable with the player's own loader (loadQuizPackage over
// a PeResourceStore) and prints, as UTF-8 JSON, what the player would hold:
// the document's package fields under their own names, the message the player
// would show while loading (or null), how each resource was stored, and the
// pictures and clips the executable carries.
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "media/clip_type.h"
#include "package/message_box.h"
#include "package/package_loader.h"
#include "package/pe_resource_store.h"
#include "tools/kerbo_pack/commands.h"
#include "tools/kerbo_pack/cp1252.h"
#include "tools/kerbo_pack/inspect_summary.h"
#include "tools/kerbo_pack/pe_resources.h"
#include "tools/kerbo_pack/quiz_media.h"
#include "tools/kerbo_pack/tool_files.h"

namespace {

// ---- A small JSON writer: two-space indentation, UTF-8 strings ----

class JsonWriter {
public:
    void beginObject() { open('{'); }
    void endObject() { close('}'); }
    void beginArray() { open('['); }
    void endArray() { close(']'); }

    void key(const char* name) {
        separate();
        quote(name);
        out_ += ": ";
        afterKey_ = true;
    }
    // A code page 1252 text.
    void text(const char* cp1252) {
        separate();
        quote(cp1252ToUtf8(cp1252).c_str());
    }
    void number(long value) {
        separate();
        out_ += std::to_string(value);
    }
    void boolean(bool value) {
        separate();
        out_ += value ? "true" : "false";
    }
    void null() {
        separate();
        out_ += "null";
    }

    const std::string& result() const { return out_; }

private:
    void open(char bracket) {
        separate();
        out_ += bracket;
        empty_.push_back(true);
    }

    void close(char bracket) {
        bool wasEmpty = empty_.back();
        empty_.pop_back();
        if (!wasEmpty) newline();
        out_ += bracket;
        if (empty_.empty()) out_ += '\n';
    }

    // Before a value: the comma and line break, unless it follows its key.
    void separate() {
        if (afterKey_) {
            afterKey_ = false;
            return;
        }
        if (empty_.empty()) return;
        if (!empty_.back()) out_ += ',';
        empty_.back() = false;
        newline();
    }

    void newline() {
        out_ += '\n';
        out_.append(2 * empty_.size(), ' ');
    }

    void quote(const char* utf8) {
        out_ += '"';
        for (const unsigned char* p = reinterpret_cast<const unsigned char*>(utf8); *p; ++p) {
            if (*p == '"' || *p == '\\') {
                out_ += '\\';
                out_ += static_cast<char>(*p);
            } else if (*p < 0x20) {
                char escape[8];
                std::snprintf(escape, sizeof escape, "\\u%04x", *p);
                out_ += escape;
            } else {
                out_ += static_cast<char>(*p);
            }
        }
        out_ += '"';
    }

    std::string out_;
    std::vector<bool> empty_;  // per open bracket: nothing written inside yet
    bool afterKey_ = false;
};

// ---- The document ----

void writeDocument(const QuizDocument& d, JsonWriter* json) {
    json->key("quizKind");
    json->number(d.quizKind);
    json->key("questionCount");
    json->number(d.questionCount);
    json->key("answersPerQuestion");
    json->number(d.answersPerQuestion);
    const struct {
        const char* name;
        const char* value;
    } texts[] = {{"title", d.title},
                 {"author", d.author},
                 {"explanation", d.explanation},
                 {"firstAnswerLabel", d.firstAnswerLabel},
                 {"secondAnswerLabel", d.secondAnswerLabel}};
    for (const auto& t : texts) {
        json->key(t.name);
        json->text(t.value);
    }
    json->key("answerMode");
    json->number(d.answerMode);
    json->key("backgroundColor");
    json->beginObject();
    json->key("red");
    json->number(d.backgroundColor.red);
    json->key("green");
    json->number(d.backgroundColor.green);
    json->key("blue");
    json->number(d.backgroundColor.blue);
    json->endObject();
    json->key("rewardCodes");
    json->beginArray();
    for (int k = 0; k < d.questionCount && k < kMaxQuestions; ++k) json->text(d.rewardCodes[k]);
    json->endArray();
    json->key("linkText");
    json->text(d.linkText);
    json->key("footerText");
    json->text(d.footerText);
    json->key("questions");
    json->beginArray();
    for (const QuestionNode* q = d.firstQuestion; q; q = q->next) {
        json->beginObject();
        json->key("firstAnswer");
        json->text(q->firstAnswer);
        json->key("secondAnswer");
        json->text(q->secondAnswer);
        json->key("prompt");
        json->text(q->prompt);
        json->key("clue");
        json->text(q->clue);
        json->endObject();
    }
    json->endArray();
}

// ---- Pictures and clips ----

struct MediaResource {
    bool rcdata;  // RT_RCDATA, else "IMG"
    int id;
    uint32_t size;
    const unsigned char* bytes;
};

bool collectMedia(const PeResourceLeaf& leaf, void* context) {
    PeResourceName img, rcdata;
    peNameOfType(KERBO_TYPE_IMG, &img);
    peNameOfType(KERBO_TYPE_RCDATA, &rcdata);
    bool isImg = peSameName(leaf.type, img);
    if ((isImg || peSameName(leaf.type, rcdata)) && !leaf.name.length) {
        static_cast<std::vector<MediaResource>*>(context)->push_back(
            MediaResource{!isImg, leaf.name.id, leaf.bytes ? leaf.size : 0, leaf.bytes});
    }
    return true;
}

// In an audio or video quiz "IMG" 401 to 496 are clips; everything else
// under "IMG" and RT_RCDATA is a picture.
bool isClip(const MediaResource& r, int quizKind) {
    return (quizKind == QuizKindAudio || quizKind == QuizKindVideo) && !r.rcdata && r.id > kQuestionMediaBase &&
           r.id <= kQuestionMediaBase + kMaxQuestions;
}

void writePicture(const MediaResource& r, JsonWriter* json) {
    bool swapped = !r.rcdata && isNibbleSwappedPicture(r.id);
    std::vector<unsigned char> head(r.bytes, r.bytes + (r.size < 16 ? r.size : 16));
    if (swapped) swapNibbles(head.data(), head.data(), static_cast<uint32_t>(head.size()));
    json->beginObject();
    json->key("id");
    json->number(r.id);
    json->key("type");
    json->text(r.rcdata ? "RCDATA" : "IMG");
    json->key("format");
    json->text(pictureFormatName(pictureFormat(head.data(), static_cast<uint32_t>(head.size()))));
    json->key("nibbleSwapped");
    json->boolean(swapped);
    json->key("size");
    json->number(static_cast<long>(r.size));
    json->endObject();
}

void writeClip(const MediaResource& r, JsonWriter* json) {
    json->beginObject();
    json->key("id");
    json->number(r.id);
    json->key("type");
    json->text(sniffClipType(r.bytes, r.size));
    json->key("size");
    json->number(static_cast<long>(r.size));
    json->endObject();
}

void writeMedia(const PeResourceStore& store, int quizKind, JsonWriter* json) {
    std::vector<MediaResource> media;
    peVisitResources(store.image(), collectMedia, &media);
    for (int clips = 0; clips < 2; ++clips) {
        json->key(clips ? "clips" : "pictures");
        json->beginArray();
        for (const MediaResource& r : media) {
            if (isClip(r, quizKind) != (clips == 1)) continue;
            if (clips) {
                writeClip(r, json);
            } else {
                writePicture(r, json);
            }
        }
        json->endArray();
    }
}

int usage() {
    std::fprintf(stderr, "usage: kerbo-pack inspect [--json] Quiz.exe\n");
    return 2;
}

}  // namespace

int runInspectCommand(int argc, char** argv) {
    const char* path = nullptr;
    bool asJson = false;
    for (int i = 0; i < argc; ++i) {
        if (std::strcmp(argv[i], "--json") == 0) {
            asJson = true;
            continue;
        }
        if (path || argv[i][0] == '-') return usage();
        path = argv[i];
    }
    if (!path) return usage();

    std::vector<unsigned char> bytes;
    std::string error;
    if (!readWholeFile(path, &bytes, &error)) {
        std::fprintf(stderr, "%s: cannot read: %s\n", path, error.c_str());
        return 1;
    }
    PeResourceStore store(bytes.data(), static_cast<uint32_t>(bytes.size()));
    if (store.error() != PeOk) {
        std::fprintf(stderr, "%s: %s\n", path, peErrorText(store.error()));
        return 1;
    }
    QuizDocument* document = createQuizDocument();
    if (!document) {
        std::fprintf(stderr, "kerbo-pack: out of memory\n");
        return 1;
    }
    PackageLoadReport report = {};
    clearLastMessage();
    loadQuizPackage(document, store, &report);
    const ShownMessage* message = lastMessage();
    if (!asJson) {
        const std::string summary = quizSummary(*document, report, message ? message->text : nullptr, store);
        destroyQuizDocument(document);
        std::fwrite(summary.data(), 1, summary.size(), stdout);
        return std::fflush(stdout) == 0 ? 0 : 1;
    }

    JsonWriter json;
    json.beginObject();
    writeDocument(*document, &json);
    json.key("message");
    if (message) {
        json.text(message->text);
    } else {
        json.null();
    }
    json.key("linkBlockFound");
    json.boolean(store.hasLinkBlock());
    json.key("builtInQuiz");
    json.boolean(report.builtInQuiz);
    json.key("storage");
    json.beginObject();
    json.key("questions");
    json.text(resourceStorageName(report.questions));
    json.key("codes");
    json.text(resourceStorageName(report.codes));
    json.endObject();
    writeMedia(store, document->quizKind, &json);
    json.endObject();
    destroyQuizDocument(document);

    std::fwrite(json.result().data(), 1, json.result().size(), stdout);
    return std::fflush(stdout) == 0 ? 0 : 1;
}
