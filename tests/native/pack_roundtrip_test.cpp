// kerbo-pack build then inspect: what a description says comes back from the
// built executable through the player's own loader, for varied quizzes;
// what cannot be built is refused with file, line and reason and writes
// nothing; packages the player cannot fully load are inspected as the player
// would hold them.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "package/pe_resource_store.h"
#include "pe_fixture.h"
#include "tools/kerbo_pack/commands.h"
#include "tools/kerbo_pack/pe_resources.h"

namespace {

// ---- A small JSON reader for inspect's output ----

struct Json {
    enum Kind { Null, Bool, Number, String, Array, Object } kind = Null;
    bool boolean = false;
    long number = 0;
    std::string text;
    std::vector<Json> items;
    std::vector<std::pair<std::string, Json>> members;

    const Json& operator[](const std::string& key) const {
        for (const auto& m : members) {
            if (m.first == key) return m.second;
        }
        ADD_FAILURE() << "no key " << key;
        static const Json none;
        return none;
    }
    const Json& operator[](size_t i) const {
        static const Json none;
        if (i < items.size()) return items[i];
        ADD_FAILURE() << "no item " << i;
        return none;
    }
};

class JsonReader {
public:
    explicit JsonReader(const std::string& s) : s_(s) {}
    bool read(Json* out) {
        *out = value();
        space();
        return ok_ && at_ == s_.size();
    }

private:
    void space() {
        while (at_ < s_.size() && std::isspace(static_cast<unsigned char>(s_[at_]))) ++at_;
    }
    bool take(char c) {
        space();
        if (at_ < s_.size() && s_[at_] == c) return ++at_, true;
        return false;
    }
    bool word(const char* w) {
        size_t n = std::strlen(w);
        if (s_.compare(at_, n, w) != 0) return false;
        at_ += n;
        return true;
    }
    std::string string() {
        std::string out;
        if (!take('"')) return ok_ = false, out;
        while (at_ < s_.size() && s_[at_] != '"') {
            char c = s_[at_++];
            if (c != '\\') {
                out += c;
                continue;
            }
            char e = at_ < s_.size() ? s_[at_++] : 0;
            if (e == 'u' && at_ + 4 <= s_.size()) {
                unsigned code = std::stoul(s_.substr(at_, 4), nullptr, 16);
                at_ += 4;
                if (code < 0x80) {
                    out += static_cast<char>(code);
                } else {
                    ok_ = false;  // the writer escapes only control characters
                }
            } else if (e == '"' || e == '\\' || e == '/') {
                out += e;
            } else {
                ok_ = false;
            }
        }
        ok_ = ok_ && take('"');
        return out;
    }
    Json value() {
        Json v;
        space();
        if (at_ >= s_.size()) return ok_ = false, v;
        char c = s_[at_];
        if (c == '{') {
            v.kind = Json::Object;
            ++at_;
            if (take('}')) return v;
            do {
                std::string key = string();
                if (!take(':')) ok_ = false;
                v.members.emplace_back(key, value());
            } while (ok_ && take(','));
            ok_ = ok_ && take('}');
        } else if (c == '[') {
            v.kind = Json::Array;
            ++at_;
            if (take(']')) return v;
            do v.items.push_back(value());
            while (ok_ && take(','));
            ok_ = ok_ && take(']');
        } else if (c == '"') {
            v.kind = Json::String;
            v.text = string();
        } else if (word("null")) {
        } else if (word("true") || word("false")) {
            v.kind = Json::Bool;
            v.boolean = s_[at_ - 1] == 'e' && s_[at_ - 2] == 'u';
        } else {
            v.kind = Json::Number;
            size_t used = 0;
            v.number = std::stol(s_.substr(at_), &used);
            at_ += used;
        }
        return v;
    }

