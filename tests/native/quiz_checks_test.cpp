// kerbo-pack check: each fault of a description gives its one diagnostic, on
// the line of its key; several faults are all reported; the demo and test
// quizzes check without an error; build writes nothing on an error; and
// try --quiz agrees with the player's verdicts.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "page/verdict.h"
#include "tools/kerbo_pack/answer_variants.h"
#include "tools/kerbo_pack/commands.h"
#include "tools/kerbo_pack/cp1252.h"
#include "tools/kerbo_pack/quiz_checks.h"
#include "tools/kerbo_pack/try_quiz.h"

namespace {

void writeFile(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}
std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

const char kJpeg[] = "\xFF\xD8\xFF\xC0\x00\x0B\x08\x00\x01\x00\x01\x01\x01\x11\x00"
                     "\xFF\xDA\x00\x08\x01\x01\x00\x00\x3F\x00\x12\xFF\x00\x34\xFF\xD9";
const char kGif[] = "GIF89a\x01\x00\x01\x00\x80\x00\x00\x00\x00\x00\xFF\xFF\xFF"
                    "\x21\xF9\x04\x00\x00\x00\x00\x00"  // a graphic control extension
                    "\x2C\x00\x00\x00\x00\x01\x00\x01\x00\x00\x02\x02\x44\x01\x00\x3B";
std::string png(const std::string& extraChunk) {
    const char head[] = "\x89PNG\r\n\x1A\n\x00\x00\x00\x0DIHDR\x00\x00\x00\x01\x00\x00\x00\x01\x08\x00\x00\x00\x00"
                        "\x00\x00\x00\x00";
    const char idat[] = "\x00\x00\x00\x0DIDAT\x78\x01\x01\x02\x00\xFD\xFF\x00\x80\x00\x00\x00\x00\x00\x00\x00\x00"
                        "\x00\x00\x00\x00IEND\x00\x00\x00\x00";
    return std::string(head, sizeof head - 1) + extraChunk + std::string(idat, sizeof idat - 1);
}

class QuizChecksTest : public testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/kerbo-check-test-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        dir = std::string(pattern) + "/";
        const std::string jpeg(kJpeg, sizeof kJpeg - 1), gif(kGif, sizeof kGif - 1);
        writeFile(dir + "ok.jpg", jpeg);
        writeFile(dir + "cut.jpg", jpeg.substr(0, 20));                      // inside SOS
        writeFile(dir + "noeoi.jpg", jpeg.substr(0, jpeg.size() - 2));      // data, no EOI
        writeFile(dir + "ok.gif", gif);
        writeFile(dir + "cut.gif", gif.substr(0, gif.size() - 1));          // no trailer
        writeFile(dir + "ok.png", png(""));
        writeFile(dir + "cut.png", png("").substr(0, 45));                  // IDAT cut short
        writeFile(dir + "trns.png", png(std::string("\x00\x00\x00\x02tRNS\x00\x80\x00\x00\x00\x00", 14)));
        writeFile(dir + "text.png", "just some text");
        writeFile(dir + "ok.wav", "RIFF\x10\x01\x02\x03WAVEfmt ");
        writeFile(dir + "song.m4a", std::string("\x00\x00\x00\x20" "ftypM4A \x00\x00\x00\x00", 16));
        writeFile(dir + "song.ogg", "OggS\x00\x02 ogg");
        writeFile(dir + "song.flac", "fLaC\x00\x00\x00\x22");
    }
    void TearDown() override { std::system(("rm -rf '" + dir + "'").c_str()); }

    Diagnostics check(const std::string& text) {
        QuizDescription quiz;
        Diagnostics d;
        checkQuizText(text, dir, &quiz, &d);
        return d;
    }

    std::string dir;
};

std::string listed(const Diagnostics& d) {
    std::string out;
    for (const Diagnostic& x : d.items) out += "  " + formatDiagnostic(x, "q") + "\n";
    return out;
}

