// kerbo-pack preview QUIZ(.quiz or .exe) -o page.png [--solved] [--full]
//                   [--player PLAYER.exe]
//
// A screenshot of the quiz window without Windows (Linux, with Wine and
// Xvfb): a description is built first; the quiz runs from a private work
// directory, in kerbo-pack's own Wine prefix (made once, with window
// management off and Wine's Tahoma and Marlett; $KERBO_WINEPREFIX when set),
// on a private X server, and
// the window is saved as a PNG. --solved gives the player every expected
// answer in the saved-answers file, which it restores and judges at start,
// so clues, solved-state pictures, score and the last reward code show.
// --full makes the window tall and wide enough for the whole page. Every
// process started is ended and the work directory, answers file included,
// is removed.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "package/message_box.h"
#include "package/package_loader.h"
#include "package/pe_resource_store.h"
#include "page/page_geometry.h"
#include "page/saved_answers.h"
#include "tools/kerbo_pack/commands.h"
#include "tools/kerbo_pack/tool_files.h"

#ifndef _WIN32
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace {

struct PreviewOptions {
    std::string quiz, output, player;
    bool solved = false, full = false;
};

int usage() {
    std::fprintf(stderr,
                 "usage: kerbo-pack preview QUIZ.quiz|QUIZ.exe -o page.png [--solved] [--full] [--player "
                 "PLAYER.exe]\n");
    return 2;
}

#ifndef _WIN32

bool endsWith(const std::string& s, const char* end) {
    size_t n = std::strlen(end);
    return s.size() >= n && s.compare(s.size() - n, n, end) == 0;
}

// The session, as a bash script run with: WORK EXE OUTPUT WIDTH HEIGHT.
// WIDTH and HEIGHT are 0 to keep the window's own size.
const char kSession[] = R"SH(
set -u
work=$1 exe=$2 output=$3 width=$4 height=$5
prefix=${KERBO_WINEPREFIX:-${XDG_CACHE_HOME:-$HOME/.cache}/kerbo-pack/wineprefix}
xvfb_pid="" wine_pid=""
finish() {
  [ -n "$wine_pid" ] && kill "$wine_pid" 2>/dev/null
  WINEPREFIX=$prefix wineserver -k >/dev/null 2>&1
  [ -n "$wine_pid" ] && wait "$wine_pid" 2>/dev/null
  if [ -n "$xvfb_pid" ]; then
    kill "$xvfb_pid" 2>/dev/null
    for _ in $(seq 1 50); do kill -0 "$xvfb_pid" 2>/dev/null || break; sleep 0.1; done
  fi
}
trap finish EXIT
export WINEARCH=win64 WINEDEBUG=-all LC_ALL=C.UTF-8 LANG=C.UTF-8
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"

# kerbo-pack's own prefix, made once; one preview at a time runs in it, so
# that ending its Wine server ends no other preview's processes.
mkdir -p "$(dirname "$prefix")"
exec 9>"$prefix.lock"
flock 9
export WINEPREFIX=$prefix
if [ ! -f "$prefix/.kerbo-ready" ]; then
  echo "kerbo-pack preview: making the Wine prefix $prefix (once)" >&2
  wineboot -i >/dev/null 2>&1
  wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
  wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1
  wineserver -w
  touch "$prefix/.kerbo-ready"
fi
cp -n /usr/share/wine/fonts/tahoma*.ttf /usr/share/wine/fonts/marlett.ttf "$prefix/drive_c/windows/Fonts/" 2>/dev/null

screen_width=$(( width + 1280 ))
screen_height=$(( height + 1024 ))
exec 4< <(Xvfb -displayfd 3 -screen 0 ${screen_width}x${screen_height}x24 -nolisten tcp 3>&1 1>/dev/null 2>/dev/null & echo "pid $!")
read -r _ xvfb_pid <&4
read -r -t 20 number <&4 || { echo "kerbo-pack preview: Xvfb did not start" >&2; exit 1; }
export DISPLAY=:$number

cd "$work"
name=$(basename "$exe" .exe)
wine "$exe" >/dev/null 2>&1 &
wine_pid=$!
window=""
for _ in $(seq 1 60); do
  for w in $(xdotool search --onlyvisible --class "^$name.exe\$" 2>/dev/null); do
    if [ "$(xdotool getwindowgeometry "$w" 2>/dev/null | sed -n 's/.*Geometry: //p')" = "544x375" ]; then
      window=$w
    else
      # A message box: its caption goes to standard error, then it is answered.
      echo "kerbo-pack preview: the player showed \"$(xdotool getwindowname "$w" 2>/dev/null)\"" >&2
      xdotool windowfocus --sync "$w" 2>/dev/null; xdotool key --clearmodifiers Return
    fi
  done
  [ -n "$window" ] && break
  kill -0 "$wine_pid" 2>/dev/null || break
  sleep 1
done
[ -n "$window" ] || { echo "kerbo-pack preview: the quiz window did not appear" >&2; exit 1; }
if [ "$width" -gt 0 ]; then
  # Wine does not follow a resize of an unmanaged X window: its bottom
  # right corner is dragged with the mouse, as a person would.
  read -r left top < <(xdotool getwindowgeometry "$window" | sed -n 's/.*Position: \([0-9]*\),\([0-9]*\).*/\1 \2/p')
  xdotool mousemove $(( left + 542 )) $(( top + 373 )); sleep 0.3
  xdotool mousedown 1; sleep 0.3
  xdotool mousemove $(( left + width / 2 )) $(( top + height / 2 )); sleep 0.3
  xdotool mousemove $(( left + width - 2 )) $(( top + height - 2 )); sleep 0.3
  xdotool mouseup 1; sleep 0.3
fi
sleep 2
import -window "$window" "png:$output" || { echo "kerbo-pack preview: the screenshot failed" >&2; exit 1; }
)SH";

