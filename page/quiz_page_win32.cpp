// The page dialog: its procedure, the building of every question row with
// the restore of the saved answers, and the colours of its labels.
#include <cstring>

#include "media/media_player.h"
#include "media/picture_loader.h"
#include "media/picture_resources.h"
#include "page/page.h"
#include "page/saved_answers.h"
#include "page/saved_answers_file_win32.h"
#include "page/verdict.h"
#include "resources/resource_ids.h"
#include "shell/gdi_win32.h"

namespace {

// Green behind a verdict reading "BRAVO"; the page owns it.
BrushObject bravoBrush;
// The two answer captions of each row of three (two answers per question):
// they share one id, so the row moves find them here.
HWND rowCaptions[kMaxPictureRows][2];

// Labels that show a quiz text carry SS_NOPREFIX, so that an "&" in it is
// shown as typed rather than underlining the next letter.
const DWORD kLabelStyle = WS_CHILD | WS_VISIBLE | SS_NOPREFIX;
const DWORD kBoxedLabelStyle = WS_CHILD | WS_VISIBLE | WS_BORDER | SS_CENTERIMAGE | SS_CENTER;
const DWORD kFieldStyle = WS_CHILD | WS_VISIBLE | WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL | ES_CENTER;
const DWORD kMediaButtonStyle = WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_ICON | BS_DEFPUSHBUTTON;
enum { kMediaFieldLimit = 128, kNumberTextCapacity = 16 };

// What buildPage carries from one row to the next.
struct PageBuild {
    QuizDocument* document;
    HWND page;
    HINSTANCE instance;
    int perQuestion;
    SavedLineReader saved;
    PageExtent extent;
    int pictureRow;
    // The three pictures of the current row of three, loaded at its first
    // column; a bitmap given to its control is released from here, the rest
    // are deleted with the next row or at the end of the build.
    BitmapObject pictures[3];
    PictureSize pictureSizes[3];
    int rowHeight;
    HICON playIcon;
    HICON stopIcon;
};

HWND createControl(const PageBuild& build, const char* className, const char* text, DWORD style, const PageBox& box,
                   int id) {
    return CreateWindowExA(0, className, text, style, box.x, box.y, box.width, box.height, build.page,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), build.instance, nullptr);
}

void setFont(HWND control, HGDIOBJ font, BOOL redraw) {
    SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), redraw);
}

HGDIOBJ guiFont() { return GetStockObject(DEFAULT_GUI_FONT); }

void keepExtent(PageBuild& build) {
    build.document->pageWidth = build.extent.pageWidth;
    build.document->pageHeight = build.extent.pageHeight;
}

HWND createNumberLabel(const PageBuild& build, int n, const PageBox& box, int id) {
    char number[kNumberTextCapacity];
    wsprintfA(number, "%d.", n);
    return createControl(build, "Static", number, kLabelStyle | SS_RIGHT, box, id);
}

// An answer field holding the next saved answer, with its "?" label.
HWND createAnswerField(PageBuild& build, int fieldId, const PageBox& field, const PageBox& verdict) {
    char answer[kTextCapacity];
    readSavedLine(&build.saved, answer, sizeof answer);
    HWND edit = createControl(build, "Edit", answer, kFieldStyle, field, fieldId);
    setFont(edit, build.document->answerFont, FALSE);
    createControl(build, "Static", kVerdictUnanswered, kBoxedLabelStyle, verdict, fieldId + kVerdictIdOffset);
    return edit;
}

void buildTextRow(PageBuild& build, int n) {
    const TextRowLayout row = layoutTextRow(build.extent.rowY);
    const QuestionNode* node = questionAt(build.document, n);
    createNumberLabel(build, n, row.number, kNumberLabelBase);
    HWND prompt = createControl(build, "Static", node ? node->prompt : "", kBoxedLabelStyle | SS_NOPREFIX, row.prompt,
                                kPromptLabelId);
    setFont(prompt, build.document->answerFont, FALSE);
    const int fieldId = answerFieldId(n, 1, 1);
    HWND field = createAnswerField(build, fieldId, row.field, row.verdict);
    evaluateAnswer(build.document, build.page, fieldId);
    installAnswerFieldProc(field);
    advanceTextRow(&build.extent);
    keepExtent(build);
}

