// kerbo-pack build QUIZ -o Quiz.exe [--scramble] [--player PLAYER.exe]
//
// Turns a quiz description into a quiz executable: a copy of the player with
// the quiz's resources added (pe_resources.h) and its link block written.
// It first runs every check of `kerbo-pack check` (quiz_checks.h) and prints
// what they find the same way; with an error (with --strict, a warning too)
// nothing is written. An output that names the description, a media file or
// the player is refused. The executable is written to a temporary file and
// renamed at the end. Before writing, the result is read back with the
// player's own loader.
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "media/clip_type.h"
#include "package/message_box.h"
#include "package/package_format.h"
#include "package/package_loader.h"
#include "package/package_writer.h"
#include "package/pe_resource_store.h"
#include "resources/resource_ids.h"
#include "tools/kerbo_pack/commands.h"
#include "tools/kerbo_pack/icon_file.h"
#include "tools/kerbo_pack/pe_resources.h"
#include "tools/kerbo_pack/quiz_checks.h"
#include "tools/kerbo_pack/quiz_description.h"
#include "tools/kerbo_pack/quiz_media.h"
#include "tools/kerbo_pack/tool_files.h"

namespace {

const char kPlayerName[] = "kerbo-player.exe";

struct BuildOptions {
    std::string description;
    std::string output;
    std::string player;  // empty: looked for beside kerbo-pack
    bool scramble;
    bool strict;  // warnings refuse the build too
};

// One resource to add, owning its bytes.
struct PackedResource {
    const char* type;
    int id;
    std::vector<unsigned char> bytes;
};

class QuizBuild {
public:
    explicit QuizBuild(const BuildOptions& options) : options_(options), document_(createQuizDocument()) {}
    ~QuizBuild() { destroyQuizDocument(document_); }
    QuizBuild(const QuizBuild&) = delete;
    QuizBuild& operator=(const QuizBuild&) = delete;

    bool run() {
        if (!document_) return refuse(0, "out of memory");
        return readDescription() && packPackage() && packMedia() && packExecutable() && checkWithLoader() &&
               writeOutput();
    }

private:
    // ---- Refusals: FILE:LINE: error: reason ----

    bool refuse(const std::string& file, int line, const std::string& reason) {
        Diagnostics refusal;
        refusal.items.push_back(Diagnostic{DiagnosticError, line, reason, file});
        printDiagnostics(stderr, refusal, options_.description, false);
        return false;
    }
    bool refuse(int line, const std::string& reason) { return refuse(options_.description, line, reason); }

    // ---- The description and its checks ----

    bool readDescription() {
        Diagnostics diagnostics;
        checkQuizFile(options_.description, &quiz_, &diagnostics);
        checkOutputIsNoInput(&diagnostics);
        printDiagnostics(stderr, diagnostics, options_.description, false);
        if (diagnostics.errors() > 0) return false;
        if (options_.strict && diagnostics.warnings() > 0) {
            std::fprintf(stderr, "%s: not built: --strict refuses warnings\n", options_.description.c_str());
            return false;
        }
        fillQuizDocument(quiz_, document_);
        return true;
    }

    // Writing over an input would lose it.
    void checkOutputIsNoInput(Diagnostics* diagnostics) {
        const std::string& out = options_.output;
        const std::string media = directoryOf(options_.description);
        const std::string refusal = "-o '" + out + "' names ";
        const std::string remedy = "; choose another output file";
        if (sameFile(out, options_.description)) diagnostics->error(0, refusal + "this description" + remedy);
        if (!options_.player.empty() && sameFile(out, options_.player))
            diagnostics->error(0, refusal + "the player " + options_.player + remedy);
        for (const QuestionDescription& q : quiz_.questions) {
            for (const MediaReference* m : {&q.picture, &q.solvedPicture, &q.clip}) {
                if (!m->path.empty() && sameFile(out, resolvePath(media, m->path)))
                    diagnostics->error(m->line, refusal + "'" + m->path + "', a file of this quiz" + remedy);
            }
        }
    }

    // ---- Resources 104 and 105 and the link block ----

    bool packResource(const std::vector<unsigned char>& decoded, int id) {
        PackedResource r = {KERBO_TYPE_PATCH, id, {}};
        PackageWriteError error = encodeResource(decoded, options_.scramble, &r.bytes);
        if (error != PackageWriteOk) return refuse(0, packageWriteErrorText(error));
        resources_.push_back(r);
        return true;
    }