// The programs the session needs, with the Debian package of each.
bool toolsPresent() {
    const char* const tools[][2] = {{"wine", "wine"}, {"wineserver", "wine"}, {"Xvfb", "xvfb"},
                                    {"xdotool", "xdotool"}, {"import", "imagemagick"}, {"flock", "util-linux"}};
    bool all = true;
    for (const auto& t : tools) {
        std::string probe = std::string("command -v ") + t[0] + " >/dev/null 2>&1";
        if (std::system(probe.c_str()) != 0) {
            std::fprintf(stderr, "kerbo-pack preview: error: '%s' not found; install the Debian package %s\n",
                         t[0], t[1]);
            all = false;
        }
    }
    return all;
}

int runSession(const std::string& work, const std::string& exe, const std::string& output, int width, int height) {
    std::string w = std::to_string(width), h = std::to_string(height);
    std::vector<const char*> argv = {"bash",       "-c",        kSession,  "kerbo-pack-preview", work.c_str(),
                                     exe.c_str(), output.c_str(), w.c_str(), h.c_str(),             nullptr};
    std::fflush(nullptr);
    pid_t child = fork();
    if (child < 0) return 1;
    if (child == 0) {
        execvp("bash", const_cast<char* const*>(argv.data()));
        _exit(127);
    }
    int status = 0;
    while (waitpid(child, &status, 0) < 0) {
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : 1;
}

// The loaded quiz of an executable, for the answers and the page size.
struct LoadedQuiz {
    QuizDocument* document = createQuizDocument();
    ~LoadedQuiz() { destroyQuizDocument(document); }
};

// Every expected answer, one line per answer field, in field order.
std::vector<unsigned char> expectedAnswers(const QuizDocument& d) {
    static SavedAnswersBytes save;
    clearSavedAnswers(&save);
    const int perQuestion = fieldsPerQuestion(d.quizKind, d.answersPerQuestion);
    for (const QuestionNode* q = d.firstQuestion; q; q = q->next) {
        appendSavedAnswer(&save, q->firstAnswer);
        if (perQuestion == 2) appendSavedAnswer(&save, q->secondAnswer);
    }
    return std::vector<unsigned char>(save.bytes, save.bytes + save.size);
}

// A window that holds the whole page without scrolling: the page's widest
// row, and for its height the header, every row at its tallest (pictures
// fit a 260-pixel box) and the footer, within what Xvfb takes.
void fullWindowSize(const QuizDocument& d, int* width, int* height) {
    const int rows = d.quizKind == QuizKindText ? d.questionCount : (d.questionCount + 2) / 3;
    const int rowHeight = d.quizKind == QuizKindText ? 40 : 260 + 200;
    *width = finishPageWidth(890, d.answersPerQuestion) + 60;
    *height = 140 + rows * rowHeight + 60;
    if (*height > 16000) *height = 16000;
}

std::string baseName(const std::string& path) {
    size_t slash = path.find_last_of("/\\");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

int preview(PreviewOptions& o) {
    if (!toolsPresent()) return 1;
    char pattern[] = "/tmp/kerbo-preview-XXXXXX";
    if (!mkdtemp(pattern)) {
        std::perror("kerbo-pack preview: mkdtemp");
        return 1;
    }
    const std::string work = pattern;
    int status = 0;
    std::string exe = work + "/" + (endsWith(o.quiz, ".quiz") ? "quiz.exe" : baseName(o.quiz));
    if (!endsWith(exe, ".exe")) exe += ".exe";
    std::vector<unsigned char> bytes;
    std::string error;
    if (endsWith(o.quiz, ".quiz")) {
        std::vector<std::string> args = {o.quiz, "-o", exe};
        if (!o.player.empty()) args.insert(args.end(), {"--player", o.player});
        std::vector<char*> argv;
        for (std::string& a : args) argv.push_back(&a[0]);
        status = runBuildCommand(static_cast<int>(argv.size()), argv.data());
        if (status == 0 && !readWholeFile(exe, &bytes, &error)) status = 1;
    } else if (!readWholeFile(o.quiz, &bytes, &error) || !writeFileReplacing(exe, bytes, true, &error)) {
        std::fprintf(stderr, "%s: error: %s\n", o.quiz.c_str(), error.c_str());
        status = 1;
    }
    int width = 0, height = 0;
    if (status == 0) {
        PeResourceStore store(bytes.data(), static_cast<uint32_t>(bytes.size()));
        LoadedQuiz quiz;
        loadQuizPackage(quiz.document, store, nullptr);
        clearLastMessage();
        if (o.full) fullWindowSize(*quiz.document, &width, &height);
        if (o.solved && !writeFileReplacing(exe.substr(0, exe.size() - 4) + ".txt", expectedAnswers(*quiz.document),
                                            false, &error)) {
            std::fprintf(stderr, "kerbo-pack preview: error: cannot write the answers: %s\n", error.c_str());
            status = 1;
        }
    }
    // The screenshot is written in the work directory, then moved.
    const std::string shot = work + "/page.png";
    if (status == 0) status = runSession(work, exe, shot, width, height);
    if (status == 0) {
        if (!readWholeFile(shot, &bytes, &error) || !writeFileReplacing(o.output, bytes, false, &error)) {
            std::fprintf(stderr, "%s: error: cannot write: %s\n", o.output.c_str(), error.c_str());
            status = 1;
        } else {
            std::printf("%s: the window of %s\n", o.output.c_str(), o.quiz.c_str());
        }
    }
    std::string remove = "rm -rf '" + work + "'";
    if (std::system(remove.c_str()) != 0) std::fprintf(stderr, "kerbo-pack preview: cannot remove %s\n", work.c_str());
    return status;
}

#endif

}  // namespace

int runPreviewCommand(int argc, char** argv) {
    PreviewOptions o;
    for (int i = 0; i < argc; ++i) {
        std::string arg = argv[i];
        if (arg == "-o" && i + 1 < argc) {
            o.output = argv[++i];
        } else if (arg == "--player" && i + 1 < argc) {
            o.player = argv[++i];
        } else if (arg == "--solved") {
            o.solved = true;
        } else if (arg == "--full") {
            o.full = true;
        } else if (arg[0] != '-' && o.quiz.empty()) {
            o.quiz = arg;
        } else {
            return usage();
        }
    }
    if (o.quiz.empty() || o.output.empty()) return usage();
#ifdef _WIN32
    std::fprintf(stderr, "kerbo-pack preview: error: preview runs the quiz under Wine on Linux; on Windows, run "
                         "the quiz itself\n");
    return 1;
#else
    return preview(o);
#endif
}
