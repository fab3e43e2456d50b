// kerbo-pack unpack QUIZ.exe -o DIR
//
// Gives back an editable quiz from a quiz executable: DIR/quiz.quiz, written
// from what the player's own loader reads (description_writer.h), and
// DIR/media/ with every picture and clip of the questions, named after the
// question with the extension of its real format (solved-state pictures
// nibble-swapped back). Resources stored plain or scrambled are read alike;
// a comment of the description says which were scrambled.
//
// An executable kerbo-pack did not build has no marker before its link
// block: the block is looked for as 70 bytes of the initialised data that
// decode as a link block, and when none is found the link and footer are
// left empty, with a warning.
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "media/clip_type.h"
#include "package/lzw_decoder.h"
#include "package/message_box.h"
#include "package/package_format.h"
#include "package/package_loader.h"
#include "package/package_writer.h"
#include "package/pe_resource_store.h"
#include "tools/kerbo_pack/commands.h"
#include "tools/kerbo_pack/cp1252.h"
#include "tools/kerbo_pack/description_writer.h"
#include "tools/kerbo_pack/pe_resources.h"
#include "tools/kerbo_pack/quiz_description.h"
#include "tools/kerbo_pack/quiz_media.h"
#include "tools/kerbo_pack/tool_directories.h"
#include "tools/kerbo_pack/tool_files.h"

namespace {

enum {
    kSectionCharacteristics = 36,     // offset in a section header
    kInitialisedData = 0x00000040,    // IMAGE_SCN_CNT_INITIALIZED_DATA
};

// How well 70 bytes read as a link block: -1 when they do not decode as
// one (two bytes, then two texts of printable characters that fit their
// fields, each ended by "|"), else the number of characters of the texts.
int linkBlockScore(const unsigned char* block) {
    unsigned char* output = nullptr;
    uint32_t length = 0;
    bool ok = lzwDecode(block, kLinkBlockSize, &output, &length) == LzwOk && length >= kLinkTextOffset + 2;
    const int capacities[] = {kLinkTextCapacity, kFooterTextCapacity};
    uint32_t at = kLinkTextOffset;
    int characters = 0;
    for (int t = 0; t < 2 && ok; ++t) {
        int n = 0;
        while (at < length && output[at] != kPackageTextEnd && output[at] >= 0x20 && n < capacities[t]) ++at, ++n;
        ok = at < length && output[at] == kPackageTextEnd && n < capacities[t];
        characters += n;
        ++at;
    }
    lzwFree(output);
    return ok ? characters : -1;
}

// The 70 bytes of the sections of initialised data that read best as a link
// block (the longest texts; the first of equals); null when none does. The
// section of the resource tree is passed over. Short runs of data decode as
// a link block by chance now and then, with texts of a few characters.
const unsigned char* searchLinkBlock(const PeImage& image) {
    const unsigned char* best = nullptr;
    int bestScore = -1;
    PeSection s;
    for (uint32_t i = 0; peSection(image, i, &s); ++i) {
        uint32_t header = image.sectionTableOffset + i * kPeSectionHeaderSize + kSectionCharacteristics;
        uint32_t flags = 0;
        for (int b = 3; b >= 0; --b) flags = flags << 8 | image.bytes[header + b];
        const bool holdsResources =
            image.resourceRva >= s.virtualAddress && image.resourceRva - s.virtualAddress < s.virtualSize;
        if (!(flags & kInitialisedData) || holdsResources || s.rawOffset > image.size ||
            s.rawSize > image.size - s.rawOffset)
            continue;
        for (uint32_t at = 0; at + kLinkBlockSize <= s.rawSize; ++at) {
            int score = linkBlockScore(image.bytes + s.rawOffset + at);
            if (score > bestScore) {
                bestScore = score;
                best = image.bytes + s.rawOffset + at;
            }
        }
    }
    return best;
}

// The executable's resources with a link block found elsewhere.
class FoundLinkBlockStore : public ResourceStore {
public:
    FoundLinkBlockStore(const PeResourceStore& store, const unsigned char* block) : store_(store), block_(block) {}
    ResourceBytes find(const char* type, int id) const override { return store_.find(type, id); }
    const unsigned char* linkBlock() const override { return block_; }

private:
    const PeResourceStore& store_;
    const unsigned char* block_;
};

struct MediaFile {
    std::string path;  // relative to DIR, with "/"
    std::vector<unsigned char> bytes;
};

class Unpack {
public:
    Unpack(const std::string& input, const std::string& output) : input_(input), output_(output) {}

