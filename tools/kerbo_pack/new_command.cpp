// kerbo-pack new DIR --kind text|picture|audio|video
//
// Starts a quiz: writes DIR/quiz.quiz, a commented description that names
// every key, with three questions, and the media files it names, made by the
// tool itself (generated_media.h), so that `kerbo-pack build DIR/quiz.quiz`
// works at once. A DIR that exists and is not empty is refused; nothing is
// written then.
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "tools/kerbo_pack/commands.h"
#include "tools/kerbo_pack/generated_media.h"
#include "tools/kerbo_pack/quiz_description.h"
#include "tools/kerbo_pack/tool_directories.h"
#include "tools/kerbo_pack/tool_files.h"

namespace {

struct TemplateFile {
    std::string path;  // relative to DIR, with "/"
    std::vector<unsigned char> bytes;
};

struct Sample {
    const char* answer;
    const char* prompt;  // text quizzes
    const char* clue;    // other kinds
    Rgb colour;
    int frequency;
};

const Sample kSamples[] = {
    {"rouge", "La couleur des tomates mûres", "Comme une tomate.", {200, 30, 30}, 440},
    {"vert", "La couleur de l'herbe", "Comme une feuille.", {30, 160, 50}, 550},
    {"bleu", "La couleur du ciel sans nuages", "Comme le ciel.", {40, 70, 200}, 660},
};
const int kSampleCount = 3;

const char kHeader[] =
    "# A Kerbo quiz description (UTF-8). Lines starting with # are comments.\n"
    "# Build:  kerbo-pack build quiz.quiz -o Quiz.exe    Check:  kerbo-pack check quiz.quiz\n"
    "# Keys: kind, title, author, explanation, answers, first-answer-label,\n"
    "# second-answer-label, answer-mode, background, link, footer, code, icon; then one\n"
    "# [question] block per question with answer, second-answer, prompt, clue,\n"
    "# picture, solved-picture, clip. Every text is at most 259 characters and\n"
    "# holds no '|'; paths are relative to this file, with / or \\.\n"
    "\n";

// The quiz keys, the same for every kind but its own lines.
std::string quizKeys(int kind) {
    std::string d = std::string("# text, picture, audio or video\nkind: ") + quizKindName(kind) + "\n";
    d += "title: Mon premier quiz\n"
         "author: Moi\n"
         "explanation: Trouvez la couleur de chaque question.\n"
         "# Answer fields per question, 1 or 2 (2: give second-answer: in every question).\n"
         "answers: 1\n";
    if (kind == QuizKindText) {
        d += "# first-answer-label and second-answer-label caption the answer lines of a\n"
             "# picture, audio or video quiz with 'answers: 2'.\n"
             "# first-answer-label: Couleur\n"
             "# second-answer-label: Objet\n"
             "# What a solved question reveals: none, solved-picture, clue,\n"
             "# clue-and-picture, clues-at-end or word-count (a text quiz shows no clues).\n"
             "answer-mode: none\n";
    } else {
        d += "# With 'answers: 2', the captions of the two answer lines:\n"
             "# first-answer-label: Couleur\n"
             "# second-answer-label: Objet\n"
             "# What a solved question reveals: none, solved-picture, clue,\n"
             "# clue-and-picture, clues-at-end or word-count.\n";
        d += kind == QuizKindPicture ? "answer-mode: clue-and-picture\n" : "answer-mode: clue\n";
    }
    d += "# Page colour: R G B (0 to 255 each) or #RRGGBB.\n"
         "background: 51 102 255\n"
         "# The header's link (at most 24 characters) and the footer (42); together\n"
         "# they must compress into 70 bytes, about 55 characters.\n"
         "link: example.org\n"
         "footer: Fait avec Kerbo\n"
         "# The quiz's own icon in Explorer, an .ico file (else the player's):\n"
         "# icon: media/mon-icone.ico\n"
         "# One reward code per score level: the first once one question is solved.\n"
         "code: UN\n"
         "code: DEUX\n"
         "code: BRAVO\n";
    return d;
}

std::string questionBlock(int kind, int n, const Sample& s) {
    const std::string base = "media/question-" + std::to_string(n);
    std::string d = "\n[question]\nanswer: " + std::string(s.answer) + "\n";
    if (n == 1) d += "# second-answer: needs 'answers: 2'\n";
    if (kind == QuizKindText) {
        d += "prompt: " + std::string(s.prompt) + "\n";
        return d;
    }
    if (n == 1) d += "# prompt: is shown in text quizzes only\n";
    d += "clue: " + std::string(s.clue) + "\n";
    if (kind == QuizKindPicture) {
        if (n == 1) d += "# A JPEG, GIF or PNG file; solved-picture: replaces it once the question is solved.\n";
        d += "picture: " + base + ".png\nsolved-picture: " + base + "-solved.png\n";
    } else {
        if (n == 1) d += "# A WAV, MP3 (with an ID3 tag), AVI, MPEG or WMV file.\n";
        d += "clip: " + base + (kind == QuizKindAudio ? ".wav\n" : ".avi\n");
    }
    return d;
}

std::vector<TemplateFile> templateFiles(int kind) {
    std::vector<TemplateFile> files;
    std::string description = kHeader + quizKeys(kind);
    for (int i = 0; i < kSampleCount; ++i) {
        const Sample& s = kSamples[i];
        const int n = i + 1;
        description += questionBlock(kind, n, s);
        const std::string base = "media/question-" + std::to_string(n);
        const Rgb white = {255, 255, 255};
        if (kind == QuizKindPicture) {
            files.push_back({base + ".png", makeDiscPng(120, 120, white, s.colour)});
            files.push_back({base + "-solved.png", makeDiscPng(120, 120, s.colour, white)});
        } else if (kind == QuizKindAudio) {
            files.push_back({base + ".wav", makeToneWav(s.frequency, 600)});
        } else if (kind == QuizKindVideo) {
            files.push_back({base + ".avi", makeDiscAvi(64, 48, 10, white, s.colour)});
        }
    }
    files.insert(files.begin(), TemplateFile{"quiz.quiz", std::vector<unsigned char>(description.begin(),
                                                                                      description.end())});
    return files;
}

int usage() {
    std::fprintf(stderr, "usage: kerbo-pack new DIR --kind text|picture|audio|video\n");
    return 2;
}

}  // namespace