    const std::string& s_;
    size_t at_ = 0;
    bool ok_ = true;
};

// ---- Files and running the commands ----

class TempDir {
public:
    TempDir() {
        char pattern[] = "/tmp/kerbo-pack-test-XXXXXX";
        path_ = mkdtemp(pattern);
        path_ += "/";
    }
    ~TempDir() { std::system(("rm -rf '" + path_ + "'").c_str()); }
    std::string operator+(const std::string& name) const { return path_ + name; }

private:
    std::string path_;
};

void writeFile(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}
void writeFile(const std::string& path, const std::vector<unsigned char>& bytes) {
    writeFile(path, std::string(bytes.begin(), bytes.end()));
}
std::vector<unsigned char> readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<unsigned char>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}
bool exists(const std::string& path) { return access(path.c_str(), F_OK) == 0; }

struct CommandRun {
    int status;
    std::string out;
    std::string err;
};

CommandRun run(int (*command)(int, char**), std::vector<std::string> args) {
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(&a[0]);
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    int status = command(static_cast<int>(argv.size()), argv.data());
    std::fflush(stdout);
    CommandRun r;
    r.status = status;
    r.out = testing::internal::GetCapturedStdout();
    r.err = testing::internal::GetCapturedStderr();
    return r;
}

Json inspect(const std::string& exe) {
    CommandRun r = run(runInspectCommand, {"--json", exe});
    Json json;
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(JsonReader(r.out).read(&json)) << r.out;
    return json;
}

// ---- Quizzes described in the test ----

// Media files the tests pack: the smallest files whose structure holds (a
// JPEG's segments up to EOI, a GIF's blocks up to its trailer, a PNG that the
// player's decoder reads); of a clip, its first bytes.
const char* const kMedia[][2] = {
    {"s.wav", "RIFF\x10\x01\x02\x03WAVEfmt wav"},
    {"s.mp3", "ID3\x03\x01 tagged mp3"},
    {"s.avi", "RIFF\x10\x01\x02\x03" "AVI LIST avi"},
    {"s.wmv", "\x30\x26\xB2\x75\x8E\x66\xCF\x11 wmv"},
};

const char kJpeg[] = "\xFF\xD8"                                                  // SOI
                     "\xFF\xC0\x00\x0B\x08\x00\x01\x00\x01\x01\x01\x11\x00"  // SOF0: 1 x 1, one component
                     "\xFF\xDA\x00\x08\x01\x01\x00\x00\x3F\x00"              // SOS
                     "\x12\xFF\x00\x34"                                         // data, a stuffed FF
                     "\xFF\xD9";                                                  // EOI
const char kGif[] = "GIF89a\x01\x00\x01\x00\x80\x00\x00"  // 1 x 1, a colour table of 2
                    "\x00\x00\x00\xFF\xFF\xFF"
                    "\x2C\x00\x00\x00\x00\x01\x00\x01\x00\x00"  // the image
                    "\x02\x02\x44\x01\x00"                     // code size 2, one sub-block
                    "\x3B";
const char kPng[] = "\x89PNG\r\n\x1A\n"
                    "\x00\x00\x00\x0DIHDR\x00\x00\x00\x01\x00\x00\x00\x01\x08\x00\x00\x00\x00"
                    "\x00\x00\x00\x00"                                                // 1 x 1 grey, CRC
                    "\x00\x00\x00\x0DIDAT\x78\x01\x01\x02\x00\xFD\xFF\x00\x80\x00\x00\x00\x00"
                    "\x00\x00\x00\x00"                                                // a stored block
                    "\x00\x00\x00\x00IEND\x00\x00\x00\x00";

std::string mediaBytes(const std::string& name) {
    if (name == "s.mpg") return std::string("\0\0\x01\xBA mpeg stream", 16);
    if (name == "a.jpg") return std::string(kJpeg, sizeof kJpeg - 1);
    if (name == "d.jpg") return std::string(kJpeg, sizeof kJpeg - 1) + "after the end";  // bytes after EOI are ignored
    if (name == "b.gif") return std::string(kGif, sizeof kGif - 1);
    if (name == "c.png") return std::string(kPng, sizeof kPng - 1);
    for (const auto& m : kMedia) {
        if (name == m[0]) return m[1];
    }
    return "";
}

