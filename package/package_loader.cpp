// The quiz package loader: the link block, then the questions resource
// "PATCH" 104, then the codes resource "PATCH" 105 (layouts in
// package_format.h). Each resource is decoded as stored and, when that
// fails, unscrambled (on a copy: the store's bytes are read-only) and decoded
// again.
//
// The decoded data is read through a PackageReader that never goes past its
// end: data that ends early gives empty texts and leaves the fields whose
// bytes are missing as they were; a text longer than its field is cut.
#include "package/package_loader.h"

#include <cstdlib>
#include <cstring>

#include "package/lzw_decoder.h"
#include "package/message_box.h"
#include "package/package_format.h"

namespace {

const char kCaption[] = "Kerbo";
const char kLinkBlockError[] = "Erreur dans le d\xE9" "cryptage";
const char kQuestionsError[] = "Erreur dans le d\xE9" "cryptage des reponses";
const char kCodesError[] = "Erreur dans le d\xE9" "cryptage des codes";

struct PackageReader {
    unsigned char* bytes;  // the decoded data, released with lzwFree
    uint32_t length;
    uint32_t position;
};

// Moves count bytes on, or to the end of the data.
void skipBytes(PackageReader* r, uint32_t count) {
    r->position = r->length - r->position < count ? r->length : r->position + count;
}

// The next byte, or fallback once the data has ended.
int readByte(PackageReader* r, int fallback) {
    if (r->position >= r->length) return fallback;
    return r->bytes[r->position++];
}

// Copies the bytes up to the next end byte (or the end of the data) into a
// field of the given capacity, keeping what fits, and moves past the end byte
// and the skipAfterEnd bytes that follow it.
void readField(PackageReader* r, unsigned char end, uint32_t skipAfterEnd, char* field, int capacity) {
    char scratch[kTextCapacity];
    int n = 0;
    while (r->position < r->length && r->bytes[r->position] != end) {
        if (n < kTextCapacity - 1) scratch[n++] = static_cast<char>(r->bytes[r->position]);
        ++r->position;
    }
    scratch[n] = '\0';
    copyText(field, capacity, scratch);
    skipBytes(r, 1 + skipAfterEnd);
}

// A text ended by "|".
void readText(PackageReader* r, char* field, int capacity) { readField(r, kPackageTextEnd, 0, field, capacity); }

void skipText(PackageReader* r) {
    char unused[kTextCapacity];
    readText(r, unused, kTextCapacity);
}

// Decodes LZW data; false (with nothing to release) on any failure.
bool decode(const unsigned char* bytes, uint32_t size, PackageReader* decoded) {
    unsigned char* output = nullptr;
    uint32_t length = 0;
    if (lzwDecode(bytes, size, &output, &length) != LzwOk) {
        lzwFree(output);
        return false;
    }
    *decoded = PackageReader{output, length, 0};
    return true;
}

// Decodes a resource as stored, then unscrambled.
ResourceStorage decodeResource(const ResourceBytes& resource, PackageReader* decoded) {
    if (!resource.bytes || resource.size == 0) return StorageMissing;
    if (decode(resource.bytes, resource.size, decoded)) return StoragePlain;
    unsigned char* copy = static_cast<unsigned char*>(std::malloc(resource.size));
    if (!copy) return StorageUnreadable;
    std::memcpy(copy, resource.bytes, resource.size);
    scrambleResource(copy, resource.size);
    bool unscrambled = decode(copy, resource.size, decoded);
    std::free(copy);
    return unscrambled ? StorageScrambled : StorageUnreadable;
}

bool readLinkBlock(QuizDocument* document, const unsigned char* block) {
    PackageReader r;
    if (!block || !decode(block, kLinkBlockSize, &r)) return false;
    skipBytes(&r, kLinkTextOffset);
    readText(&r, document->linkText, kLinkTextCapacity);
    readText(&r, document->footerText, kFooterTextCapacity);
    lzwFree(r.bytes);
    return true;
}

// The quiz shown when the executable carries no questions resource.
void fillBuiltInQuiz(QuizDocument* document) {
    copyText(document->title, kTextCapacity, "Nom du kerbo");
    copyText(document->author, kTextCapacity, "Createur kerbo");
    copyText(document->explanation, kTextCapacity, "Explications du kerbo");
    copyText(document->firstAnswerLabel, kTextCapacity, "TEST");
    copyText(document->secondAnswerLabel, kTextCapacity, "TEST");
    document->answersPerQuestion = 2;
    document->answerMode = 3;
    document->questionCount = 7;
    document->quizKind = QuizKindPicture;
    document->backgroundColor.red = 51;
    document->backgroundColor.green = 102;
    document->backgroundColor.blue = 255;
    replaceBackgroundBrush(document);
    appendQuestion(document, "TEST", "TEST", "emplacement");
    appendQuestion(document, "TEST", "TEST", "emplacement");
}

// Bytes 1 to 3 and the five header texts. A count above 96 is cut to 96; any
// number of answers other than 2 reads and stores one answer per question.
void readQuestionsHeader(QuizDocument* document, PackageReader* r) {
    readByte(r, 0);
    document->quizKind = readByte(r, document->quizKind + 1) - 1;
    int count = readByte(r, 0);
    document->questionCount = count > kMaxQuestions ? kMaxQuestions : count;
    document->answersPerQuestion = readByte(r, document->answersPerQuestion) == 2 ? 2 : 1;
    readText(r, document->title, kTextCapacity);
    readText(r, document->author, kTextCapacity);
    readText(r, document->explanation, kTextCapacity);
    readText(r, document->firstAnswerLabel, kTextCapacity);
    readText(r, document->secondAnswerLabel, kTextCapacity);
}

void readQuestions(QuizDocument* document, PackageReader* r) {
    for (int j = 0; j < document->questionCount; ++j) {
        char firstAnswer[kTextCapacity];
        char secondAnswer[kTextCapacity] = "";
        char prompt[kTextCapacity];
        readText(r, firstAnswer, kTextCapacity);
        if (document->answersPerQuestion == 2) readText(r, secondAnswer, kTextCapacity);
        readText(r, prompt, kTextCapacity);
        appendQuestion(document, firstAnswer, secondAnswer, prompt);
    }
}

// The answer mode and its clue texts: the first text of each question is
// its clue, a second one (mode 3) is skipped.
void readClues(QuizDocument* document, PackageReader* r) {
    document->answerMode = readByte(r, document->answerMode);
    int perQuestion = clueTextsPerQuestion(document->answerMode);
    if (perQuestion == 0) return;
    for (int j = 1; j <= document->questionCount; ++j) {
        QuestionNode* question = questionAt(document, j);
        if (question) {
            readText(r, question->clue, kTextCapacity);
        } else {
            skipText(r);
        }
        if (perQuestion == 2) skipText(r);
    }
}

// Red, green and blue of the page colour and its new brush; a colour cut
// short by the end of the data leaves the page colour as it was.
void readBackgroundColor(QuizDocument* document, PackageReader* r) {
    if (r->length - r->position < 3) return;
    document->backgroundColor.red = static_cast<unsigned char>(readByte(r, 0));
    document->backgroundColor.green = static_cast<unsigned char>(readByte(r, 0));
    document->backgroundColor.blue = static_cast<unsigned char>(readByte(r, 0));
    replaceBackgroundBrush(document);
}

// One line per question: the code up to CR, then CR and the byte after it.
void readRewardCodes(QuizDocument* document, PackageReader* r) {
    for (int k = 0; k < document->questionCount; ++k) readField(r, '\r', 1, document->rewardCodes[k], kTextCapacity);
}

void loadPackage(QuizDocument* document, const ResourceStore& store, PackageLoadReport* report) {
    if (!readLinkBlock(document, store.linkBlock())) {
        showMessage(kLinkBlockError, kCaption, MessageIconNone);
        document->questionCount = 0;
        return;
    }
    report->linkBlockDecoded = true;

    ResourceBytes questions = store.find(KERBO_TYPE_PATCH, kQuestionsResourceId);
    if (!questions.bytes || questions.size == 0) {
        showMessage(kPackageKey, kCaption, MessageIconNone);
        fillBuiltInQuiz(document);
        report->builtInQuiz = true;
        return;
    }
    PackageReader r;
    report->questions = decodeResource(questions, &r);
    if (report->questions == StorageUnreadable) {
        showMessage(kQuestionsError, kCaption, MessageIconNone);
        document->questionCount = 0;
        return;
    }
    readQuestionsHeader(document, &r);
    readQuestions(document, &r);
    readClues(document, &r);
    readBackgroundColor(document, &r);
    lzwFree(r.bytes);

    report->codes = decodeResource(store.find(KERBO_TYPE_PATCH, kCodesResourceId), &r);
    if (report->codes == StorageMissing || report->codes == StorageUnreadable) {
        showMessage(kCodesError, kCaption, MessageIconNone);
        return;
    }
    readRewardCodes(document, &r);
    lzwFree(r.bytes);
}

}  // namespace

void loadQuizPackage(QuizDocument* document, const ResourceStore& store, PackageLoadReport* report) {
    PackageLoadReport found = PackageLoadReport();
    loadPackage(document, store, &found);
    if (report) *report = found;
}