TEST_F(QuizChecksTest, EachFaultGivesItsOneDiagnostic) {
    const std::string pic = "kind: picture\n[question]\nanswer: soleil\n";  // 3 lines
    const std::string clue = "kind: picture\nanswer-mode: clue\n[question]\nanswer: soleil\nclue: chaud\n";  // 5
    const std::string audio = "kind: audio\n[question]\nanswer: soleil\n";
    const std::string text = "kind: text\n[question]\nanswer: soleil\n";
    struct Case {
        std::string description;
        DiagnosticSeverity severity;
        int line;
        const char* text;  // the start of the diagnostic's text (it names the key)
    };
    const Case cases[] = {
        // Errors.
        {"kind: text\n", DiagnosticError, 0, "the quiz has no question"},
        {"kind: text\nanswers: 2\n[question]\nanswer: soleil\nsecond-answer: jaune\n", DiagnosticError, 2,
         "answers: 2 in a text quiz"},
        {pic + "picture: cut.jpg\n", DiagnosticError, 4, "picture: 'cut.jpg' is broken: it is cut short"},
        {pic + "picture: noeoi.jpg\n", DiagnosticError, 4, "picture: 'noeoi.jpg' is broken: it is cut short"},
        {pic + "picture: cut.gif\n", DiagnosticError, 4, "picture: 'cut.gif' is broken: it is cut short before its trailer"},
        {pic + "picture: cut.png\n", DiagnosticError, 4, "picture: 'cut.png': the player cannot decode this PNG"},
        {pic + "picture: text.png\n", DiagnosticError, 4, "picture: 'text.png' is not a JPEG, GIF or PNG file"},
        {"kind: picture\nanswer-mode: solved-picture\n[question]\nanswer: soleil\npicture: ok.jpg\n"
         "solved-picture: cut.png\n",
         DiagnosticError, 6, "solved-picture: 'cut.png': the player cannot decode"},
        {audio + "clip: song.m4a\n", DiagnosticError, 4, "clip: 'song.m4a' is an M4A file, which the player would store as .MPG"},
        {audio + "clip: song.ogg\n", DiagnosticError, 4, "clip: 'song.ogg' is an OGG file, which the player does not recognise"},
        {audio + "clip: song.flac\n", DiagnosticError, 4, "clip: 'song.flac' is a FLAC file"},
        {"\xFF\xFEk\x00i\x00", DiagnosticError, 0, "the description is UTF-16 text; save it as UTF-8"},
        {"kind: text\ntitle: caf\xE9\n[question]\nanswer: soleil\n", DiagnosticError, 2,
         "the line is not valid UTF-8 at column 11; save the description as UTF-8"},
        {"kind: text\ntilte: Quiz\n[question]\nanswer: soleil\n", DiagnosticError, 2,
         "unknown key 'tilte'; did you mean 'title'?"},
        {text + "footer: bas\n", DiagnosticError, 4, "'footer' is a quiz key: move it above the first [question]"},
        {"kind: text\nlink: http://www.exemple.fr/qz\nfooter: Une phrase, assez longue, pour le bas: 42!\n"
         "[question]\nanswer: soleil\n",
         DiagnosticError, 3, "link and footer do not compress into the 70-byte link block; shorten them by "},
        // Warnings: judging.
        {"kind: text\n[question]\nanswer: \xC3\x89toile\n", DiagnosticWarning, 3,
         "answer \xC2\xAB\xC3\x89toile\xC2\xBB holds letters outside a-z that have another case, which the player "
         "does not fold: typed \xC2\xAB\xC3\xA9toile\xC2\xBB it gets \"Quasiment\", not \"BRAVO\""},
        {"kind: text\n[question]\nanswer: l\xE2\x80\x99" "ami\n", DiagnosticWarning, 3,
         "answer \xC2\xABl\xE2\x80\x99" "ami\xC2\xBB holds \xC2\xAB\xE2\x80\x99\xC2\xBB, which keyboards do not type by "
         "default: typed \xC2\xABl'ami\xC2\xBB it gets \"Quasiment\""},
        {"kind: text\n[question]\nanswer: la  lune\n", DiagnosticWarning, 3, "answer \xC2\xABla  lune\xC2\xBB holds doubled spaces"},
        {"kind: text\n[question]\nanswer: oui\n", DiagnosticWarning, 3, "answer \xC2\xABoui\xC2\xBB has 3 characters"},
        // Warnings: texts wider than their places, in the player's fonts.
        {"kind: text\ncode: P\xC3\x82QUES-3\n[question]\nanswer: soleil\n", DiagnosticWarning, 2,
         "code is wider than its place (47 pixels): about 7 of its 8 characters show"},
        {"kind: text\nexplanation: Trouvez la capitale de chaque pays d'Europe, puis celle de chaque r\xC3\xA9gion "
         "de France\n[question]\nanswer: soleil\n",
         DiagnosticWarning, 2, "explanation is wider than its place (2 lines of 196 pixels"},
        {text + "prompt: " + std::string(80, 'm') + "\n", DiagnosticWarning, 4,
         "prompt is wider than its place (548 pixels): about 42 of its 80 characters show"},
        // Warnings: what the player ignores or shows otherwise.
        {pic + "prompt: Quoi ?\n", DiagnosticWarning, 4, "prompt is shown in text quizzes only"},
        {text + "clue: chaud\n", DiagnosticWarning, 4, "clue: a text quiz shows no clues"},
        {pic + "clue: chaud\n", DiagnosticWarning, 4, "clue: answer mode none shows no clues"},
        {"kind: picture\nanswer-mode: clue\n[question]\nanswer: soleil\nclue:\n", DiagnosticWarning, 5, "clue is empty"},
        {"kind: picture\nanswer-mode: clue\n[question]\nanswer: soleil\n", DiagnosticWarning, 3, "the question has no clue"},
        {pic + "solved-picture: ok.jpg\n", DiagnosticWarning, 4, "solved-picture: answer mode none shows no solved picture"},
        {"kind: picture\nanswer-mode: solved-picture\n[question]\nanswer: soleil\n", DiagnosticWarning, 3,
         "the question has no solved-picture"},
        {"kind: picture\nfirst-answer-label: Nom\n[question]\nanswer: soleil\n", DiagnosticWarning, 2,
         "first-answer-label is shown only with 'answers: 2'"},
        {pic + "picture: trns.png\n", DiagnosticWarning, 4, "picture: 'trns.png' has transparency (a tRNS chunk)"},
    };
    // One diagnostic of the case's severity, and no other (the link block
    // case also warns that its long link and footer are cut).
    for (const Case& c : cases) {
        const Diagnostics all = check(c.description);
        Diagnostics d;
        for (const Diagnostic& x : all.items) {
            if (x.severity == c.severity || c.severity == DiagnosticWarning) d.items.push_back(x);
        }
        ASSERT_EQ(d.items.size(), 1u) << c.description << "\n" << listed(all);
        EXPECT_EQ(d.items[0].severity, c.severity) << c.description;
        EXPECT_EQ(d.items[0].line, c.line) << c.description;
        EXPECT_EQ(d.items[0].text.compare(0, std::strlen(c.text), c.text), 0) << listed(d);
    }
    // The sound pictures, clips and a clue quiz give nothing at all.
    EXPECT_EQ(check(clue + "picture: ok.gif\n").items.size(), 0u) << listed(check(clue + "picture: ok.gif\n"));
    EXPECT_EQ(check(pic + "picture: ok.png\n").items.size(), 0u);
    EXPECT_EQ(check(audio + "clip: ok.wav\n").items.size(), 0u);
}