const char* const kMediaNames[] = {"a.jpg", "b.gif", "c.png", "d.jpg", "s.wav", "s.mp3", "s.avi", "s.mpg", "s.wmv"};

struct QuestionSpec {
    std::string answer, second, prompt, clue;
    std::string picture, solved, clip;  // media file names
};

struct QuizSpec {
    const char* name;
    const char* kind;
    int kindValue;
    int answers;
    const char* mode;
    int modeValue;
    int red, green, blue;
    std::string title, author, explanation, label1, label2, link, footer;
    std::vector<std::string> codes;
    std::vector<QuestionSpec> questions;
    bool scramble;
};

std::string describe(const QuizSpec& q) {
    std::ostringstream d;
    d << "# " << q.name << "\nkind: " << q.kind << "\nanswers: " << q.answers << "\nanswer-mode: " << q.mode
      << "\nbackground: " << q.red << " " << q.green << " " << q.blue << "\ntitle: " << q.title
      << "\nauthor: " << q.author << "\nexplanation: " << q.explanation << "\nfirst-answer-label: " << q.label1
      << "\nsecond-answer-label: " << q.label2 << "\nlink: " << q.link << "\nfooter: " << q.footer << "\n";
    for (const std::string& c : q.codes) d << "code: " << c << "\n";
    for (const QuestionSpec& s : q.questions) {
        d << "\n[question]\nanswer: " << s.answer << "\n";
        if (!s.second.empty()) d << "second-answer: " << s.second << "\n";
        if (!s.prompt.empty()) d << "prompt: " << s.prompt << "\n";
        if (!s.clue.empty()) d << "clue: " << s.clue << "\n";
        if (!s.picture.empty()) d << "picture: media/" << s.picture << "\n";
        if (!s.solved.empty()) d << "solved-picture: media/" << s.solved << "\n";
        if (!s.clip.empty()) d << "clip: media/" << s.clip << "\n";
    }
    return d.str();
}

