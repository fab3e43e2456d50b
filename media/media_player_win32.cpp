// The media player host of audio and video quizzes: one Windows Media Player
// control per question, attached to the question's PlayerHost window through
// atl.dll's AtlAxAttachControl, and the clip files those players are given.
//
// A clip is never played from memory: pressing play writes question n's
// resource "IMG" 400 + n to "<mediaDirectory>kerbo<id>.<ext>" and hands that
// path to the player. At most one clip file exists at a time, the one named
// by lastClipFile; it is deleted when the next clip starts, when a stop
// button is pressed, and when the page goes away.
#include "media/media_player.h"

#include <ole2.h>
#include <oleauto.h>
#include <wmp.h>

#include "media/clip_type.h"
#include "media/picture_resources.h"
#include "package/message_box.h"
#include "package/quiz_document.h"
#include "package/resource_store.h"

namespace {

// CLSID_WindowsMediaPlayer {6BF52A52-394A-11D3-B153-00C04F79FAA6}
const CLSID kWindowsMediaPlayerClass = {0x6BF52A52, 0x394A, 0x11D3,
                                        {0xB1, 0x53, 0x00, 0xC0, 0x4F, 0x79, 0xFA, 0xA6}};
// IID_IWMPPlayer {6BF52A4F-394A-11D3-B153-00C04F79FAA6}
const IID kPlayerInterface = {0x6BF52A4F, 0x394A, 0x11D3, {0xB1, 0x53, 0x00, 0xC0, 0x4F, 0x79, 0xFA, 0xA6}};
// In-process server, in-process handler or local server: 7.
const DWORD kPlayerClassContext = CLSCTX_INPROC_SERVER | CLSCTX_INPROC_HANDLER | CLSCTX_LOCAL_SERVER;

enum { kWidePathCapacity = 512 };

typedef HRESULT(WINAPI* AttachControlFunction)(IUnknown* control, HWND host, IUnknown** container);

// One question's player: its host window, the control's IWMPPlayer and
// IWMPControls interfaces, and the container atl.dll made for it in the host.
// Empty until createPlayer fills it.
struct MediaSlot {
    HWND host;
    IWMPPlayer* player;
    IWMPControls* controls;
    IUnknown* container;
};

MediaSlot mediaSlots[kMaxQuestions];  // question n in entry n - 1
char lastClipFile[kTextCapacity];     // the clip file written last; "" before any
int currentClip;                      // question whose clip was started last; 0: none
HMODULE atlModule;
AttachControlFunction attachControl;
bool comInitialised;

bool isMediaQuiz() {
    return quizDocument &&
           (quizDocument->quizKind == QuizKindAudio || quizDocument->quizKind == QuizKindVideo);
}

MediaSlot* slotOf(int n) { return n >= 1 && n <= kMaxQuestions ? &mediaSlots[n - 1] : nullptr; }

// Gives back this program's references to a slot's player.
void releaseSlot(MediaSlot& slot) {
    if (slot.container) slot.container->Release();
    if (slot.controls) slot.controls->Release();
    if (slot.player) slot.player->Release();
    slot = MediaSlot{};
}

// A text handed to the player as a BSTR, freed when the call is done. A null
// BSTR (no memory) is the empty text.
class PlayerText {
public:
    explicit PlayerText(const wchar_t* text) : value_(SysAllocString(text)) {}
    ~PlayerText() { SysFreeString(value_); }
    PlayerText(const PlayerText&) = delete;
    PlayerText& operator=(const PlayerText&) = delete;
    BSTR get() const { return value_; }

private:
    BSTR value_;
};

// The control shows no buttons or bars of its own, and starts a clip only
// when told to play: with autoStart on, handing it a URL would start the
// clip a first time before play starts it again.
void configurePlayer(IWMPPlayer* player) {
    player->put_uiMode(PlayerText(L"none").get());
    IWMPSettings* settings = nullptr;
    if (SUCCEEDED(player->get_settings(&settings)) && settings) {
        settings->put_autoStart(VARIANT_FALSE);
        settings->Release();
    }
}

// Stops a player and lets it close its file, so that the file can be deleted.
void stopPlayer(MediaSlot& slot) {
    slot.controls->stop();
    slot.player->close();
}

void stopEveryPlayer() {
    int count = quizDocument ? quizDocument->questionCount : 0;
    if (count > kMaxQuestions) count = kMaxQuestions;
    for (int n = 1; n <= count; ++n) {
        if (mediaSlots[n - 1].controls) stopPlayer(mediaSlots[n - 1]);
    }
}

// Creates the file, replacing any existing one, and writes the bytes in one
// write. Failures are not reported: the player then finds nothing to play.
void writeClipFile(const char* path, const unsigned char* bytes, uint32_t size) {
    HANDLE file = CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    DWORD written = 0;
    WriteFile(file, bytes, size, &written, nullptr);
    CloseHandle(file);
}

// Hands lastClipFile (ANSI code page) to the slot's player and starts it.
void playClipFile(MediaSlot& slot) {
    wchar_t widePath[kWidePathCapacity];
    if (!MultiByteToWideChar(CP_ACP, 0, lastClipFile, -1, widePath, kWidePathCapacity)) widePath[0] = L'\0';
    slot.player->put_URL(PlayerText(widePath).get());
    slot.controls->play();
}

}  // namespace