int runNewCommand(int argc, char** argv) {
    std::string directory;
    int kind = -1;
    for (int i = 0; i < argc; ++i) {
        if (std::strcmp(argv[i], "--kind") == 0 && i + 1 < argc) {
            const char* name = argv[++i];
            for (int k = QuizKindText; k <= QuizKindVideo; ++k) {
                if (std::strcmp(name, quizKindName(k)) == 0) kind = k;
            }
            if (kind < 0) {
                std::fprintf(stderr, "kerbo-pack new: error: unknown kind '%s'; use text, picture, audio or video\n",
                             name);
                return 2;
            }
        } else if (argv[i][0] != '-' && directory.empty()) {
            directory = argv[i];
        } else {
            return usage();
        }
    }
    if (directory.empty() || kind < 0) return usage();

    DirectoryState state = directoryState(directory);
    if (state == DirectoryNotEmpty || state == DirectoryNotADirectory) {
        std::fprintf(stderr, "%s: error: %s; give a new or empty directory\n", directory.c_str(),
                     state == DirectoryNotEmpty ? "the directory is not empty" : "exists and is not a directory");
        return 1;
    }
    std::string error;
    const std::string root = withSeparator(directory);
    if (!makeDirectories(root + "media", &error)) {
        std::fprintf(stderr, "%s: error: cannot make the directory: %s\n", directory.c_str(), error.c_str());
        return 1;
    }
    std::vector<TemplateFile> files = templateFiles(kind);
    for (const TemplateFile& f : files) {
        if (!writeFileReplacing(resolvePath(root, f.path), f.bytes, false, &error)) {
            std::fprintf(stderr, "%s: error: cannot write: %s\n", (root + f.path).c_str(), error.c_str());
            return 1;
        }
    }
    std::printf("%squiz.quiz: %s quiz, %d questions, %d media file%s\n", root.c_str(), quizKindName(kind),
                kSampleCount, static_cast<int>(files.size()) - 1, files.size() == 2 ? "" : "s");
    return 0;
}