std::vector<QuizSpec> varied() {
    std::vector<QuizSpec> quizzes;
    quizzes.push_back({"text, codes for some questions, characters JSON escapes",
                       "text", 0, 1, "none", 0, 90, 95, 150,
                       "Les \"capitales\" \\ d'Europe", "Zo\xC3\xA9", "\xC2\xAB Facile \xC2\xBB \xE2\x80\x94 10 \xE2\x82\xAC",
                       "", "", "http://example.org", "D\xC3\xA9mo",
                       {"PREMIER", "DEUXI\xC3\x88ME"},
                       {{"Paris", "", "France", "", "", "", ""},
                        {"c\xC5\x93ur", "", "", "", "", "", ""},
                        {"Ath\xC3\xA8nes", "", "Gr\xC3\xA8" "ce", "", "", "", ""}},
                       false});
    quizzes.push_back({"picture, two answers, clues and solved pictures, scrambled",
                       "picture", 1, 2, "clue-and-picture", 3, 51, 102, 255,
                       "Images", "Moi", "", "Forme", "Couleur", "", "",
                       {"CODE-A", "CODE-B", "CODE-C", "CODE-D"},
                       {{"soleil", "jaune", "", "Il brille", "a.jpg", "c.png", ""},
                        {"lune", "blanche", "", "", "b.gif", "d.jpg", ""},
                        {"\xC3\xA9toile", "dor\xC3\xA9" "e", "", "Loin", "c.png", "b.gif", ""},
                        {"arbre", "vert", "", "Racines", "", "", ""}},
                       true});
    quizzes.push_back({"audio, every clip type, clues",
                       "audio", 2, 1, "clue", 2, 0, 128, 128,
                       "Sons", "", "", "", "", "x", "",
                       {"1", "2", "3", "4", "5"},
                       {{"un", "", "", "WAV", "", "", "s.wav"},
                        {"deux", "", "", "MP3", "", "", "s.mp3"},
                        {"trois", "", "", "AVI", "", "", "s.avi"},
                        {"quatre", "", "", "MPG", "", "", "s.mpg"},
                        {"cinq", "", "", "", "", "", "s.wmv"}},
                       false});
    quizzes.push_back({"video, two answers, word count",
                       "video", 3, 2, "word-count", 5, 0, 0, 0,
                       "Vid\xC3\xA9os", "", "", "Quoi", "O\xC3\xB9", "", "f",
                       {},
                       {{"arc-en-ciel", "ciel", "Apr\xC3\xA8s la pluie", "", "", "", "s.avi"},
                        {"cercle", "plan", "", "", "", "", "s.wmv"}},
                       true});
    quizzes.push_back({"picture, solved pictures without clues", "picture", 1, 1, "solved-picture", 1, 1, 2, 3,
                       "T", "A", "E", "", "", "", "", {"x"},
                       {{"a", "", "", "", "a.jpg", "b.gif", ""}, {"b", "", "", "", "c.png", "", ""}}, false});
    quizzes.push_back({"text, clues at the end", "text", 0, 1, "clues-at-end", 4, 9, 9, 9,
                       "T", "", "", "", "", "", "", {}, {{"a", "", "p", "indice", "", "", ""}}, false});

    // A text quiz shows one answer field per question: answers: 1.
    QuizSpec full = {"96 questions, full-length texts and codes", "text", 0, 1, "clue", 2, 255, 255, 255,
                     std::string(259, 't'), std::string(259, 'a'), std::string(259, 'e'), std::string(259, '1'),
                     std::string(259, '2'), std::string(24, 'l'), std::string(42, 'l'), {}, {}, true};
    for (int n = 1; n <= 96; ++n) {
        full.codes.push_back("CODE-" + std::to_string(n));
        std::string k = std::to_string(n);
        full.questions.push_back({"r" + k + std::string(250, 'r'), "", "p" + k, std::string(259, 'c'), "", "", ""});
    }
    quizzes.push_back(full);
    return quizzes;
}

class PackTest : public testing::Test {
protected:
    void SetUp() override {
        mkdir((dir + "media").c_str(), 0755);
        for (const char* name : kMediaNames) writeFile(dir + ("media/" + std::string(name)), mediaBytes(name));
        writeFile(player(), fixture::makeExecutable());
    }
    std::string player() const { return dir + "player.exe"; }

    CommandRun build(const std::string& description, const std::string& output, bool scramble = false) {
        writeFile(dir + "quiz.txt", description);
        std::vector<std::string> args = {dir + "quiz.txt", "-o", output, "--player", player()};
        if (scramble) args.push_back("--scramble");
        return run(runBuildCommand, args);
    }

    TempDir dir;
};

void expectPictures(const QuizSpec& q, const Json& pictures) {
    std::vector<std::string> expected, got;
    auto add = [&](const std::string& file, int id, bool solved) {
        bool png = file == "c.png";
        std::string format = png ? "png" : file == "b.gif" ? "gif" : "jpeg";
        expected.push_back(std::string(png ? "RCDATA" : "IMG") + " " + std::to_string(id) + " " + format + " " +
                           (solved && !png ? "swapped " : "") + std::to_string(mediaBytes(file).size()));
    };
    for (size_t i = 0; i < q.questions.size(); ++i) {
        int n = static_cast<int>(i) + 1;
        if (!q.questions[i].picture.empty()) add(q.questions[i].picture, 400 + n, false);
        if (!q.questions[i].solved.empty()) add(q.questions[i].solved, 10400 + n, true);
    }
    for (const Json& p : pictures.items) {
        got.push_back(p["type"].text + " " + std::to_string(p["id"].number) + " " + p["format"].text + " " +
                      (p["nibbleSwapped"].boolean ? "swapped " : "") + std::to_string(p["size"].number));
    }
    std::sort(expected.begin(), expected.end());
    std::sort(got.begin(), got.end());
    EXPECT_EQ(got, expected);
}

