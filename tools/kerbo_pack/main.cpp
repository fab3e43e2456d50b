// kerbo-pack, the authoring tool of Kerbo quizzes.
#include <cstdio>
#include <cstring>

#include "kerbo_version.h"
#include "package/message_box.h"
#include "tools/kerbo_pack/commands.h"

static int usage() {
    std::fprintf(stderr,
                 "usage:\n"
                 "  kerbo-pack build QUIZ -o Quiz.exe [--scramble] [--strict] [--player PLAYER.exe]\n"
                 "  kerbo-pack check QUIZ\n"
                 "  kerbo-pack inspect [--json] Quiz.exe\n"
                 "  kerbo-pack try EXPECTED TYPED\n"
                 "  kerbo-pack try --batch  < pairs.tsv\n"
                 "  kerbo-pack try --quiz QUIZ\n"
                 "  kerbo-pack picture FILE.png -o OUT.bmp [--fit W H]\n"
                 "  kerbo-pack new DIR --kind text|picture|audio|video\n"
                 "  kerbo-pack unpack QUIZ.exe -o DIR\n"
                 "  kerbo-pack preview QUIZ.quiz|QUIZ.exe -o page.png [--solved] [--full] [--player PLAYER.exe]\n"
                 "  kerbo-pack --version\n");
    return 2;
}

int main(int argc, char** argv) {
    if (argc < 2) return usage();
    // The player's loader reports problems in message boxes; the tool prints
    // them instead.
    setMessageBoxesShown(false);
    const char* command = argv[1];
    if (std::strcmp(command, "--version") == 0) {
        std::printf("kerbo-pack %s\n", KERBO_VERSION_TEXT);
        return 0;
    }
    if (std::strcmp(command, "build") == 0) return runBuildCommand(argc - 2, argv + 2);
    if (std::strcmp(command, "inspect") == 0) return runInspectCommand(argc - 2, argv + 2);
    if (std::strcmp(command, "try") == 0) return runTryCommand(argc - 2, argv + 2);
    if (std::strcmp(command, "picture") == 0) return runPictureCommand(argc - 2, argv + 2);
    if (std::strcmp(command, "check") == 0) return runCheckCommand(argc - 2, argv + 2);
    // The authors' round trip.
    if (std::strcmp(command, "new") == 0) return runNewCommand(argc - 2, argv + 2);
    if (std::strcmp(command, "unpack") == 0) return runUnpackCommand(argc - 2, argv + 2);
    if (std::strcmp(command, "preview") == 0) return runPreviewCommand(argc - 2, argv + 2);
    return usage();
}
