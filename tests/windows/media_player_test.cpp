// The clip players of audio and video quizzes, under Wine: which path the
// player support takes here (atl.dll, the player class), the clip files
// written and deleted by play and stop, and that other quiz kinds leave all
// of it alone.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include <ole2.h>

#include "media/media_player.h"
#include "package/quiz_document.h"
#include "package/resource_store.h"
#include "page/page.h"
#include "resources/resource_ids.h"
#include "wine_test_support.h"

namespace {

std::vector<unsigned char> bytesOf(const char* text, size_t size) {
    return std::vector<unsigned char>(text, text + size);
}

// A playable WAV: 8 kHz, 8-bit mono, a quarter second of a square wave.
std::vector<unsigned char> tinyWave() {
    const uint32_t samples = 2000;
    std::vector<unsigned char> wave = bytesOf("RIFF\0\0\0\0WAVEfmt \x10\0\0\0\x01\0\x01\0\x40\x1F\0\0\x40\x1F\0\0\x01\0\x08\0data",
                                              40);
    for (int shift = 0; shift < 32; shift += 8) wave.push_back(static_cast<unsigned char>(samples >> shift));
    for (uint32_t i = 0; i < samples; ++i) wave.push_back((i / 10) % 2 ? 0xA0 : 0x60);
    uint32_t riffSize = static_cast<uint32_t>(wave.size() - 8);
    for (int k = 0; k < 4; ++k) wave[4 + k] = static_cast<unsigned char>(riffSize >> (8 * k));
    return wave;
}

const std::vector<unsigned char> kWaveClip = tinyWave();
const std::vector<unsigned char> kId3Clip = bytesOf("ID3\x03\0\0\0\0\0\x0A" "0123456789", 20);
const std::vector<unsigned char> kAviClip = bytesOf("RIFF\x10\0\0\0AVI LIST\0\0\0\0", 20);
const std::vector<unsigned char> kAsfClip = {0x30, 0x26, 0xB2, 0x75, 0x8E, 0x66, 0xCF, 0x11, 0xA6, 0xD9};

bool fileExists(const std::string& name) { return GetFileAttributesA(name.c_str()) != INVALID_FILE_ATTRIBUTES; }

std::vector<unsigned char> fileBytes(const std::string& name) {
    std::vector<unsigned char> bytes;
    FILE* file = std::fopen(name.c_str(), "rb");
    if (!file) return bytes;
    int c;
    while ((c = std::fgetc(file)) != EOF) bytes.push_back(static_cast<unsigned char>(c));
    std::fclose(file);
    return bytes;
}

// The clip files in a directory ("" for the current one).
std::vector<std::string> clipFilesIn(const std::string& directory) {
    std::vector<std::string> names;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((directory + "kerbo4*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return names;
    do names.push_back(found.cFileName);
    while (FindNextFileA(search, &found));
    FindClose(search);
    return names;
}

void removeClipFiles(const std::string& directory) {
    for (const std::string& name : clipFilesIn(directory)) DeleteFileA((directory + name).c_str());
}

// True when this thread has no COM of its own yet; leaves it that way.
bool comUninitialisedOnThisThread() {
    HRESULT result = CoInitialize(nullptr);
    if (SUCCEEDED(result)) CoUninitialize();
    return result == S_OK;
}

HWND createMainWindow() {
    return CreateWindowExA(0, "Static", "Kerbo", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 900, 500, nullptr, nullptr,
                           GetModuleHandleA(nullptr), nullptr);
}

// A store whose clips exist but cannot be loaded.
class UnloadableClips : public ResourceStore {
public:
    ResourceBytes find(const char*, int) const override { return ResourceBytes{nullptr, 0, true}; }
    const unsigned char* linkBlock() const override { return block_; }

private:
    unsigned char block_[kLinkBlockSize] = {};
};

// The document and resources of one quiz kind, published for the code under test.
class QuizUnderTest {
public:
    QuizUnderTest(int kind, int questionCount) : document_(createQuizDocument()) {
        document_->quizKind = kind;
        document_->questionCount = questionCount;
        quizDocument = document_;
        setQuizResources(&store_);
    }
    ~QuizUnderTest() {
        setQuizResources(nullptr);
        quizDocument = nullptr;
        destroyQuizDocument(document_);
    }
    QuizUnderTest(const QuizUnderTest&) = delete;
    QuizUnderTest& operator=(const QuizUnderTest&) = delete;

    void addClip(int n, const std::vector<unsigned char>& bytes) {
        store_.add(KERBO_TYPE_IMG, 400 + n, bytes.data(), static_cast<uint32_t>(bytes.size()));
    }
    QuizDocument* document() { return document_; }

private:
    QuizDocument* document_;
    MemoryResourceStore store_;
};

// What the player support found in this Wine, reported once per run.
void reportPlayerPath(bool playerMade, HWND host) {
    static bool reported = false;
    if (reported) return;
    reported = true;
    HMODULE atl = GetModuleHandleA("atl.dll");
    HWND child = host ? GetWindow(host, GW_CHILD) : nullptr;
    char childClass[64] = "none";
    if (child) GetClassNameA(child, childClass, sizeof childClass);
    std::printf("[ path     ] atl.dll loaded: %s; AtlAxAttachControl: %s; player created: %s; "
                "window inside the host: %s\n",
                atl ? "yes" : "no", atl && GetProcAddress(atl, "AtlAxAttachControl") ? "yes" : "no",
                playerMade ? "yes" : "no", childClass);
}

// An audio or video quiz of three questions with its player support loaded,
// a main window and one player host per question, as the page makes them.
class ClipQuiz : public ::testing::Test {
protected:
    void start(int kind) {
        removeClipFiles("");
        quiz_ = new QuizUnderTest(kind, 3);
        mainWindow_ = createMainWindow();
        loadPlayerSupport();
        bool video = kind == QuizKindVideo;
        for (int n = 1; n <= 3; ++n) {
            HWND host = CreateWindowExA(0, "Static", "", WS_CHILD | WS_VISIBLE | WS_BORDER, 46 + 290 * (n - 1), 5,
                                        video ? 260 : 0, video ? 200 : 0, mainWindow_,
                                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(9900 + n)),
                                        GetModuleHandleA(nullptr), nullptr);
            playersMade_ = createPlayer(n, host) && (n == 1 || playersMade_);
            if (n == 1) reportPlayerPath(playersMade_, host);
        }
        pumpMessages();
    }
    void TearDown() override {
        deleteLastClipFile();
        unloadPlayerSupport(mainWindow_);
        pumpMessages();
        delete quiz_;
        removeClipFiles("");
    }

    // Plays questions 1 and 2: the second clip file replaces the first.
    void expectSecondClipReplacesFirst(const char* first, const std::vector<unsigned char>& firstClip,
                                       const char* second, const std::vector<unsigned char>& secondClip) {
        playClip(1);
        EXPECT_EQ(fileBytes(first), firstClip);
        playClip(2);
        EXPECT_FALSE(fileExists(first));
        EXPECT_EQ(fileBytes(second), secondClip);
        EXPECT_EQ(clipFilesIn("").size(), 1u);
    }

    // Plays question 1 with a clip that cannot be loaded: one message box
    // captioned "Kerbo", whose text is returned, and no file.
    std::string messageForUnloadableClip() {
        UnloadableClips unloadable;
        const ResourceStore* quizStore = quizResources();
        setQuizResources(&unloadable);
        MessageBoxCatcher catcher;
        playClip(1);
        setQuizResources(quizStore);
        EXPECT_TRUE(clipFilesIn("").empty());
        if (catcher.caught().size() != 1u) return "(" + std::to_string(catcher.caught().size()) + " boxes)";
        EXPECT_EQ(catcher.caught()[0].caption, "Kerbo");
        return catcher.caught()[0].text;
    }

    QuizUnderTest* quiz_ = nullptr;
    HWND mainWindow_ = nullptr;
    bool playersMade_ = false;
};

class AudioQuiz : public ClipQuiz {
protected:
    void SetUp() override {
        start(QuizKindAudio);
        quiz_->addClip(1, kWaveClip);
        quiz_->addClip(2, kId3Clip);  // question 3 has no clip
    }
};

class VideoQuiz : public ClipQuiz {
protected:
    void SetUp() override {
        start(QuizKindVideo);
        quiz_->addClip(1, kAviClip);
        quiz_->addClip(2, kAsfClip);
    }
};

}  // namespace

// These run first: atl.dll must not be in the process yet.
TEST(OtherQuizKinds, LoadNoPlayerSupport) {
    ASSERT_EQ(GetModuleHandleA("atl.dll"), nullptr);
    for (int kind : {QuizKindText, QuizKindPicture}) {
        QuizUnderTest quiz(kind, 3);
        HWND mainWindow = createMainWindow();
        loadPlayerSupport();
        EXPECT_EQ(GetModuleHandleA("atl.dll"), nullptr) << "kind " << kind;
        EXPECT_TRUE(comUninitialisedOnThisThread()) << "kind " << kind;
        unloadPlayerSupport(mainWindow);
        EXPECT_TRUE(IsWindow(mainWindow)) << "kind " << kind << ": the shell destroys its own window";
        DestroyWindow(mainWindow);
    }
}

TEST_F(AudioQuiz, PlayWritesTheClipAndDeletesThePreviousOne) {
    expectSecondClipReplacesFirst("kerbo401.WAV", kWaveClip, "kerbo402.MP3", kId3Clip);

    // The same question again: its clip is written anew.
    const std::vector<unsigned char> longerTag = bytesOf("ID3\x04\0\0\0\0\0\x0A" "abcdefghijklmnop", 26);
    quiz_->addClip(2, longerTag);
    playClip(2);
    EXPECT_EQ(fileBytes("kerbo402.MP3"), longerTag);
    EXPECT_EQ(clipFilesIn("").size(), 1u);
}

TEST_F(AudioQuiz, AMissingClipOnlyStopsAndDeletes) {
    MessageBoxCatcher catcher;
    playClip(2);
    playClip(3);
    EXPECT_TRUE(clipFilesIn("").empty());
    EXPECT_TRUE(catcher.caught().empty());
}

TEST_F(AudioQuiz, StopBeforeAnyPlayDoesNothing) {
    // A clip file written without pressing play: no clip has been started.
    ASSERT_TRUE(extractClip(401, 1));
    ASSERT_TRUE(fileExists("kerbo401.WAV"));
    stopClip();
    EXPECT_TRUE(fileExists("kerbo401.WAV"));
}

// Every stop button stops the clip started last; the file goes with it when
// that question has a player to stop.
TEST_F(AudioQuiz, StopActsOnTheClipStartedLast) {
    playClip(1);
    playClip(2);
    stopClip();
    if (playersMade_) {
        EXPECT_TRUE(clipFilesIn("").empty());
    } else {
        std::printf("[ path     ] no player: stop has nothing to stop and leaves kerbo402.MP3\n");
        EXPECT_TRUE(fileExists("kerbo402.MP3"));
    }
    // Whatever the player did, the page's clean-up deletes the clip file.
    deleteLastClipFile();
    EXPECT_TRUE(clipFilesIn("").empty());
}

TEST_F(AudioQuiz, ClipsGoToTheMediaDirectory) {
    CreateDirectoryA("clips", nullptr);
    copyText(quiz_->document()->mediaDirectory, kMediaDirectoryCapacity, "clips\\");
    playClip(2);
    EXPECT_EQ(fileBytes("clips\\kerbo402.MP3"), kId3Clip);
    EXPECT_TRUE(clipFilesIn("").empty());
    deleteLastClipFile();
    EXPECT_TRUE(clipFilesIn("clips\\").empty());
    RemoveDirectoryA("clips");
}

TEST_F(AudioQuiz, AClipNameTooLongIsNotWritten) {
    std::string directory(250, 'd');
    copyText(quiz_->document()->mediaDirectory, kMediaDirectoryCapacity, (directory + "\\").c_str());
    EXPECT_FALSE(extractClip(401, 1));
}

TEST_F(AudioQuiz, AClipThatCannotBeLoadedIsReported) {
    EXPECT_EQ(messageForUnloadableClip(), "Impossible de charger le fichier audio.");
}

TEST_F(VideoQuiz, ClipsAndTheirMessage) {
    expectSecondClipReplacesFirst("kerbo401.AVI", kAviClip, "kerbo402.WMV", kAsfClip);
    EXPECT_EQ(messageForUnloadableClip(), "Impossible de charger le fichier vid\xE9o.");
}

TEST_F(VideoQuiz, ThePlayerFillsItsHost) {
    if (!playersMade_) GTEST_SKIP() << "no media player here: nothing is drawn";
    HWND host = GetDlgItem(mainWindow_, 9902);
    HWND control = GetWindow(host, GW_CHILD);
    ASSERT_NE(control, nullptr) << "the attached control has a window in its host";
    RECT hostArea, controlArea;
    GetClientRect(host, &hostArea);
    GetClientRect(control, &controlArea);
    EXPECT_EQ(controlArea.right, hostArea.right);
    EXPECT_EQ(controlArea.bottom, hostArea.bottom);
}

TEST(ClipQuizUnload, DestroysTheMainWindowAndReleasesCom) {
    QuizUnderTest quiz(QuizKindAudio, 1);
    HWND mainWindow = createMainWindow();
    loadPlayerSupport();
    bool atlLoaded = GetModuleHandleA("atl.dll") != nullptr;
    unloadPlayerSupport(mainWindow);
    EXPECT_FALSE(IsWindow(mainWindow));
    EXPECT_TRUE(comUninitialisedOnThisThread());
    if (atlLoaded) {
        EXPECT_EQ(GetModuleHandleA("atl.dll"), nullptr);
    }
}

// The page's buttons: play 6000 + n and stop 7000 + n, once the page builds
// its rows.
namespace {

// The page of an audio quiz of three questions (clips for 1 and 2) in a
// main window, with the player support loaded.
HWND openAudioPage(QuizUnderTest& quiz, HWND* mainWindow) {
    removeClipFiles("");
    quiz.addClip(1, kWaveClip);
    quiz.addClip(2, kId3Clip);
    *mainWindow = createMainWindow();
    loadPlayerSupport();
    HWND page = CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_QUIZ_PAGE), *mainWindow,
                                   quizPageProc, 0);
    quiz.document()->pageWindow = page;
    return page;
}

}  // namespace