void expectClips(const QuizSpec& q, const Json& clips) {
    std::vector<std::string> expected, got;
    for (size_t i = 0; i < q.questions.size(); ++i) {
        const std::string& file = q.questions[i].clip;
        if (file.empty()) continue;
        std::string type = file.substr(2);
        for (char& c : type) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        expected.push_back(std::to_string(401 + i) + " " + type + " " + std::to_string(mediaBytes(file).size()));
    }
    for (const Json& c : clips.items)
        got.push_back(std::to_string(c["id"].number) + " " + c["type"].text + " " + std::to_string(c["size"].number));
    std::sort(got.begin(), got.end());
    EXPECT_EQ(got, expected);
}

TEST_F(PackTest, BuildThenInspectGivesBackTheDescription) {
    for (const QuizSpec& q : varied()) {
        SCOPED_TRACE(q.name);
        std::string exe = dir + "quiz.exe";
        CommandRun built = build(describe(q), exe, q.scramble);
        ASSERT_EQ(built.status, 0) << built.err;
        Json j = inspect(exe);

        EXPECT_EQ(j["message"].kind, Json::Null) << j["message"].text;
        EXPECT_FALSE(j["builtInQuiz"].boolean);
        EXPECT_TRUE(j["linkBlockFound"].boolean);
        const char* storage = q.scramble ? "scrambled" : "plain";
        EXPECT_EQ(j["storage"]["questions"].text, storage);
        EXPECT_EQ(j["storage"]["codes"].text, storage);

        EXPECT_EQ(j["quizKind"].number, q.kindValue);
        EXPECT_EQ(j["questionCount"].number, long(q.questions.size()));
        EXPECT_EQ(j["answersPerQuestion"].number, q.answers);
        EXPECT_EQ(j["answerMode"].number, q.modeValue);
        EXPECT_EQ(j["title"].text, q.title);
        EXPECT_EQ(j["author"].text, q.author);
        EXPECT_EQ(j["explanation"].text, q.explanation);
        EXPECT_EQ(j["firstAnswerLabel"].text, q.label1);
        EXPECT_EQ(j["secondAnswerLabel"].text, q.label2);
        EXPECT_EQ(j["backgroundColor"]["red"].number, q.red);
        EXPECT_EQ(j["backgroundColor"]["green"].number, q.green);
        EXPECT_EQ(j["backgroundColor"]["blue"].number, q.blue);
        EXPECT_EQ(j["linkText"].text, q.link);
        EXPECT_EQ(j["footerText"].text, q.footer);

        const Json& codes = j["rewardCodes"];
        ASSERT_EQ(codes.items.size(), q.questions.size());
        for (size_t k = 0; k < codes.items.size(); ++k)
            EXPECT_EQ(codes[k].text, k < q.codes.size() ? q.codes[k] : "") << "code " << k;

        const Json& questions = j["questions"];
        ASSERT_EQ(questions.items.size(), q.questions.size());
        for (size_t i = 0; i < q.questions.size(); ++i) {
            const QuestionSpec& s = q.questions[i];
            EXPECT_EQ(questions[i]["firstAnswer"].text, s.answer);
            EXPECT_EQ(questions[i]["secondAnswer"].text, s.second);
            EXPECT_EQ(questions[i]["prompt"].text, s.prompt);
            EXPECT_EQ(questions[i]["clue"].text, s.clue);
        }
        expectPictures(q, j["pictures"]);
        expectClips(q, j["clips"]);
    }
}