// Every cut of a sound picture is an error (of a PNG, up to its image data), and the walkers stay inside
// the bytes they are given (run under ASan), whatever a length byte says.
TEST(PictureChecks, EveryTruncationIsRefusedInsideItsBuffer) {
    const std::string files[] = {std::string(kJpeg, sizeof kJpeg - 1), std::string(kGif, sizeof kGif - 1), png("")};
    const MediaReference picture = {"p", 7};
    for (const std::string& file : files) {
        // The player's decoder reads a PNG without its IEND chunk.
        const size_t cutUpTo = file[0] == '\x89' ? file.size() - 12 : file.size();
        for (size_t size = 1; size < cutUpTo; ++size) {
            const std::vector<unsigned char> bytes(file.begin(), file.begin() + static_cast<long>(size));
            Diagnostics d;
            checkPictureBytes(bytes, picture, "picture", &d);
            EXPECT_EQ(d.errors(), 1) << size;
        }
        // Length fields of 0xFF everywhere: no read past the end.
        std::vector<unsigned char> wild(file.begin(), file.end());
        for (size_t i = 6; i < wild.size(); i += 3) wild[i] = 0xFF;
        Diagnostics d;
        checkPictureBytes(wild, picture, "picture", &d);
        Diagnostics whole;
        checkPictureBytes(std::vector<unsigned char>(file.begin(), file.end()), picture, "picture", &whole);
        EXPECT_EQ(whole.items.size(), 0u) << listed(whole);
    }
}