TEST(QuizPageButtons, PlayAndStopThroughThePage) {
    QuizUnderTest quiz(QuizKindAudio, 3);
    HWND mainWindow = nullptr;
    HWND page = openAudioPage(quiz, &mainWindow);
    ASSERT_NE(page, nullptr);
    bool pageBuilt = GetDlgItem(page, 9901) != nullptr;
    bool playersMade = GetDlgItem(page, 6003) != nullptr;
    if (pageBuilt) {
        SendMessageA(page, WM_COMMAND, 6001, 0);
        EXPECT_TRUE(fileExists("kerbo401.WAV"));
        SendMessageA(page, WM_COMMAND, 6002, 0);
        EXPECT_FALSE(fileExists("kerbo401.WAV"));
        EXPECT_TRUE(fileExists("kerbo402.MP3"));
        SendMessageA(page, WM_COMMAND, 7001, 0);  // row 1's stop button stops question 2
        EXPECT_EQ(fileExists("kerbo402.MP3"), !playersMade);
        SendMessageA(page, WM_COMMAND, 6001, 0);
        DestroyWindow(page);  // the page deletes the last clip file
        EXPECT_TRUE(clipFilesIn("").empty());
    }
    unloadPlayerSupport(mainWindow);
    removeClipFiles("");
    if (!pageBuilt) GTEST_SKIP() << "the page builds no player hosts yet";
}