// Solved-state pictures in "IMG" are stored nibble-swapped; PNG pictures and
// the question pictures are stored as they are.
TEST_F(PackTest, StoresSolvedPicturesNibbleSwapped) {
    const QuizSpec q = varied()[1];
    std::string exe = dir + "quiz.exe";
    ASSERT_EQ(build(describe(q), exe).status, 0);
    std::vector<unsigned char> bytes = readFile(exe);
    PeResourceStore store(bytes.data(), static_cast<uint32_t>(bytes.size()));
    auto stored = [&](const char* type, int id) {
        ResourceBytes r = store.find(type, id);
        return std::string(reinterpret_cast<const char*>(r.bytes), r.size);
    };
    std::string jpeg = mediaBytes("d.jpg"), swapped;
    for (char c : jpeg) {
        unsigned char b = static_cast<unsigned char>(c);
        swapped += static_cast<char>((b << 4) | (b >> 4));
    }
    EXPECT_EQ(stored("IMG", 10402), swapped);
    EXPECT_EQ(stored("#10", 10401), mediaBytes("c.png"));
    EXPECT_EQ(stored("IMG", 401), mediaBytes("a.jpg"));
    EXPECT_EQ(stored("#10", 403), mediaBytes("c.png"));
    EXPECT_FALSE(store.find("IMG", 403).found);
}

TEST_F(PackTest, RefusesWithFileLineAndReasonAndWritesNothing) {
    writeFile(dir + "media/empty.jpg", "");
    writeFile(dir + "media/notes.jpg", "just text");
    writeFile(dir + "media/untagged.mp3", "\xFF\xFB\x90\x00 mp3 frames");
    mkdir((dir + "media/folder.jpg").c_str(), 0755);
    const std::string pictures = "kind: picture\n[question]\nanswer: a\n";  // 3 lines
    const std::string clips = "kind: audio\n[question]\nanswer: a\n";
    struct Case {
        std::string description;
        std::string error;  // what stderr must contain after "quiz.txt:"
    };
    const Case cases[] = {
        {pictures + "picture: media/missing.jpg\n", "4: error: picture: cannot read 'media/missing.jpg': No such file"},
        {pictures + "picture: media/folder.jpg\n", "4: error: picture: cannot read 'media/folder.jpg'"},
        {pictures + "picture: media/empty.jpg\n", "4: error: picture: 'media/empty.jpg' is empty"},
        {pictures + "picture: media/notes.jpg\n", "4: error: picture: 'media/notes.jpg' is not a JPEG, GIF or PNG file"},
        {clips + "clip: media/untagged.mp3\n", "4: error: clip: 'media/untagged.mp3' is an MP3 file, which the player does not recognise"},
        {"kind: text\nlink: http://www.exemple.fr/qz\nfooter: Une phrase, assez longue, pour le bas: 42!\n",
         "3: error: link and footer do not compress into the 70-byte link block; shorten them by"},
        {"kind: text\ntitle: a|b\n", "2: error: title contains '|'"},
        {"kind: quiz\n", "1: error: unknown kind 'quiz'"},
    };
    std::string exe = dir + "refused.exe";
    for (const Case& c : cases) {
        CommandRun r = build(c.description, exe);
        EXPECT_EQ(r.status, 1) << c.description;
        EXPECT_NE(r.err.find("quiz.txt:" + c.error), std::string::npos) << r.err;
        EXPECT_FALSE(exists(exe));
        EXPECT_FALSE(exists(exe + ".kerbo-pack-partial"));
    }

    // Scrambled data that reads as plain LZW data is refused: a first code of
    // one character, then the stop code, is what the loader would see.
    CommandRun scrambled = build("kind: text\ncode: A\n[question]\nanswer: a\n", exe, true);
    EXPECT_EQ(scrambled.status, 1);
    EXPECT_NE(scrambled.err.find("the scrambled codes resource (105) reads as plain LZW data"), std::string::npos)
        << scrambled.err;
    EXPECT_FALSE(exists(exe));
    EXPECT_EQ(build("kind: text\ncode: A\n[question]\nanswer: a\n", exe, false).status, 0);
    std::remove(exe.c_str());

    // A refused build leaves an earlier executable as it was.
    writeFile(exe, std::string("earlier"));
    EXPECT_EQ(build("kind: text\ncode: a\n", exe).status, 1);
    EXPECT_EQ(readFile(exe), std::vector<unsigned char>({'e', 'a', 'r', 'l', 'i', 'e', 'r'}));

    writeFile(dir + "quiz.txt", std::string("kind: text\n[question]\nanswer: a\n"));
    exe = dir + "other.exe";
    CommandRun noPlayer = run(runBuildCommand, {dir + "quiz.txt", "-o", exe, "--player", dir + "none.exe"});
    EXPECT_EQ(noPlayer.status, 1);
    EXPECT_NE(noPlayer.err.find("none.exe: error: cannot read the player"), std::string::npos) << noPlayer.err;
    writeFile(dir + "text.exe", std::string(1000, 'x'));
    CommandRun notAPlayer = run(runBuildCommand, {dir + "quiz.txt", "-o", exe, "--player", dir + "text.exe"});
    EXPECT_NE(notAPlayer.err.find("text.exe: error: not a Windows executable"), std::string::npos) << notAPlayer.err;
    writeFile(dir + "bare.exe", fixture::makeExecutable(true, false));
    CommandRun noLinkBlock = run(runBuildCommand, {dir + "quiz.txt", "-o", exe, "--player", dir + "bare.exe"});
    EXPECT_NE(noLinkBlock.err.find("bare.exe: error: the executable carries no link block"), std::string::npos)
        << noLinkBlock.err;
    EXPECT_FALSE(exists(exe));
    EXPECT_EQ(run(runBuildCommand, {dir + "quiz.txt"}).status, 2);
}