    int run() {
        std::string error;
        if (!readWholeFile(input_, &bytes_, &error)) return fail(input_, "cannot read: " + error);
        PeResourceStore store(bytes_.data(), static_cast<uint32_t>(bytes_.size()));
        if (store.error() != PeOk) return fail(input_, peErrorText(store.error()));
        DirectoryState state = directoryState(output_);
        if (state == DirectoryNotEmpty || state == DirectoryNotADirectory)
            return fail(output_, "exists and is not an empty directory; give a new or empty one");

        const unsigned char* block = linkBlock(store);
        FoundLinkBlockStore resources(store, block);
        QuizDocument* document = createQuizDocument();
        if (!document) return fail(input_, "out of memory");
        PackageLoadReport report = {};
        clearLastMessage();
        loadQuizPackage(document, resources, &report);
        const ShownMessage* message = lastMessage();
        int status = 0;
        if (report.builtInQuiz) {
            status = fail(input_, "carries no quiz: the questions resource \"PATCH\" 104 is missing");
        } else if (report.questions == StorageUnreadable || !report.linkBlockDecoded) {
            status = fail(input_, std::string("the player cannot read its quiz: ") + cp1252ToUtf8(message->text));
        } else {
            if (report.codes == StorageMissing || report.codes == StorageUnreadable)
                warnings_.warning(0, "the codes resource \"PATCH\" 105 does not decode; the description has no code");
            collectMedia(*document, store);
            status = write(*document, report);
        }
        destroyQuizDocument(document);
        return status;
    }

private:
    int fail(const std::string& file, const std::string& reason) {
        std::fprintf(stderr, "%s: error: %s\n", file.c_str(), reason.c_str());
        return 1;
    }

    // The marked block of a kerbo-pack build, else one found in the data,
    // else an empty link and footer.
    const unsigned char* linkBlock(const PeResourceStore& store) {
        if (store.hasLinkBlock()) return store.linkBlock();
        const unsigned char* found = searchLinkBlock(store.image());
        if (found) return found;
        warnings_.warning(0, "no link block found in the executable's data; link and footer are left empty");
        if (encodeLinkBlock("", "", emptyBlock_) != PackageWriteOk) std::memset(emptyBlock_, 0, kLinkBlockSize);
        return emptyBlock_;
    }

    // ---- Pictures and clips ----

    static std::string lower(const char* text) {
        std::string s = text;
        for (char& c : s) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
        return s;
    }

    // A picture of question n from "IMG" (unswapped above 10000) or from
    // RT_RCDATA; "" when the question has none.
    std::string picture(const PeResourceStore& store, int id, const std::string& name) {
        bool rcdata = false;
        ResourceBytes r = findPicture(store, id, &rcdata);
        if (!r.bytes) return "";
        MediaFile f;
        f.bytes.assign(r.bytes, r.bytes + r.size);
        if (!rcdata && isNibbleSwappedPicture(id))
            swapNibbles(f.bytes.data(), f.bytes.data(), static_cast<uint32_t>(f.bytes.size()));
        PictureFormat format = pictureFormat(f.bytes.data(), r.size);
        std::string extension = format == PictureJpeg ? "jpg" : lower(pictureFormatName(format));
        if (format == PictureUnknown) {
            extension = "bin";
            warnings_.warning(0, "picture " + std::to_string(id) + " is not a JPEG, GIF or PNG file; kept as " +
                                     name + ".bin");
        } else if (format == PicturePng && !rcdata) {
            warnings_.warning(0, "picture " + std::to_string(id) +
                                     " is a PNG file in \"IMG\", which the player cannot show; kerbo-pack puts PNG "
                                     "files in RT_RCDATA");
        }
        f.path = "media/" + name + "." + extension;
        files_.push_back(f);
        return f.path;
    }