namespace {

// Hands a message to the page as the message loop does: the dialog
// navigation first, then everything it posts in turn.
void sendThroughTheLoop(HWND page, MSG message) {
    do {
        if (!IsDialogMessageA(page, &message)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
    } while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE));
}

}  // namespace

// Enter in an answer field judges it and nothing else: the page's play and
// stop buttons are default push buttons, and neither the dialog navigation
// nor the edit control may turn Enter into a press of one of them. Closing
// the page while a clip plays stops the players and deletes the clip file.
TEST(QuizPageButtons, EnterInAFieldStartsNoClipAndClosingDeletesTheClip) {
    QuizUnderTest quiz(QuizKindAudio, 3);
    HWND mainWindow = nullptr;
    HWND page = openAudioPage(quiz, &mainWindow);
    ASSERT_NE(page, nullptr);
    const bool pageBuilt = GetDlgItem(page, 6003) != nullptr;
    if (pageBuilt) {
        HWND field = GetDlgItem(page, 4002);
        // The default button as the dialog finds it, then as set by id.
        for (int defaultId : {0, 6001, 7002}) {
            SCOPED_TRACE(defaultId);
            if (defaultId) SendMessageA(page, DM_SETDEFID, static_cast<WPARAM>(defaultId), 0);
            SetFocus(field);
            sendThroughTheLoop(page, MSG{field, WM_KEYDOWN, VK_RETURN, 0x001C0001, 0, {0, 0}});
            sendThroughTheLoop(page, MSG{field, WM_KEYUP, VK_RETURN, 0xC01C0001, 0, {0, 0}});
            EXPECT_TRUE(clipFilesIn("").empty());
            EXPECT_EQ(GetFocus(), field);
        }
        SendMessageA(page, WM_COMMAND, 6001, 0);
        pumpMessages();
        EXPECT_TRUE(fileExists("kerbo401.WAV"));
        DestroyWindow(page);
        EXPECT_TRUE(clipFilesIn("").empty());
    }
    unloadPlayerSupport(mainWindow);
    removeClipFiles("");
    if (!pageBuilt) GTEST_SKIP() << "no media player here: the page builds no rows";
}