    bool packPackage() {
        std::vector<unsigned char> questions, codes;
        PackageWriteError error = buildQuestionsBytes(*document_, &questions);
        if (error == PackageWriteOk) error = buildCodesBytes(*document_, &codes);
        if (error != PackageWriteOk) return refuse(0, packageWriteErrorText(error));
        if (!packResource(questions, kQuestionsResourceId) || !packResource(codes, kCodesResourceId)) return false;

        error = encodeLinkBlock(document_->linkText, document_->footerText, linkBlock_);
        if (error == PackageTooLarge) {
            int line = quiz_.linkLine > quiz_.footerLine ? quiz_.linkLine : quiz_.footerLine;
            return refuse(line, "the link and footer texts do not compress into the 70-byte link block; shorten them");
        }
        if (error != PackageWriteOk) return refuse(0, packageWriteErrorText(error));
        return true;
    }

    // ---- Pictures and clips ----

    bool readMedia(const MediaReference& media, std::vector<unsigned char>* bytes) {
        std::string path = resolvePath(directoryOf(options_.description), media.path);
        std::string error;
        if (!readWholeFile(path, bytes, &error)) return refuse(media.line, "cannot read '" + media.path + "': " + error);
        if (bytes->empty()) return refuse(media.line, "'" + media.path + "' is empty");
        return true;
    }

    // JPEG and GIF go into "IMG", nibble-swapped above id 10000; PNG into
    // RT_RCDATA as it is.
    bool packPicture(const MediaReference& media, int id) {
        PackedResource r = {KERBO_TYPE_IMG, id, {}};
        if (!readMedia(media, &r.bytes)) return false;
        PictureFormat format = pictureFormat(r.bytes.data(), static_cast<uint32_t>(r.bytes.size()));
        if (format == PicturePng) {
            r.type = KERBO_TYPE_RCDATA;
        } else if (isNibbleSwappedPicture(id)) {
            swapNibbles(r.bytes.data(), r.bytes.data(), static_cast<uint32_t>(r.bytes.size()));
        }
        resources_.push_back(r);
        ++pictures_;
        return true;
    }

    // Pictures and clips were checked with the description (quiz_checks.h).
    bool packClip(const MediaReference& media, int id) {
        PackedResource r = {KERBO_TYPE_IMG, id, {}};
        if (!readMedia(media, &r.bytes)) return false;
        resources_.push_back(r);
        ++clips_;
        return true;
    }

    bool packMedia() {
        for (size_t i = 0; i < quiz_.questions.size(); ++i) {
            const QuestionDescription& q = quiz_.questions[i];
            int n = static_cast<int>(i) + 1;
            if (!q.picture.path.empty() && !packPicture(q.picture, kQuestionMediaBase + n)) return false;
            // A solved picture that the answer mode does not show stays out.
            if (!q.solvedPicture.path.empty() && answerModeShowsSolvedPicture(quiz_.answerMode) &&
                !packPicture(q.solvedPicture, kSolvedPictureBase + n))
                return false;
            if (!q.clip.path.empty() && !packClip(q.clip, kQuestionMediaBase + n)) return false;
        }
        return true;
    }

    // ---- The application icon ----

    static bool highestIconId(const PeResourceLeaf& leaf, void* context) {
        int* highest = static_cast<int*>(context);
        if (leaf.type.length == 0 && leaf.type.id == 3 && leaf.name.length == 0 && leaf.name.id > *highest)
            *highest = leaf.name.id;
        return true;
    }

    // icon: FILE.ico replaces the player's application icon group IDI_QUIZ
    // (the first group, which Explorer shows); its images become RT_ICON
    // resources numbered after the player's own.
    bool packIcon(const std::vector<unsigned char>& player) {
        const MediaReference& icon = quiz_.icon;
        if (icon.path.empty()) return true;
        PackedResource file = {"", 0, {}};
        if (!readMedia(icon, &file.bytes)) return false;
        std::vector<IconImage> images;
        std::string reason;
        if (!parseIconFile(file.bytes.data(), static_cast<uint32_t>(file.bytes.size()), &images, &reason))
            return refuse(icon.line, "icon: '" + icon.path + "': " + reason);
        PeImage image;
        int highest = 0;
        if (parsePeImage(player.data(), static_cast<uint32_t>(player.size()), &image) == PeOk)
            peVisitResources(image, highestIconId, &highest);
        if (highest + static_cast<int>(images.size()) > 65535)
            return refuse(options_.player, 0, "no free icon resource ids left");
        for (size_t i = 0; i < images.size(); ++i) {
            const unsigned char* bytes = images[i].bytes;
            resources_.push_back(PackedResource{"#3", highest + 1 + static_cast<int>(i),
                                                std::vector<unsigned char>(bytes, bytes + images[i].size)});
        }
        resources_.push_back(PackedResource{"#14", IDI_QUIZ, iconGroupData(images, highest + 1)});
        return true;
    }

