// kerbo-pack try, run as the author runs it.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace {

struct PackRun {
    int exitCode;
    std::string out;
    std::string err;
};

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

// Runs kerbo-pack with the (shell-quoted) arguments, standard input from `input`.
PackRun runPack(const std::string& arguments, const std::string& input = "") {
    static int counter = 0;
    const std::string base =
        testing::TempDir() + "kerbo_try_" + std::to_string(getpid()) + "_" + std::to_string(++counter);
    std::ofstream(base + ".in", std::ios::binary) << input;
    const std::string command = std::string(KERBO_PACK) + " try " + arguments + " <" + base + ".in >" + base +
                                ".out 2>" + base + ".err";
    const int status = std::system(command.c_str());
    PackRun run{WIFEXITED(status) ? WEXITSTATUS(status) : -1, readFile(base + ".out"), readFile(base + ".err")};
    for (const char* ext : {".in", ".out", ".err"}) std::remove((base + ext).c_str());
    return run;
}

TEST(TryCommand, JudgesOnePairInUtf8) {
    PackRun r = runPack("'Christophe Colomb' 'Cristophe Kolomp'");
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(r.out, "y a de l'id\xC3\xA9" "e\n");  // é as UTF-8
    r = runPack("'\xC3\x89lan' '\xC3\xA9lan'");        // É / é: one byte each, not folded
    EXPECT_EQ(r.out, "Quasiment\n");
    r = runPack("'\xE2\x82\xAC" "uros' '\xE2\x82\xAC" "UROS'");  // € is one 1252 byte
    EXPECT_EQ(r.out, "BRAVO\n");
    r = runPack("-- --batch --batch");
    EXPECT_EQ(r.out, "BRAVO\n");
}

TEST(TryCommand, RefusesWhatCodePage1252CannotHold) {
    PackRun r = runPack("'Paris' 'P\xE4\xB8\xADris'");
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_NE(r.err.find("typed text"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("U+4E2D"), std::string::npos) << r.err;
    r = runPack("\"$(printf 'caf\\351')\" cafe");  // 1252 bytes where UTF-8 is expected
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("not valid UTF-8"), std::string::npos) << r.err;
}

TEST(TryCommand, Usage) {
    EXPECT_EQ(runPack("").exitCode, 2);
    EXPECT_EQ(runPack("Paris").exitCode, 2);
    EXPECT_EQ(runPack("a b c").exitCode, 2);
    EXPECT_EQ(runPack("--batch pairs.tsv").exitCode, 2);
}

TEST(TryCommand, BatchPrintsOneVerdictPerLine) {
    const PackRun r = runPack("--batch",
                          "\xEF\xBB\xBF" "Paris\tparis\r\n"  // byte order mark, CRLF
                          "Napoleon Bonaparte\tNapoleon Bonap\n"
                          "Oui\t\n"                          // nothing typed
                          "Lyon\tLy\ton\n"                   // the typed text keeps its tab
                          "Christophe Colomb\tCristophe Kolomp");  // no final line end
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, "BRAVO\nTrop court\n?\nQuasiment\ny a de l'id\xC3\xA9" "e\n");
}

TEST(TryCommand, BatchStopsAtABadLine) {
    PackRun r = runPack("--batch", "Paris\tParsi\nParis Parsi\nRoma\tamor\n");
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.out, "Anagramme\n");
    EXPECT_NE(r.err.find("line 2: no tab"), std::string::npos) << r.err;

    r = runPack("--batch", "Paris\tParis\n\xE2\x84\x96\tx\n");  // № is not in 1252
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.out, "BRAVO\n");
    EXPECT_NE(r.err.find("line 2: expected answer"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("U+2116"), std::string::npos) << r.err;

    EXPECT_EQ(runPack("--batch", "").out, "");
}

}  // namespace
