// The header bar, dialog template 1002: score and reward code on the left,
// title and explanation in the middle, author, "Sauver", "Cacher" (picture
// quizzes) and the link on the right, all on one light-blue brush.
#include "package/quiz_document.h"
#include "page/page.h"
#include "resources/resource_ids.h"
#include "shell/gdi_win32.h"
#include "shell/shell.h"

#include <objbase.h>   // after windows.h
#include <shellapi.h>

namespace {

// The header's background and the background of its labels, from
// WM_INITDIALOG to WM_DESTROY.
BrushObject headerBrush;
// The link label's underlined font, made by setupLinkLabel.
FontObject linkFont;

const COLORREF kHeaderColour = RGB(128, 128, 255);
const COLORREF kLinkColour = RGB(50, 50, 255);
// Controls drawn on the header's brush: the labels, the box and the code field.
enum { kFirstColouredId = 20, kLastColouredId = 33 };

enum TextSource { FixedText, LinkText, AuthorText, ExplanationText, TitleText, ScoreText };
enum ControlFont { NoFont, GuiFont, TitleFont, ScoreFont, LinkFont };

struct HeaderControl {
    int id;
    const char* className;
    TextSource source;
    const char* text;  // FixedText only
    DWORD style;
    int x, y, width, height;
    ControlFont font;
};

const DWORD kVisibleChild = WS_CHILD | WS_VISIBLE;
// A label showing a quiz text: an "&" in it is shown, not taken as a prefix.
const DWORD kQuizTextLabel = kVisibleChild | SS_NOPREFIX;

// Every control, in the order of creation (the "Cacher" box only in a
// picture quiz). Positions are pixels within the header; the right-hand ones
// move on WM_SIZE.
const HeaderControl kControls[] = {
    {LinkLabelId, "Static", LinkText, nullptr, kVisibleChild | SS_NOTIFY | SS_NOPREFIX, 736, 5, 115, 18, LinkFont},
    {ByLabelId, "Static", FixedText, "Par :", kVisibleChild, 736, 25, 27, 18, GuiFont},
    {AuthorLabelId, "Static", AuthorText, nullptr, kQuizTextLabel, 763, 25, 85, 18, GuiFont},
    {HideSolvedBoxId, "button", FixedText, "Cacher", kVisibleChild | BS_AUTOCHECKBOX, 666, 5, 65, 18, GuiFont},
    {SaveButtonId, "button", FixedText, "Sauver", kVisibleChild | BS_PUSHBUTTON, 666, 25, 55, 18, GuiFont},
    {ExplanationLabelId, "Static", ExplanationText, nullptr, kQuizTextLabel, 110, 19, 490, 27, GuiFont},
    {TitleLabelId, "Static", TitleText, nullptr, kQuizTextLabel, 110, 3, 190, 18, TitleFont},
    {CodeCaptionId, "Static", FixedText, " Code :", kVisibleChild, 7, 29, 36, 15, GuiFont},
    {ScoreLabelId, "Static", ScoreText, nullptr, kVisibleChild | SS_CENTER, 10, 1, 80, 20, ScoreFont},
    {CodeFieldId, "edit", FixedText, "", kVisibleChild | ES_READONLY, 44, 29, 53, 16, GuiFont},
    {ScoreLineId, "Static", FixedText, "", kVisibleChild | WS_BORDER, 0, 26, 100, 1, NoFont},
    {ScoreBlockLineId, "Static", FixedText, "", kVisibleChild | WS_BORDER, 100, 0, 1, 50, NoFont},
    {LinkBlockLineId, "Static", FixedText, "", kVisibleChild | WS_BORDER, 730, 0, 1, 50, NoFont},
};

// A place on WM_SIZE for a header of client width w: x is w + x when
// xFollows, else x; the same for the width.
struct RightPlace {
    int id;
    int x;
    bool xFollows;
    int y;
    int width;
    bool widthFollows;
    int height;
    bool repaint;
};

const RightPlace kRightPlaces[] = {
    {TitleLabelId, 110, false, 3, -350, true, 18, false},
    {LinkLabelId, -134, true, 0, 115, false, 18, false},
    {ByLabelId, -134, true, 25, 26, false, 18, false},
    {AuthorLabelId, -107, true, 25, 105, false, 18, true},
    {SaveButtonId, -204, true, 25, 55, false, 18, true},
    {ExplanationLabelId, 110, false, 19, -324, true, 28, true},
    {LinkBlockLineId, -145, true, 0, 1, false, 50, true},
};
// The "Cacher" box follows the right edge only with one answer per question.
const RightPlace kHideSolvedPlace = {HideSolvedBoxId, -234, true, 0, 85, false, 18, true};

bool hasHideSolvedBox(const QuizDocument& document) { return document.quizKind == QuizKindPicture; }

const char* controlText(const HeaderControl& control, const QuizDocument& document, char* score) {
    switch (control.source) {
    case LinkText: return document.linkText;
    case AuthorText: return document.author;
    case ExplanationText: return document.explanation;
    case TitleText: return document.title;
    case ScoreText: wsprintfA(score, " 0 / %d", document.questionCount); return score;
    case FixedText: break;
    }
    return control.text;
}

void setControlFont(HWND window, ControlFont font, const QuizDocument& document) {
    switch (font) {
    case GuiFont:
        SendMessageA(window, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), TRUE);
        break;
    case TitleFont: SendMessageA(window, WM_SETFONT, reinterpret_cast<WPARAM>(document.titleFont), FALSE); break;
    case ScoreFont: SendMessageA(window, WM_SETFONT, reinterpret_cast<WPARAM>(document.scoreFont), FALSE); break;
    case LinkFont: setupLinkLabel(window); break;
    case NoFont: break;
    }
}