    std::string clip(const PeResourceStore& store, int id, const std::string& name) {
        ResourceBytes r = store.find(KERBO_TYPE_IMG, id);
        if (!r.bytes || r.size == 0) return "";
        MediaFile f;
        f.bytes.assign(r.bytes, r.bytes + r.size);
        std::string type = sniffClipType(r.bytes, r.size);
        if (type == "XXX") {
            type = "bin";
            warnings_.warning(0, "clip " + std::to_string(id) + " is of no type the player recognises; kept as " +
                                     name + ".bin");
        }
        f.path = "media/" + name + "." + lower(type.c_str());
        files_.push_back(f);
        return f.path;
    }

    void collectMedia(const QuizDocument& d, const PeResourceStore& store) {
        int n = 1;
        for (const QuestionNode* q = d.firstQuestion; q; q = q->next, ++n) {
            QuestionMediaFiles m;
            const std::string name = "question-" + std::to_string(n);
            if (d.quizKind == QuizKindPicture) {
                m.picture = picture(store, kQuestionMediaBase + n, name);
                m.solvedPicture = picture(store, kSolvedPictureBase + n, name + "-solved");
            } else if (d.quizKind == QuizKindAudio || d.quizKind == QuizKindVideo) {
                m.clip = clip(store, kQuestionMediaBase + n, name);
            }
            media_.push_back(m);
        }
    }

    // ---- The files ----

    int write(const QuizDocument& d, const PackageLoadReport& report) {
        std::vector<std::string> comments = {"Unpacked by kerbo-pack from " + input_ + "."};
        const bool questions = report.questions == StorageScrambled, codes = report.codes == StorageScrambled;
        if (questions || codes) {
            comments.push_back(std::string("Its ") +
                               (questions && codes ? "questions (104) and codes (105) resources were"
                                : questions        ? "questions resource (104) was"
                                                   : "codes resource (105) was") +
                               " stored scrambled: build with --scramble to do the same.");
        }
        const std::string description = writeQuizDescription(d, media_, comments, &warnings_);
        files_.insert(files_.begin(), MediaFile{"quiz.quiz", std::vector<unsigned char>(description.begin(),
                                                                                        description.end())});
        const std::string root = withSeparator(output_);
        std::string error;
        if (!makeDirectories(root + "media", &error)) return fail(output_, "cannot make the directory: " + error);
        for (const MediaFile& f : files_) {
            if (!writeFileReplacing(resolvePath(root, f.path), f.bytes, false, &error))
                return fail(root + f.path, "cannot write: " + error);
        }
        printDiagnostics(stderr, warnings_, root + "quiz.quiz", false);
        std::printf("%squiz.quiz: %s quiz, %d questions, %d media file%s%s\n", root.c_str(),
                    quizKindName(d.quizKind), d.questionCount, static_cast<int>(files_.size()) - 1,
                    files_.size() == 2 ? "" : "s", questions || codes ? ", scrambled" : "");
        return 0;
    }

    std::string input_, output_;
    std::vector<unsigned char> bytes_;
    unsigned char emptyBlock_[kLinkBlockSize] = {};
    std::vector<QuestionMediaFiles> media_;
    std::vector<MediaFile> files_;
    Diagnostics warnings_;
};

}  // namespace

int runUnpackCommand(int argc, char** argv) {
    std::string input, output;
    for (int i = 0; i < argc; ++i) {
        if (std::strcmp(argv[i], "-o") == 0 && i + 1 < argc) {
            output = argv[++i];
        } else if (argv[i][0] != '-' && input.empty()) {
            input = argv[i];
        } else {
            input.clear();
            break;
        }
    }
    if (input.empty() || output.empty()) {
        std::fprintf(stderr, "usage: kerbo-pack unpack QUIZ.exe -o DIR\n");
        return 2;
    }
    return Unpack(input, output).run();
}
