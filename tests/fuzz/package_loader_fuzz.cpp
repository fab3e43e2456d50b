// The package loader, decoder in front, on fuzzed packages. The input is
//   byte 0        flags (below)
//   byte 1        length of the link part
//   bytes 2-3     length of the questions part, low byte first
//   then          the link part, the questions part, the codes part (the rest)
// Each part is either stored as it is or taken as decoded data and encoded
// (and scrambled) first, so that the parser sees arbitrary decoded data.
#include <cstdint>
#include <cstring>
#include <vector>

#include "package/lzw_encoder.h"
#include "package/package_format.h"
#include "package/package_loader.h"
#include "package/package_writer.h"

enum {
    kEncodeLink = 1,
    kEncodeQuestions = 2,
    kScrambleQuestions = 4,
    kEncodeCodes = 8,
    kScrambleCodes = 16,
    kNoQuestions = 32,
    kNoCodes = 64,
};

static std::vector<unsigned char> stored(const uint8_t* part, size_t size, bool encode, bool scramble) {
    std::vector<unsigned char> bytes(part, part + size);
    if (!encode) return bytes;
    std::vector<unsigned char> encoded;
    encodeResource(bytes, scramble, &encoded);
    return encoded;
}

static void requireSound(const QuizDocument& d) {
    if (d.questionCount < 0 || d.questionCount > kMaxQuestions) __builtin_trap();
    if (d.answersPerQuestion != 1 && d.answersPerQuestion != 2) __builtin_trap();
    int nodes = 0;
    for (const QuestionNode* q = d.firstQuestion; q; q = q->next) {
        if (strnlen(q->firstAnswer, kTextCapacity) == kTextCapacity || strnlen(q->clue, kTextCapacity) == kTextCapacity)
            __builtin_trap();
        ++nodes;
    }
    if (nodes != d.questionCount && nodes != 2) __builtin_trap();  // two nodes: the built-in quiz
    if (strnlen(d.linkText, kLinkTextCapacity) == kLinkTextCapacity ||
        strnlen(d.footerText, kFooterTextCapacity) == kFooterTextCapacity)
        __builtin_trap();
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 4) return 0;
    unsigned flags = data[0];
    size_t linkSize = data[1];
    size_t questionsSize = data[2] | data[3] << 8;
    const uint8_t* part = data + 4;
    size_t left = size - 4;
    if (linkSize > left) linkSize = left;
    if (questionsSize > left - linkSize) questionsSize = left - linkSize;

    MemoryResourceStore store;
    std::vector<unsigned char> link = stored(part, linkSize, flags & kEncodeLink, false);
    if (!link.empty()) store.setLinkBlock(link.data(), static_cast<uint32_t>(link.size()));
    part += linkSize;
    std::vector<unsigned char> questions =
        stored(part, questionsSize, flags & kEncodeQuestions, flags & kScrambleQuestions);
    if (!(flags & kNoQuestions)) {
        store.add(KERBO_TYPE_PATCH, kQuestionsResourceId, questions.data(), static_cast<uint32_t>(questions.size()));
    }
    part += questionsSize;
    std::vector<unsigned char> codes =
        stored(part, left - linkSize - questionsSize, flags & kEncodeCodes, flags & kScrambleCodes);
    if (!(flags & kNoCodes)) {
        store.add(KERBO_TYPE_PATCH, kCodesResourceId, codes.data(), static_cast<uint32_t>(codes.size()));
    }

    QuizDocument* document = createQuizDocument();
    if (!document) return 0;
    PackageLoadReport report;
    loadQuizPackage(document, store, &report);
    requireSound(*document);
    destroyQuizDocument(document);
    return 0;
}
