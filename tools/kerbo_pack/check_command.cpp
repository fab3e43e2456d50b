// kerbo-pack check QUIZ
//
// Reads a description and its media, as `build` would, and reports every
// problem at once (diagnostics.h), without a player and without writing
// anything. Exit code 1 with any error, else 0.
#include <cstdio>
#include <string>
#include <vector>

#include "tools/kerbo_pack/commands.h"
#include "tools/kerbo_pack/quiz_checks.h"
#include "tools/kerbo_pack/tool_files.h"

bool checkQuizText(const std::string& text, const std::string& mediaDirectory, QuizDescription* quiz,
                   Diagnostics* diagnostics) {
    const int errorsBefore = diagnostics->errors();
    // The later checks look only at what the parser could read: after a
    // parse error they may find less, never a false fault.
    readQuizDescription(text.data(), text.size(), quiz, diagnostics);
    checkQuizDescription(*quiz, diagnostics);
    checkTextWidths(*quiz, diagnostics);
    checkQuizMedia(*quiz, mediaDirectory, diagnostics);
    return diagnostics->errors() == errorsBefore;
}

bool checkQuizFile(const std::string& path, QuizDescription* quiz, Diagnostics* diagnostics) {
    std::vector<unsigned char> bytes;
    std::string error;
    if (!readWholeFile(path, &bytes, &error)) {
        diagnostics->error(0, "cannot read the description: " + error);
        return false;
    }
    const std::string text(bytes.begin(), bytes.end());
    return checkQuizText(text, directoryOf(path), quiz, diagnostics);
}

int runCheckCommand(int argc, char** argv) {
    if (argc != 1 || argv[0][0] == '-') {
        std::fprintf(stderr, "usage: kerbo-pack check QUIZ\n");
        return 2;
    }
    QuizDescription quiz;
    Diagnostics diagnostics;
    checkQuizFile(argv[0], &quiz, &diagnostics);
    printDiagnostics(stderr, diagnostics, argv[0], true);
    return diagnostics.errors() > 0 ? 1 : 0;
}