// Loads the three pictures of the row of three that question n starts,
// whether or not questions n + 1 and n + 2 exist; a missing picture counts
// as 260 wide and 0 high.
void loadRowPictures(PageBuild& build, int n) {
    build.rowHeight = 0;
    for (int i = 0; i < 3; ++i) {
        build.pictures[i].reset(loadPicture(kQuestionMediaBase + n + i, kPictureBox, kPictureBox));
        build.pictureSizes[i] = pictureSize(build.pictures[i].get());
        if (build.pictureSizes[i].height > build.rowHeight) build.rowHeight = build.pictureSizes[i].height;
    }
    if (build.pictureRow < kMaxPictureRows) build.document->rowHeight[build.pictureRow] = build.rowHeight;
    ++build.pictureRow;
}

void createQuestionPicture(PageBuild& build, int n, const MediaRowLayout& row) {
    const PictureSize size = build.pictureSizes[row.column];
    const PageBox place = picturePlace(row.columnLeft, build.extent.rowY, build.rowHeight, size.width, size.height);
    createControl(build, "Static", nullptr, WS_CHILD | WS_VISIBLE | WS_BORDER | SS_CENTERIMAGE | SS_BITMAP, place,
                  kPictureBase + n);
}

void setQuestionPicture(PageBuild& build, int n, int column) {
    HWND control = GetDlgItem(build.page, kPictureBase + n);
    if (!control || !build.pictures[column]) return;
    if (SendMessageA(control, STM_GETIMAGE, IMAGE_BITMAP, 0)) return;
    SendMessageA(control, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(build.pictures[column].release()));
}

void createClueLabel(PageBuild& build, int n, const PageBox& box) {
    const QuizDocument* document = build.document;
    const QuestionNode* node = questionAt(document, n);
    char hint[kTextCapacity] = "";
    // Answer mode 5 shows the number of words from the start; the other modes
    // keep the clue hidden until the question is solved.
    const bool wordCount = document->answerMode == 5;
    if (wordCount && node) wordCountHint(node->firstAnswer, hint, sizeof hint);
    const char* text = wordCount ? hint : (node ? node->clue : "");
    const DWORD style = WS_CHILD | SS_CENTER | SS_NOPREFIX | (wordCount ? WS_VISIBLE : 0);
    HWND clue = createControl(build, "Static", text, style, box, kClueLabelBase + n);
    setFont(clue, guiFont(), TRUE);
}

void createMediaButton(PageBuild& build, int id, const PageBox& box, HICON icon) {
    HWND button = createControl(build, "Button", "", kMediaButtonStyle, box, id);
    SendMessageA(button, BM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(icon));
}

// Number label, clue label, answer fields and media buttons of question n.
void buildAnswerLine(PageBuild& build, int n, const MediaRowLayout& row) {
    QuizDocument* document = build.document;
    const int kind = document->quizKind;
    if (build.perQuestion == 2 && row.column == 0) {
        HWND first = createControl(build, "Static", document->firstAnswerLabel, kLabelStyle, row.captions[0],
                                   kAnswerCaptionId);
        setFont(first, guiFont(), TRUE);
        HWND second = createControl(build, "Static", document->secondAnswerLabel, kLabelStyle, row.captions[1],
                                    kAnswerCaptionId);
        setFont(second, guiFont(), TRUE);
        const int row = (n - 1) / 3;
        if (row < kMaxPictureRows) {
            rowCaptions[row][0] = first;
            rowCaptions[row][1] = second;
        }
    }
    createNumberLabel(build, n, row.number, kNumberLabelBase + n);
    if (document->answerMode >= 2) createClueLabel(build, n, row.clue);
    for (int k = 1; k <= build.perQuestion; ++k) {
        const int fieldId = answerFieldId(n, k, build.perQuestion);
        HWND field = createAnswerField(build, fieldId, row.fields[k - 1], row.verdicts[k - 1]);
        SendMessageA(field, EM_SETLIMITTEXT, kMediaFieldLimit, 0);
        if (build.perQuestion == 2) setFont(GetDlgItem(build.page, fieldId + kVerdictIdOffset), guiFont(), TRUE);
        installAnswerFieldProc(field);
        evaluateAnswer(document, build.page, fieldId);
        SetFocus(build.page);
    }
    if (kind == QuizKindAudio || kind == QuizKindVideo) {
        createMediaButton(build, kPlayButtonBase + n, row.play, build.playIcon);
        createMediaButton(build, kStopButtonBase + n, row.stop, build.stopIcon);
    }
}