// Without atl.dll, or with one lacking AtlAxAttachControl, no player is made
// (and without atl.dll COM is left alone); the buttons still write and
// delete clip files. Wine has both, so this runs from
// tests/e2e/media_without_attach.sh, which takes them away.
TEST(WithoutAttach, NoPlayerButClipFiles) {
    HMODULE atl = LoadLibraryA("atl.dll");
    bool canAttach = atl && GetProcAddress(atl, "AtlAxAttachControl");
    if (atl) FreeLibrary(atl);
    if (canAttach) GTEST_SKIP() << "atl.dll can attach controls here";
    std::printf("[ path     ] %s\n", atl ? "atl.dll without AtlAxAttachControl" : "no atl.dll");

    removeClipFiles("");
    QuizUnderTest quiz(QuizKindVideo, 2);
    quiz.addClip(1, kAviClip);
    HWND mainWindow = createMainWindow();
    loadPlayerSupport();
    if (!atl) {
        EXPECT_TRUE(comUninitialisedOnThisThread());
    }
    HWND host = CreateWindowExA(0, "Static", "", WS_CHILD | WS_VISIBLE | WS_BORDER, 46, 5, 260, 200, mainWindow,
                                nullptr, GetModuleHandleA(nullptr), nullptr);
    EXPECT_FALSE(createPlayer(1, host));
    EXPECT_EQ(GetWindow(host, GW_CHILD), nullptr);

    playClip(1);
    EXPECT_EQ(fileBytes("kerbo401.AVI"), kAviClip);
    stopClip();  // no player to stop: the file stays
    EXPECT_TRUE(fileExists("kerbo401.AVI"));
    deleteLastClipFile();
    EXPECT_TRUE(clipFilesIn("").empty());
    unloadPlayerSupport(mainWindow);
    EXPECT_FALSE(IsWindow(mainWindow));
}