void loadPlayerSupport() {
    if (!isMediaQuiz() || atlModule) return;
    atlModule = LoadLibraryA("atl.dll");
    if (!atlModule) return;
    attachControl = reinterpret_cast<AttachControlFunction>(
        reinterpret_cast<void*>(GetProcAddress(atlModule, "AtlAxAttachControl")));
    comInitialised = SUCCEEDED(CoInitialize(nullptr));
}

void unloadPlayerSupport(HWND mainWindow) {
    if (!isMediaQuiz()) return;
    DestroyWindow(mainWindow);
    for (MediaSlot& slot : mediaSlots) releaseSlot(slot);
    currentClip = 0;
    if (comInitialised) CoUninitialize();
    comInitialised = false;
    if (atlModule) FreeLibrary(atlModule);
    atlModule = nullptr;
    attachControl = nullptr;
}

bool createPlayer(int n, HWND playerHost) {
    MediaSlot* slot = slotOf(n);
    if (!slot) return false;
    releaseSlot(*slot);
    slot->host = playerHost;
    // Without atl.dll, or with one that lacks the attach function, a player
    // could not be shown: none is made.
    if (!attachControl) return false;
    IWMPPlayer* player = nullptr;
    HRESULT created = CoCreateInstance(kWindowsMediaPlayerClass, nullptr, kPlayerClassContext, kPlayerInterface,
                                       reinterpret_cast<void**>(&player));
    if (created != S_OK || !player) return false;
    slot->player = player;
    // The container is asked for and kept until shutdown: some atl.dll
    // builds attach nothing when no container is asked for.
    attachControl(player, playerHost, &slot->container);
    player->get_controls(&slot->controls);
    configurePlayer(player);
    return true;
}

bool extractClip(int resourceId, int clipKind) {
    const ResourceStore* store = quizResources();
    ResourceBytes clip = store ? store->find(KERBO_TYPE_IMG, resourceId) : ResourceBytes{nullptr, 0, false};
    if (!clip.found) return false;
    if (!clip.bytes) {
        showMessage(clipKind == ClipKindVideo ? "Impossible de charger le fichier vid\xE9o."
                                              : "Impossible de charger le fichier audio.",
                    "Kerbo", MessageIconNone);
        return false;
    }
    const char* directory = quizDocument ? quizDocument->mediaDirectory : "";
    if (!clipFileName(lastClipFile, sizeof lastClipFile, directory, resourceId, sniffClipType(clip.bytes, clip.size)))
        return false;
    writeClipFile(lastClipFile, clip.bytes, clip.size);
    return true;
}

void playClip(int n) {
    stopEveryPlayer();
    deleteLastClipFile();
    currentClip = n;
    int kind = quizDocument && quizDocument->quizKind == QuizKindVideo ? ClipKindVideo : ClipKindAudio;
    if (!extractClip(kQuestionMediaBase + n, kind)) return;
    MediaSlot* slot = slotOf(n);
    if (slot && slot->controls) playClipFile(*slot);
}

void stopClip() {
    MediaSlot* slot = slotOf(currentClip);
    if (!slot || !slot->controls) return;
    stopPlayer(*slot);
    deleteLastClipFile();
}

void deleteLastClipFile() {
    if (lastClipFile[0]) DeleteFileA(lastClipFile);
}

void stopClipsAndDeleteClipFile() {
    // A playing clip holds its file open on Windows: the players let go of
    // it before it is deleted.
    stopEveryPlayer();
    deleteLastClipFile();
}