TEST_F(QuizChecksTest, IndependentFaultsAreAllReportedInLineOrder) {
    QuizDescription quiz;
    Diagnostics d;
    checkQuizText("kind: picture\ncolor: red\n[question]\nanswer: soleil\npicture: cut.gif\n[question]\nanswer: "
                  "oui\n",
                  dir, &quiz, &d);
    ASSERT_EQ(d.items.size(), 3u) << listed(d);
    EXPECT_EQ(d.errors(), 2);
    EXPECT_EQ(d.warnings(), 1);
    EXPECT_EQ(diagnosticCountLine(d), "2 errors, 1 warning");

    writeFile(dir + "three.quiz", "kind: picture\ncolor: red\n[question]\nanswer: soleil\npicture: cut.gif\n"
                                  "[question]\nanswer: oui\n");
    std::string arg = dir + "three.quiz";
    char* argv[] = {&arg[0]};
    testing::internal::CaptureStderr();
    const int status = runCheckCommand(1, argv);
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_EQ(status, 1);
    EXPECT_EQ(err, arg + ":2: error: unknown key 'color' (docs/quiz-format.md lists the keys)\n" + arg +
                       ":5: error: picture: 'cut.gif' is broken: it is cut short before its trailer (3B); save it "
                       "again\n" +
                       arg + ":7: warning: answer \xC2\xABoui\xC2\xBB has 3 characters: answers of 1 to 3 "
                             "characters get no hints, any slip is \"FAUX\"\n"
                             "2 errors, 1 warning\n");
}

struct BuildRun {
    int status;
    std::string err;
};

BuildRun build(std::vector<std::string> args) {
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(&a[0]);
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    BuildRun r;
    r.status = runBuildCommand(static_cast<int>(argv.size()), argv.data());
    testing::internal::GetCapturedStdout();
    r.err = testing::internal::GetCapturedStderr();
    return r;
}

bool exists(const std::string& path) {
    struct stat s;
    return stat(path.c_str(), &s) == 0;
}

// The checks run before the player is even looked for: a missing player
// shows that nothing past them was reached.
TEST_F(QuizChecksTest, BuildWritesNothingOnAnErrorAndNeverOverwritesAnInput) {
    const std::string quiz = dir + "quiz.quiz", exe = dir + "out.exe", none = dir + "no-player.exe";
    const std::string description = "kind: picture\n[question]\nanswer: soleil\npicture: ok.jpg\n";
    writeFile(quiz, description);

    for (const std::string& output : {quiz, dir + "ok.jpg", dir + "./ok.jpg"}) {
        const std::string before = readFile(output);
        const BuildRun r = build({quiz, "-o", output, "--player", none});
        EXPECT_EQ(r.status, 1);
        EXPECT_NE(r.err.find("error: -o '" + output + "' names "), std::string::npos) << r.err;
        EXPECT_EQ(readFile(output), before);
    }

    writeFile(quiz, description + "[question]\nanswer: lune\npicture: cut.jpg\n");
    BuildRun r = build({quiz, "-o", exe, "--player", none});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("quiz.quiz:7: error: picture: 'cut.jpg' is broken"), std::string::npos) << r.err;
    EXPECT_EQ(r.err.find("no-player.exe"), std::string::npos) << r.err;
    EXPECT_FALSE(exists(exe));

    // A warning alone builds (and then needs a player); --strict refuses it.
    writeFile(quiz, "kind: text\n[question]\nanswer: oui\n");
    r = build({quiz, "-o", exe, "--player", none});
    EXPECT_NE(r.err.find("quiz.quiz:3: warning:"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("no-player.exe: error: cannot read the player"), std::string::npos) << r.err;
    r = build({quiz, "-o", exe, "--player", none, "--strict"});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("--strict refuses warnings"), std::string::npos) << r.err;
    EXPECT_EQ(r.err.find("no-player.exe"), std::string::npos) << r.err;
    EXPECT_FALSE(exists(exe));
}