    // ---- The executable ----

    bool findPlayer(std::vector<unsigned char>* bytes) {
        std::string error;
        if (!options_.player.empty()) {
            if (readWholeFile(options_.player, bytes, &error)) return true;
            return refuse(options_.player, 0, "cannot read the player: " + error);
        }
        std::string here = toolDirectory();
        if (!here.empty()) {
            const std::string candidates[] = {here + kPlayerName, here + ".." + here.back() + kPlayerName};
            for (const std::string& path : candidates) {
                if (readWholeFile(path, bytes, &error)) {
                    options_.player = path;
                    return true;
                }
            }
        }
        return refuse(kPlayerName, 0, "not found beside kerbo-pack or in its parent directory; give --player PATH");
    }

    bool packExecutable() {
        std::vector<unsigned char> player;
        if (!findPlayer(&player) || !packIcon(player)) return false;
        std::vector<NewResource> added;
        for (const PackedResource& r : resources_) {
            added.push_back(NewResource{r.type, r.id, r.bytes.data(), static_cast<uint32_t>(r.bytes.size())});
        }
        PeError parseError = PeOk;
        PeWriteError error = addResources(player.data(), static_cast<uint32_t>(player.size()), added.data(),
                                          static_cast<int>(added.size()), &executable_, &parseError);
        if (error == PeWriteOk) error = writeLinkBlock(&executable_, linkBlock_);
        if (error == PeWriteUnreadable && parseError != PeOk) return refuse(options_.player, 0, peErrorText(parseError));
        if (error != PeWriteOk) return refuse(options_.player, 0, peWriteErrorText(error));
        return true;
    }

    // The player's own loader must read back what was packed, each resource
    // the way it was stored. The loader tries the stored bytes as plain LZW
    // data first; scrambled resources are written so that they never pass
    // for plain data (lzwEncodeForScrambling), and this check holds the tool
    // to that.
    bool checkWithLoader() {
        PeResourceStore store(executable_.data(), static_cast<uint32_t>(executable_.size()));
        QuizDocument* loaded = createQuizDocument();
        if (!loaded) return refuse(0, "out of memory");
        PackageLoadReport report = {};
        clearLastMessage();
        loadQuizPackage(loaded, store, &report);
        destroyQuizDocument(loaded);
        const ShownMessage* message = lastMessage();
        if (message) return refuse(0, std::string("the built quiz does not load: ") + message->text);
        ResourceStorage expected = options_.scramble ? StorageScrambled : StoragePlain;
        const char* misread = report.questions != expected ? "questions resource (104)"
                              : report.codes != expected   ? "codes resource (105)"
                                                           : nullptr;
        if (misread) {
            return refuse(0, std::string("internal error: the ") + misread +
                                 " does not load the way it was stored; build without --scramble and report it");
        }
        return true;
    }

    bool writeOutput() {
        std::string error;
        if (!writeFileReplacing(options_.output, executable_, true, &error))
            return refuse(options_.output, 0, "cannot write: " + error);
        std::printf("%s: %s quiz, %d question%s, %d picture%s, %d clip%s%s\n", options_.output.c_str(),
                    quizKindName(quiz_.quizKind), document_->questionCount, document_->questionCount == 1 ? "" : "s",
                    pictures_, pictures_ == 1 ? "" : "s", clips_, clips_ == 1 ? "" : "s",
                    options_.scramble ? ", scrambled" : "");
        return true;
    }

    BuildOptions options_;
    QuizDocument* document_;
    QuizDescription quiz_;
    std::vector<PackedResource> resources_;
    unsigned char linkBlock_[kLinkBlockSize] = {};
    std::vector<unsigned char> executable_;
    int pictures_ = 0;
    int clips_ = 0;
};

int usage() {
    std::fprintf(stderr, "usage: kerbo-pack build QUIZ -o Quiz.exe [--scramble] [--strict] [--player PLAYER.exe]\n");
    return 2;
}

}  // namespace

int runBuildCommand(int argc, char** argv) {
    BuildOptions options = {};
    for (int i = 0; i < argc; ++i) {
        std::string arg = argv[i];
        bool hasValue = i + 1 < argc;
        if (arg == "-o" && hasValue) {
            options.output = argv[++i];
        } else if (arg == "--player" && hasValue) {
            options.player = argv[++i];
        } else if (arg == "--scramble") {
            options.scramble = true;
        } else if (arg == "--strict") {
            options.strict = true;
        } else if (arg[0] != '-' && options.description.empty()) {
            options.description = arg;
        } else {
            return usage();
        }
    }
    if (options.description.empty() || options.output.empty()) return usage();
    QuizBuild build(options);
    return build.run() ? 0 : 1;
}