void buildPictureRow(PageBuild& build, int n) {
    if (rowColumn(n) == 0) loadRowPictures(build, n);
    const MediaRowLayout row = layoutMediaRow(QuizKindPicture, n, build.perQuestion, build.document->answerMode,
                                              build.extent.rowY, build.rowHeight);
    createQuestionPicture(build, n, row);
    buildAnswerLine(build, n, row);
    setQuestionPicture(build, n, row.column);
    advanceMediaRow(&build.extent, n, row.lineY, build.document->answerMode);
    keepExtent(build);
}

// False when question n's player cannot be created: the page ends there.
bool buildPlayerRow(PageBuild& build, int n) {
    const MediaRowLayout row = layoutMediaRow(build.document->quizKind, n, build.perQuestion,
                                              build.document->answerMode, build.extent.rowY, 0);
    HWND host = createControl(build, "Static", "", WS_CHILD | WS_VISIBLE | WS_BORDER, row.host, kPictureBase + n);
    if (!createPlayer(n, host)) return false;
    buildAnswerLine(build, n, row);
    advanceMediaRow(&build.extent, n, row.lineY, build.document->answerMode);
    keepExtent(build);
    return true;
}

// WM_INITDIALOG: every question row, the saved answers restored and judged.
INT_PTR buildPage(QuizDocument* document, HWND page) {
    bravoBrush.reset(CreateSolidBrush(RGB(0, 255, 0)));
    forgetPageWheel();
    for (HWND(&captions)[2] : rowCaptions) captions[0] = captions[1] = nullptr;
    document->pageWidth = 0;
    document->pageHeight = 0;
    PageBuild build = {};
    build.document = document;
    build.page = page;
    build.instance = GetModuleHandleA(nullptr);
    build.perQuestion = fieldsPerQuestion(document->quizKind, document->answersPerQuestion);
    const int kind = document->quizKind;
    if (kind == QuizKindAudio || kind == QuizKindVideo) {
        build.playIcon = LoadIconA(build.instance, MAKEINTRESOURCEA(IDI_PLAY));
        build.stopIcon = LoadIconA(build.instance, MAKEINTRESOURCEA(IDI_STOP));
    }
    char savedName[kTextCapacity] = "";
    runningSavedAnswersName(savedName, sizeof savedName);
    SavedAnswersMapping savedFile(savedName);
    startSavedLines(&build.saved, savedFile.bytes(), savedFile.size());
    createAnswerFont(document);
    build.pictureRow = 0;
    build.extent = PageExtent{0, 0, kFirstRowY};

    ScoreUpdateHold oneScoreUpdate(document, page);
    const int questions = pageQuestionCount(document->questionCount);
    for (int n = 1; n <= questions; ++n) {
        switch (kind) {
        case QuizKindText: buildTextRow(build, n); break;
        case QuizKindPicture: buildPictureRow(build, n); break;
        case QuizKindAudio:
        case QuizKindVideo:
            if (!buildPlayerRow(build, n)) return TRUE;
            break;
        default: break;
        }
    }
    document->pageWidth = finishPageWidth(document->pageWidth, document->answersPerQuestion);
    updateScrollRanges(document, page);
    return TRUE;
}

bool inIdRange(int id, int base, int count) { return id > base && id <= base + count; }

// Number labels, answer captions and clue labels are drawn on the page's
// colour, in black on a light page and in white on a dark one.
INT_PTR pageColouredLabel(const QuizDocument* document, HDC dc) {
    const BackgroundColor& colour = document->backgroundColor;
    const bool light = colour.red > 69 || colour.green > 69;
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, light ? RGB(0, 0, 0) : RGB(255, 255, 255));
    return reinterpret_cast<INT_PTR>(document->backgroundBrush);
}