// Every quiz the project ships or tests with checks without an error.
TEST(QuizChecks, DemoAndTestQuizzesHaveNoError) {
    const std::string source = KERBO_SOURCE_DIR;
    for (const char* name : {"resources/demos/picture.quiz", "resources/demos/text.quiz", "resources/demos/audio.quiz",
                             "resources/demos/video.quiz", "tests/data/quizzes/audio-5.quiz",
                             "tests/data/quizzes/picture-4-two.quiz", "tests/data/quizzes/picture-4.quiz",
                             "tests/data/quizzes/text-3-scrambled.quiz", "tests/data/quizzes/text-3.quiz",
                             "tests/data/quizzes/text-96.quiz", "tests/data/quizzes/video-2.quiz"}) {
        QuizDescription quiz;
        Diagnostics d;
        EXPECT_TRUE(checkQuizFile(source + "/" + name, &quiz, &d)) << name << "\n" << listed(d);
    }
}

TEST(TryQuiz, EveryLineAgreesWithThePlayersVerdict) {
    QuizDescription quiz;
    Diagnostics d;
    // «Ça» and «Œuvre» in upper case, «à» and «×» without an other case.
    const std::string text = "kind: picture\nanswers: 2\n[question]\nanswer: \xC3\x87" "a\nsecond-answer: "
                             "\xC5\x92uvre \xC3\xA0 \xC3\x97\n[question]\nanswer: x\nsecond-answer: "
                             "\xC3\xA9l\xC3\xA8ve\n";
    ASSERT_TRUE(readQuizDescription(text.data(), text.size(), &quiz, &d)) << listed(d);
    std::istringstream lines(quizSlipLines(quiz));
    std::string line;
    std::vector<std::string> seen;
    while (std::getline(lines, line)) {
        std::vector<std::string> f;
        size_t at = 0;
        for (size_t tab; (tab = line.find('\t', at)) != std::string::npos; at = tab + 1) f.push_back(line.substr(at, tab - at));
        f.push_back(line.substr(at));
        ASSERT_EQ(f.size(), 5u) << line;
        const QuestionDescription& q = quiz.questions[std::stoi(f[0]) - 1];
        const std::string& expected = f[1] == "1" ? q.firstAnswer : q.secondAnswer;
        std::string typed;
        ASSERT_TRUE(utf8ToCp1252(f[3].c_str(), &typed, nullptr)) << line;
        EXPECT_EQ(f[4], cp1252ToUtf8(computeVerdict(expected.c_str(), typed.c_str()))) << line;
        seen.push_back(f[0] + " " + f[1] + " " + f[2] + " " + f[3]);
    }
    const std::vector<std::string> expected = {
        "1 1 lower \xC3\xA7" "a", "1 1 upper \xC3\x87" "A", "1 1 unaccented Ca", "1 1 dropped \xC3\x87",
        "1 1 swapped a\xC3\x87",
        "1 2 lower \xC5\x93uvre \xC3\xA0 \xC3\x97", "1 2 upper \xC5\x92UVRE \xC3\x80 \xC3\x97",
        "1 2 unaccented OEuvre a \xC3\x97", "1 2 dropped \xC5\x92uvre \xC3\xA0 ", "1 2 swapped \xC5\x92uver \xC3\xA0 \xC3\x97",
        "2 1 lower x", "2 1 upper X", "2 1 unaccented x", "2 1 dropped ",  // no swapped line for one character
        "2 2 lower \xC3\xA9l\xC3\xA8ve", "2 2 upper \xC3\x89L\xC3\x88VE", "2 2 unaccented eleve",
        "2 2 dropped \xC3\xA9l\xC3\xA8v", "2 2 swapped \xC3\xA9\xC3\xA8lve",
    };
    EXPECT_EQ(seen, expected);
}

}  // namespace