// What the player would hold when it cannot load everything, with the
// message it would show.
TEST_F(PackTest, InspectsPackagesThePlayerCannotFullyLoad) {
    writeFile(dir + "bare.exe", fixture::makeExecutable(false));
    Json bare = inspect(dir + "bare.exe");
    EXPECT_EQ(bare["message"].text, "Cles du jeu absentes!");
    EXPECT_TRUE(bare["builtInQuiz"].boolean);
    EXPECT_EQ(bare["quizKind"].number, 1);
    EXPECT_EQ(bare["questionCount"].number, 7);
    EXPECT_EQ(bare["questions"].items.size(), 2u);
    EXPECT_EQ(bare["questions"][1]["prompt"].text, "emplacement");
    EXPECT_EQ(bare["backgroundColor"]["blue"].number, 255);

    std::string exe = dir + "quiz.exe";
    ASSERT_EQ(build(describe(varied()[0]), exe).status, 0);
    std::vector<unsigned char> built = readFile(exe);

    // Codes that decode neither way: the quiz loads without its codes.
    const unsigned char garbage[] = {0xFF, 0xFF, 0xFF, 0xFF};
    NewResource badCodes = {"PATCH", 105, garbage, sizeof garbage};
    std::vector<unsigned char> noCodes;
    ASSERT_EQ(addResources(built.data(), static_cast<uint32_t>(built.size()), &badCodes, 1, &noCodes, nullptr),
              PeWriteOk);
    writeFile(dir + "no-codes.exe", noCodes);
    Json codes = inspect(dir + "no-codes.exe");
    EXPECT_EQ(codes["message"].text, "Erreur dans le d\xC3\xA9" "cryptage des codes");
    EXPECT_EQ(codes["storage"]["codes"].text, "unreadable");
    EXPECT_EQ(codes["questionCount"].number, 3);
    EXPECT_EQ(codes["rewardCodes"][0].text, "");
    EXPECT_EQ(codes["questions"][2]["prompt"].text, "Gr\xC3\xA8" "ce");

    // A link block that does not decode: nothing else is read.
    unsigned char zeros[kLinkBlockSize] = {};
    ASSERT_EQ(writeLinkBlock(&built, zeros), PeWriteOk);
    writeFile(dir + "no-link.exe", built);
    Json link = inspect(dir + "no-link.exe");
    EXPECT_EQ(link["message"].text, "Erreur dans le d\xC3\xA9" "cryptage");
    EXPECT_EQ(link["questionCount"].number, 0);
    EXPECT_EQ(link["title"].text, "Nom du kerbo");
    EXPECT_EQ(link["storage"]["questions"].text, "missing");

    CommandRun notExe = run(runInspectCommand, {"--json", dir + "media/a.jpg"});
    EXPECT_EQ(notExe.status, 1);
    EXPECT_NE(notExe.err.find("not a Windows executable"), std::string::npos);
}