void createControl(HWND header, const HeaderControl& control, const QuizDocument& document) {
    char score[32];
    HWND window = CreateWindowExA(0, control.className, controlText(control, document, score), control.style,
                                  control.x, control.y, control.width, control.height, header,
                                  reinterpret_cast<HMENU>(static_cast<INT_PTR>(control.id)),
                                  GetModuleHandleA(nullptr), nullptr);
    setControlFont(window, control.font, document);
}

INT_PTR onInitDialog(HWND header) {
    if (quizDocument) {
        for (const HeaderControl& control : kControls) {
            if (control.id == HideSolvedBoxId && !hasHideSolvedBox(*quizDocument)) continue;
            createControl(header, control, *quizDocument);
        }
    }
    headerBrush.reset(CreateSolidBrush(kHeaderColour));
    return TRUE;
}

void placeRight(HWND header, const RightPlace& place, int w) {
    const int x = place.xFollows ? w + place.x : place.x;
    const int width = place.widthFollows ? w + place.width : place.width;
    HWND control = GetDlgItem(header, place.id);
    SetWindowPos(control, nullptr, x, place.y, width, place.height, SWP_NOOWNERZORDER | SWP_NOACTIVATE);
    if (place.repaint) InvalidateRect(control, nullptr, FALSE);
}

// WM_SIZE: the right-hand block follows the right edge, the title and the
// explanation stretch; the score block stays at the left.
INT_PTR onSize(HWND header) {
    RECT client;
    GetClientRect(header, &client);
    const int w = client.right;
    for (const RightPlace& place : kRightPlaces) placeRight(header, place, w);
    if (quizDocument && hasHideSolvedBox(*quizDocument) && quizDocument->answersPerQuestion == 1) {
        placeRight(header, kHideSolvedPlace, w);
    }
    return FALSE;
}

// WM_COMMAND: the whole wParam is compared, so only a click (notification
// 0) acts; a double click on the link does not open it a second time.
// The link text is also its target; a link that cannot be opened is
// ignored. ShellExecute may hand the work to shell extensions that need COM,
// so COM is initialised (apartment-threaded) around it in every quiz kind;
// on a thread where COM already runs, that only counts one more use.
void openLink(const char* link) {
    const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
    ShellExecuteA(nullptr, "open", link, nullptr, nullptr, SW_SHOWNORMAL);
    if (SUCCEEDED(com)) CoUninitialize();
}

INT_PTR onCommand(WPARAM wParam) {
    if (!quizDocument) return FALSE;
    switch (wParam) {
    case LinkLabelId: openLink(quizDocument->linkText); break;
    case SaveButtonId: saveAnswersOrWarn(quizDocument); break;
    case HideSolvedBoxId: applyHideSolved(quizDocument); break;
    default: break;
    }
    return FALSE;
}

// WM_CTLCOLORSTATIC: the labels, the "Cacher" box and the read-only code
// field are drawn on the header's brush, the link in blue; the lines keep
// the default colours.
INT_PTR onControlColour(HDC dc, HWND control) {
    const int id = static_cast<int>(GetWindowLongA(control, GWL_ID));
    if (id < kFirstColouredId || id > kLastColouredId) return 0;
    SetBkMode(dc, TRANSPARENT);
    if (id == LinkLabelId) SetTextColor(dc, kLinkColour);
    return reinterpret_cast<INT_PTR>(headerBrush.get());
}

INT_PTR onDestroy() {
    headerBrush.reset();
    linkFont.reset();
    return FALSE;
}

}  // namespace

void setupLinkLabel(HWND label) {
    RECT client;
    GetClientRect(label, &client);
    const int height = client.bottom - client.top;
    LOGFONTA description = {};
    description.lfHeight = -(height * 3 / 4);
    description.lfWeight = 400;
    description.lfUnderline = 1;
    linkFont.reset(CreateFontIndirectA(&description));
    SendMessageA(label, WM_SETFONT, reinterpret_cast<WPARAM>(linkFont.get()), FALSE);

    // The hand becomes the cursor of the whole "Static" class of the
    // process; only labels that take mouse input (SS_NOTIFY) show it.
    HCURSOR hand = LoadCursorA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDC_LINK_HAND));
    if (hand) SetClassLongPtrA(label, GCLP_HCURSOR, reinterpret_cast<LONG_PTR>(hand));
}

INT_PTR CALLBACK headerBarProc(HWND header, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG: return onInitDialog(header);
    case WM_SIZE: return onSize(header);
    case WM_COMMAND: return onCommand(wParam);
    case WM_CTLCOLORDLG: return reinterpret_cast<INT_PTR>(headerBrush.get());
    case WM_CTLCOLORSTATIC: return onControlColour(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
    case WM_DESTROY: return onDestroy();
    default: return FALSE;
    }
}