// A verdict label is coloured by what it reads; "?" keeps the default colours.
INT_PTR verdictColour(const QuizDocument* document, HWND label) {
    char text[255] = "";
    GetWindowTextA(label, text, sizeof text);
    HBRUSH brush = document->hintBrush;
    if (std::strcmp(text, kVerdictAnagramme) == 0) brush = document->anagramBrush;
    else if (std::strcmp(text, kVerdictBravo) == 0) brush = bravoBrush.get();
    else if (std::strcmp(text, kVerdictFaux) == 0) brush = document->wrongBrush;
    else if (std::strcmp(text, kVerdictUnanswered) == 0) brush = nullptr;
    return reinterpret_cast<INT_PTR>(brush);
}

INT_PTR onControlColour(const QuizDocument* document, HDC dc, HWND control) {
    const int id = GetDlgCtrlID(control);
    if (id == kNumberLabelBase || inIdRange(id, kNumberLabelBase, kMaxQuestions) || id == kAnswerCaptionId ||
        inIdRange(id, kClueLabelBase, kMaxQuestions))
        return pageColouredLabel(document, dc);
    if (inIdRange(id, kVerdictLabelBase, kMaxAnswerFields)) return verdictColour(document, control);
    if (id == kPromptLabelId) return reinterpret_cast<INT_PTR>(document->promptBrush);
    return 0;
}

// The play and stop buttons of an audio or video quiz.
void onCommand(const QuizDocument* document, WPARAM command) {
    if (document->quizKind != QuizKindAudio && document->quizKind != QuizKindVideo) return;
    if (inIdRange(static_cast<int>(command), kPlayButtonBase, kMaxQuestions))
        playClip(static_cast<int>(command) - kPlayButtonBase);
    else if (inIdRange(static_cast<int>(command), kStopButtonBase, kMaxQuestions))
        stopClip();
}

// The pictures a picture quiz's controls show are the page's: a static
// control does not delete its bitmap when it is destroyed.
void deletePictures(const QuizDocument* document, HWND page) {
    if (document->quizKind != QuizKindPicture) return;
    for (int n = 1; n <= pageQuestionCount(document->questionCount); ++n) {
        HWND control = GetDlgItem(page, kPictureBase + n);
        if (!control) continue;
        HGDIOBJ bitmap = reinterpret_cast<HGDIOBJ>(SendMessageA(control, STM_SETIMAGE, IMAGE_BITMAP, 0));
        if (bitmap) DeleteObject(bitmap);
    }
}

void onDestroy(const QuizDocument* document, HWND page) {
    deletePictures(document, page);
    bravoBrush.reset();
    for (HWND(&captions)[2] : rowCaptions) captions[0] = captions[1] = nullptr;
    stopClipsAndDeleteClipFile();
}

}  // namespace

HWND answerCaption(int row, int k) {
    return row >= 0 && row < kMaxPictureRows && (k == 1 || k == 2) ? rowCaptions[row][k - 1] : nullptr;
}

int pageFieldCount(const QuizDocument* document) {
    return pageQuestionCount(document->questionCount) *
           fieldsPerQuestion(document->quizKind, document->answersPerQuestion);
}

void controlText(HWND page, int id, char* text, int capacity) {
    text[0] = '\0';
    GetDlgItemTextA(page, id, text, capacity);
}

bool labelReadsBravo(HWND page, int id) {
    char text[255];
    controlText(page, id, text, sizeof text);
    return std::strcmp(text, kVerdictBravo) == 0;
}

INT_PTR CALLBACK quizPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
    QuizDocument* document = quizDocument;
    if (!document) return 0;
    switch (message) {
    case WM_INITDIALOG: return buildPage(document, page);
    case WM_SIZE: onPageSize(document, page); return 0;
    case WM_VSCROLL: onPageVerticalScroll(page, LOWORD(wParam)); return 0;
    case WM_HSCROLL: onPageHorizontalScroll(page, LOWORD(wParam)); return 0;
    case WM_MOUSEWHEEL: onPageMouseWheel(page, wParam); return 0;
    case WM_COMMAND: onCommand(document, wParam); return 0;
    case WM_CTLCOLORSTATIC:
        return onControlColour(document, reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
    case WM_CTLCOLORDLG: return reinterpret_cast<INT_PTR>(document->backgroundBrush);
    case WM_DESTROY:
    case WM_CLOSE: onDestroy(document, page); return 0;
    default: return 0;
    }
}
