// What the clip players are told, under Wine: a COM object of this test is
// registered in this process for the media player's class, so that the
// player support creates it (through the real COM runtime and atl.dll) and
// every call it receives is recorded: the "none" UI mode, the clip's URL,
// play and stop.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include <ole2.h>
#include <oleauto.h>
#include <wmp.h>

#include "media/media_player.h"
#include "package/quiz_document.h"
#include "package/resource_store.h"
#include "wine_test_support.h"

namespace {

// {6BF52A52-394A-11D3-B153-00C04F79FAA6}: the class the player support creates.
const CLSID kPlayerClass = {0x6BF52A52, 0x394A, 0x11D3, {0xB1, 0x53, 0x00, 0xC0, 0x4F, 0x79, 0xFA, 0xA6}};
const IID kPlayerInterface = {0x6BF52A4F, 0x394A, 0x11D3, {0xB1, 0x53, 0x00, 0xC0, 0x4F, 0x79, 0xFA, 0xA6}};
const IID kCoreInterface = {0xD84CCA99, 0xCCE2, 0x11D2, {0x9E, 0xCC, 0x00, 0x00, 0xF8, 0x08, 0x59, 0x81}};
const IID kControlsInterface = {0x74C09E02, 0xF828, 0x11D2, {0xA7, 0x4B, 0x00, 0xA0, 0xC9, 0x05, 0xF3, 0x6E}};

std::vector<std::string> calls;  // the recorded calls, in order
int liveObjects;                 // recorder objects not yet destroyed

std::string narrow(BSTR text) {
    if (!text) return "(null)";
    char buffer[512];
    if (!WideCharToMultiByte(CP_ACP, 0, text, -1, buffer, sizeof buffer, nullptr, nullptr)) return "(unreadable)";
    return buffer;
}

// The reference counting and IDispatch of every recorder: no type
// information, nothing to invoke.
template <class Interface>
class Recorder : public Interface {
public:
    Recorder() { ++liveObjects; }
    virtual ~Recorder() { --liveObjects; }
    Recorder(const Recorder&) = delete;
    Recorder& operator=(const Recorder&) = delete;

    ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
    ULONG STDMETHODCALLTYPE Release() override {
        ULONG left = --references_;
        if (!left) delete this;
        return left;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        *count = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                                     UINT*) override {
        return E_NOTIMPL;
    }

protected:
    // Hands out this object for IUnknown, IDispatch and the given interfaces.
    HRESULT answer(REFIID asked, void** result, const IID& own, const IID* base) {
        if (IsEqualIID(asked, IID_IUnknown) || IsEqualIID(asked, IID_IDispatch) || IsEqualIID(asked, own) ||
            (base && IsEqualIID(asked, *base))) {
            *result = static_cast<Interface*>(this);
            AddRef();
            return S_OK;
        }
        *result = nullptr;
        return E_NOINTERFACE;
    }

private:
    ULONG references_ = 1;
};

class ControlsRecorder : public Recorder<IWMPControls> {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID asked, void** result) override {
        return answer(asked, result, kControlsInterface, nullptr);
    }
    HRESULT STDMETHODCALLTYPE play() override {
        calls.push_back("play");
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE stop() override {
        calls.push_back("stop");
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE pause() override {
        calls.push_back("pause");
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_isAvailable(BSTR, VARIANT_BOOL*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE fastForward() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE fastReverse() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_currentPosition(double*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_currentPosition(double) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_currentPositionString(BSTR*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE next() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE previous() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE currentItem(IWMPMedia**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_currentItem(IWMPMedia*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_currentMarker(LONG*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_currentMarker(LONG) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE playItem(IWMPMedia*) override { return E_NOTIMPL; }
};

// The little of IOleObject that atl.dll's container needs to attach a
// control: it is given a client site and asked for its status; everything
// else is refused. Part of its player: the player counts its references.
class OleObjectPart : public IOleObject {
public:
    explicit OleObjectPart(IUnknown* player) : player_(player) {}
    OleObjectPart(const OleObjectPart&) = delete;
    OleObjectPart& operator=(const OleObjectPart&) = delete;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID asked, void** result) override {
        return player_->QueryInterface(asked, result);
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return player_->AddRef(); }
    ULONG STDMETHODCALLTYPE Release() override { return player_->Release(); }
    HRESULT STDMETHODCALLTYPE SetClientSite(IOleClientSite*) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE GetClientSite(IOleClientSite** site) override {
        *site = nullptr;
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE SetHostNames(LPCOLESTR, LPCOLESTR) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE Close(DWORD) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE SetMoniker(DWORD, IMoniker*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetMoniker(DWORD, DWORD, IMoniker**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE InitFromData(IDataObject*, BOOL, DWORD) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetClipboardData(DWORD, IDataObject**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE DoVerb(LONG, LPMSG, IOleClientSite*, LONG, HWND, LPCRECT) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE EnumVerbs(IEnumOLEVERB**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Update() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE IsUpToDate() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE GetUserClassID(CLSID* id) override {
        *id = kPlayerClass;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetUserType(DWORD, LPOLESTR*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetExtent(DWORD, SIZEL*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetExtent(DWORD, SIZEL*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Advise(IAdviseSink*, DWORD*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Unadvise(DWORD) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE EnumAdvise(IEnumSTATDATA**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetMiscStatus(DWORD, DWORD* status) override {
        *status = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE SetColorScheme(LOGPALETTE*) override { return E_NOTIMPL; }

private:
    IUnknown* player_;
};

// The player: IWMPPlayer and IWMPCore, and IOleObject for atl.dll; no
// in-place or view interfaces, so nothing is drawn in the host.
class PlayerRecorder : public Recorder<IWMPPlayer> {
public:
    PlayerRecorder() : controls_(new ControlsRecorder), oleObject_(this) {}
    ~PlayerRecorder() override { controls_->Release(); }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID asked, void** result) override {
        if (IsEqualIID(asked, IID_IOleObject)) {
            *result = static_cast<IOleObject*>(&oleObject_);
            AddRef();
            return S_OK;
        }
        return answer(asked, result, kPlayerInterface, &kCoreInterface);
    }
    HRESULT STDMETHODCALLTYPE put_uiMode(BSTR mode) override {
        calls.push_back("uiMode " + narrow(mode));
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE put_URL(BSTR url) override {
        calls.push_back("URL " + narrow(url));
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE close() override {
        calls.push_back("close");
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_controls(IWMPControls** controls) override {
        controls_->AddRef();
        *controls = controls_;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_settings(IWMPSettings** settings) override {
        *settings = nullptr;
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE get_URL(BSTR*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_openState(WMPOpenState*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_playState(WMPPlayState*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_currentMedia(IWMPMedia**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_currentMedia(IWMPMedia*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_mediaCollection(IWMPMediaCollection**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_playlistCollection(IWMPPlaylistCollection**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_versionInfo(BSTR*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE launchURL(BSTR) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_network(IWMPNetwork**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_currentPlaylist(IWMPPlaylist**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_currentPlaylist(IWMPPlaylist*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_cdromCollection(IWMPCdromCollection**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_closedCaption(IWMPClosedCaption**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_isOnline(VARIANT_BOOL*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_Error(IWMPError**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_status(BSTR*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_enabled(VARIANT_BOOL*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_enabled(VARIANT_BOOL) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_fullScreen(VARIANT_BOOL*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_fullScreen(VARIANT_BOOL) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_enableContextMenu(VARIANT_BOOL*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_enableContextMenu(VARIANT_BOOL) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_uiMode(BSTR*) override { return E_NOTIMPL; }

private:
    ControlsRecorder* controls_;
    OleObjectPart oleObject_;
};

// Makes a PlayerRecorder for every creation of the player class.
class RecorderFactory : public IClassFactory {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID asked, void** result) override {
        if (IsEqualIID(asked, IID_IUnknown) || IsEqualIID(asked, IID_IClassFactory)) {
            *result = this;
            return S_OK;
        }
        *result = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }  // a static object
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID asked, void** result) override {
        *result = nullptr;
        if (outer) return CLASS_E_NOAGGREGATION;
        PlayerRecorder* player = new PlayerRecorder;
        HRESULT answered = player->QueryInterface(asked, result);
        player->Release();
        return answered;
    }
    HRESULT STDMETHODCALLTYPE LockServer(BOOL) override { return S_OK; }
};

RecorderFactory recorderFactory;

// A playable-looking clip: the start of a WAV file.
const unsigned char kWaveStart[] = {'R', 'I', 'F', 'F', 4, 0, 0, 0, 'W', 'A', 'V', 'E'};

}  // namespace

TEST(PlayerCalls, TheUiModeTheUrlPlayAndStopReachThePlayer) {
    ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr)));
    QuizDocument* document = createQuizDocument();
    document->quizKind = QuizKindAudio;
    document->questionCount = 2;
    quizDocument = document;
    MemoryResourceStore store;
    store.add(KERBO_TYPE_IMG, 401, kWaveStart, sizeof kWaveStart);
    setQuizResources(&store);
    HWND mainWindow = CreateWindowExA(0, "Static", "Kerbo", WS_OVERLAPPEDWINDOW, 0, 0, 600, 400, nullptr, nullptr,
                                      GetModuleHandleA(nullptr), nullptr);
    loadPlayerSupport();
    DWORD cookie = 0;
    ASSERT_EQ(CoRegisterClassObject(kPlayerClass, &recorderFactory, CLSCTX_INPROC_SERVER, REGCLS_MULTIPLEUSE,
                                    &cookie),
              S_OK);
    HWND host = CreateWindowExA(0, "Static", "", WS_CHILD | WS_VISIBLE, 0, 0, 260, 200, mainWindow, nullptr,
                                GetModuleHandleA(nullptr), nullptr);
    calls.clear();

    if (createPlayer(1, host)) {
        EXPECT_EQ(calls, (std::vector<std::string>{"uiMode none"})) << "a new player shows no controls of its own";
        calls.clear();

        playClip(1);  // every player is stopped before the clip is handed over
        EXPECT_EQ(calls, (std::vector<std::string>{"stop", "close", "URL kerbo401.WAV", "play"}));
        calls.clear();

        stopClip();
        EXPECT_EQ(calls, (std::vector<std::string>{"stop", "close"}));
        EXPECT_EQ(GetFileAttributesA("kerbo401.WAV"), INVALID_FILE_ATTRIBUTES) << "stop deletes the clip file";
        calls.clear();

        playClip(2);  // no clip: the players are stopped, nothing is handed over
        EXPECT_EQ(calls, (std::vector<std::string>{"stop", "close"}));
    } else {
        ADD_FAILURE() << "the player support did not create the test's player";
    }

    CoRevokeClassObject(cookie);
    deleteLastClipFile();
    unloadPlayerSupport(mainWindow);
    EXPECT_EQ(liveObjects, 0) << "every reference to the player and its controls is given back";
    setQuizResources(nullptr);
    quizDocument = nullptr;
    destroyQuizDocument(document);
    CoUninitialize();
}
