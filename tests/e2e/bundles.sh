#!/usr/bin/env bash
# The release bundles, tried from their contents alone: tools/release.sh
# makes both from the Windows build (without building again), each is
# unpacked into an empty folder, and with only what it holds
#  - Windows zip: kerbo-pack.exe, run under Wine in a fresh Wine prefix,
#    reports the bundle's version and builds the first quiz and the picture
#    demo (finding kerbo-player.exe beside it);
#  - Linux tarball: kerbo-pack needs no shared library but the C library's,
#    reports the version and builds the first quiz and the text demo;
# and every quiz built is started under Wine, shows its main window with its
# title as the caption and ends with exit code 0 when closed.
#   bundles.sh BUILD_DIR     (the Windows build directory)
set -u

build_dir=$(cd "${1:?usage: bundles.sh WINDOWS_BUILD_DIR}" && pwd)
source_dir=$(cd "$(dirname "$0")/../.." && pwd)
wine_run=$source_dir/cmake/wine-run.sh
source "$source_dir/tools/player_x11.sh"
source "$source_dir/tests/e2e/lib/checks.bash"
source "$source_dir/tests/e2e/lib/start_player.bash"

for tool in Xvfb xdotool xdpyinfo wine readelf; do
  command -v "$tool" >/dev/null || { echo "bundles.sh: $tool is missing (tools/install-deps.sh)"; exit 1; }
done

begin_player_session "$build_dir" e2e-bundles || { echo "bundles.sh: Xvfb did not start"; exit 1; }
# One fresh prefix for everything below, made by wine-run.sh at its first use.
export KERBO_WINEPREFIX=$WORK_DIR/wineprefix

version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build_dir/CMakeCache.txt")
echo "== tools/release.sh (version $version)"
"$source_dir/tools/release.sh" --no-build --build-dir "$build_dir" --dist "$WORK_DIR/dist" ||
  fail "tools/release.sh failed"

# unpack ARCHIVE FOLDER: FOLDER/kerbo-VERSION-SYSTEM-x86_64 afterwards.
unpack() {
  mkdir "$2" && (cd "$2" && cmake -E tar xf "$1") || fail "cannot unpack $1"
}
quiz_title() { sed -n 's/^title:[[:space:]]*//p' "$1" | head -1; }

# try_quiz DIR DESCRIPTION EXE PACK...: builds DIR/DESCRIPTION (a path with
# "/") into DIR/EXE with the command PACK... run in DIR, then starts the quiz
# and checks its caption. On Windows the path is given with "\".
try_quiz() {
  local dir=$1 description=$2 exe=$3 given status
  shift 3
  given=$description
  [ "$1" = wine_pack ] && given=${description//\//\\}
  echo "== build $given"
  (cd "$dir" && "$@" build "$given" -o "$exe") 2>&1 | tr -d '\r'
  status=${PIPESTATUS[0]}
  if [ "$status" -ne 0 ] || [ ! -f "$dir/$exe" ]; then
    fail "build $given: exit code $status, $exe written: $([ -f "$dir/$exe" ] && echo yes || echo no)"
    return
  fi
  check_player "$dir/$exe" "$(quiz_title "$dir/$description")" ""
}

# ---- Windows: everything through Wine ----
unpack "$WORK_DIR/dist/kerbo-$version-windows-x86_64.zip" "$WORK_DIR/windows"
win=$WORK_DIR/windows/kerbo-$version-windows-x86_64
for f in kerbo-pack.exe kerbo-player.exe LISEZMOI.txt README.txt quiz-format.txt demos/picture.quiz premier-quiz/quiz.quiz; do
  [ -f "$win/$f" ] || fail "windows bundle: no $f"
done
wine_pack() { "$wine_run" kerbo-pack.exe "$@"; }
check "windows: kerbo-pack.exe --version" "kerbo-pack $version" "$(cd "$win" && wine_pack --version | tr -d '\r')"
try_quiz "$win" premier-quiz/quiz.quiz PremierQuiz.exe wine_pack
try_quiz "$win" demos/picture.quiz Images.exe wine_pack

# ---- Linux: kerbo-pack runs here, the quizzes under Wine ----
unpack "$WORK_DIR/dist/kerbo-$version-linux-x86_64.tar.gz" "$WORK_DIR/linux"
linux=$WORK_DIR/linux/kerbo-$version-linux-x86_64
for f in kerbo-pack kerbo-player.exe LISEZMOI.txt README.txt quiz-format.txt demos/text.quiz premier-quiz/quiz.quiz; do
  [ -f "$linux/$f" ] || fail "linux bundle: no $f"
done
needed=$(readelf -d "$linux/kerbo-pack" | sed -n 's/.*(NEEDED).*\[\(.*\)\]/\1/p' | tr '\n' ' ')
echo "linux kerbo-pack needs: ${needed:-nothing (static)}"
case " $needed" in
  *" lib"*) [ "$needed" = "libc.so.6 " ] || fail "linux kerbo-pack needs shared libraries: $needed" ;;
esac
check "linux: kerbo-pack --version" "kerbo-pack $version" "$(cd "$linux" && ./kerbo-pack --version)"
try_quiz "$linux" premier-quiz/quiz.quiz PremierQuiz.exe ./kerbo-pack
try_quiz "$linux" demos/text.quiz Texte.exe ./kerbo-pack

finish_checks bundles