// ---- kerbo-pack new ----

// Every kind's template checks without a problem and builds at once; its
// media are the tool's own and are what the player shows and plays.
TEST_F(PackTest, NewTemplatesCheckCleanAndBuild) {
    const struct {
        const char* kind;
        int kindValue;
        size_t pictures, clips;
        const char* clipType;
    } kinds[] = {{"text", 0, 0, 0, ""}, {"picture", 1, 6, 0, ""}, {"audio", 2, 0, 3, "WAV"}, {"video", 3, 0, 3, "AVI"}};
    for (const auto& k : kinds) {
        SCOPED_TRACE(k.kind);
        const std::string quizDir = dir + ("new-" + std::string(k.kind));
        CommandRun made = run(runNewCommand, {quizDir, "--kind", k.kind});
        ASSERT_EQ(made.status, 0) << made.err;
        CommandRun checked = run(runCheckCommand, {quizDir + "/quiz.quiz"});
        EXPECT_EQ(checked.status, 0);
        EXPECT_NE(checked.err.find("0 errors, 0 warnings"), std::string::npos) << checked.err;
        const std::string exe = dir + "new.exe";
        CommandRun built = run(runBuildCommand, {quizDir + "/quiz.quiz", "-o", exe, "--player", player()});
        ASSERT_EQ(built.status, 0) << built.err;
        Json j = inspect(exe);
        EXPECT_EQ(j["message"].kind, Json::Null) << j["message"].text;
        EXPECT_EQ(j["quizKind"].number, k.kindValue);
        EXPECT_EQ(j["questionCount"].number, 3);
        EXPECT_EQ(j["rewardCodes"][2].text, "BRAVO-TOUT");
        EXPECT_EQ(j["pictures"].items.size(), k.pictures);
        for (const Json& p : j["pictures"].items) EXPECT_EQ(p["format"].text, "png");
        ASSERT_EQ(j["clips"].items.size(), k.clips);
        for (const Json& c : j["clips"].items) EXPECT_EQ(c["type"].text, k.clipType);
    }

    // The directory must be new or empty; nothing is written into another.
    const std::string taken = dir + "new-text";
    CommandRun again = run(runNewCommand, {taken, "--kind", "picture"});
    EXPECT_EQ(again.status, 1);
    EXPECT_NE(again.err.find("the directory is not empty"), std::string::npos) << again.err;
    EXPECT_FALSE(exists(taken + "/media/question-1.png"));
    mkdir((dir + "empty").c_str(), 0755);
    EXPECT_EQ(run(runNewCommand, {dir + "empty", "--kind", "text"}).status, 0);
    EXPECT_EQ(run(runNewCommand, {dir + "x", "--kind", "quiz"}).status, 2);
    EXPECT_FALSE(exists(dir + "x"));
}

// Media paths may be written with "\" as on Windows, on every system.
TEST_F(PackTest, MediaPathsTakeEitherSeparator) {
    std::string d = "kind: picture\n[question]\nanswer: a\npicture: .\\media\\a.jpg\n"
                    "[question]\nanswer: b\npicture: media/b.gif\n";
    const std::string exe = dir + "paths.exe";
    CommandRun built = build(d, exe);
    ASSERT_EQ(built.status, 0) << built.err;
    EXPECT_EQ(inspect(exe)["pictures"].items.size(), 2u);
}

}  // namespace
