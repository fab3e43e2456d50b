#!/usr/bin/env bash
# Answers typed into a real player under Wine, as a person would, on a
# private X server: the text demo (demos/text.exe) is started, answers are
# typed with Tab and Enter (ASCII only: xdotool types other characters by
# remapping a key for a moment, which the player may read too late; the
# code page 1252 bytes of the file are checked by the in-process tests), the window is closed, and the saved-answers file
# must hold exactly one CR LF line per field. A second start must restore
# them and judge them at once: the verdict labels are checked by their
# colours on a screenshot (green "BRAVO", yellow hints, red "FAUX", the
# default colour for "?"), and closing again must save the same bytes.
# The picture demo (kerbo.exe) is then answered and closed the same way.
#   page_answers.sh BUILD_DIR     (the Windows build directory)
# KERBO_SCREENSHOT_DIR, when set, receives text-demo.png and
# picture-demo.png: screenshots of the two demo windows.
set -u

build_dir=$(cd "${1:?usage: page_answers.sh WINDOWS_BUILD_DIR}" && pwd)
source_dir=$(cd "$(dirname "$0")/../.." && pwd)
wine_run=$source_dir/cmake/wine-run.sh
source "$source_dir/tools/player_x11.sh"

for tool in Xvfb xdotool xdpyinfo wine convert import; do
  command -v "$tool" >/dev/null || { echo "page_answers.sh: $tool is missing (tools/install-deps.sh)"; exit 1; }
done
for exe in demos/text.exe kerbo.exe; do
  [ -f "$build_dir/$exe" ] || { echo "page_answers.sh: $build_dir/$exe is not built (target kerbo-quizzes)"; exit 1; }
done

source "$source_dir/tests/e2e/lib/checks.bash"

start_private_xvfb || { echo "page_answers.sh: Xvfb did not start"; exit 1; }
work_dir=$(mktemp -d "$build_dir/e2e-page.XXXXXX")
player_pid=""
cleanup() {
  [ -n "$player_pid" ] && kill "$player_pid" 2>/dev/null
  WINEPREFIX=${KERBO_WINEPREFIX:-$build_dir/wineprefix} wineserver -k >/dev/null 2>&1
  stop_private_xvfb
  rm -rf "$work_dir"
}
trap cleanup EXIT

# start_player EXE RUN_DIR: starts it there and waits for its main window.
start_player() {
  local exe=$1 run_dir=$2
  mkdir -p "$run_dir"
  cp "$exe" "$run_dir/"
  (cd "$run_dir" && exec "$wine_run" "$run_dir/$(basename "$exe")") &
  player_pid=$!
  if ! wait_for_main_window "$(basename "$exe")" "$player_pid" 120; then
    fail "$(basename "$exe"): no main window"
    return 1
  fi
  sleep 1
  xdotool windowfocus --sync "$MAIN_WINDOW" 2>/dev/null
  return 0
}

close_player() {
  if close_and_wait "$MAIN_WINDOW" "$player_pid" 30; then
    check "$1: exit code" 0 "$EXIT_STATUS"
  else
    fail "$1: still running 30 s after Alt+F4"
  fi
  player_pid=""
}

# Types each argument into the focused field; "{Tab}" and "{Return}" press
# those keys instead.
keys() {
  local item
  for item in "$@"; do
    case $item in
      "{Tab}") xdotool key --clearmodifiers Tab ;;
      "{Return}") xdotool key --clearmodifiers Return ;;
      *) xdotool type --clearmodifiers --delay 40 "$item" ;;
    esac
    sleep 0.2
  done
}

# The window's pixels, as the X server shows them.
window_shot() { import -window root -crop "544x375+${2/,/+}" +repage "$1"; }
# pixel FILE X Y -> "R,G,B"
pixel() { convert "$1" -format '%[fx:int(255*p{'"$2,$3"'}.r)],%[fx:int(255*p{'"$2,$3"'}.g)],%[fx:int(255*p{'"$2,$3"'}.b)]' info:; }
hex_of() { od -An -tx1 -v "$1" | tr -d ' \n'; }

# --- The text demo: type, close, check the bytes ------------------------------
text_run=$work_dir/text
echo "== demos/text.exe: typing answers"
if start_player "$build_dir/demos/text.exe" "$text_run"; then
  # The first answer field has the focus when the player starts.
  keys paris "{Tab}" Berlinn "{Tab}" Madrid "{Return}" "{Tab}" Lyon "{Tab}" "{Tab}" Vienne "{Tab}" Athenes "{Return}"
  # Typing into field 1 (x 610 of the page, out of view at the start)
  # brought it and its label into view: row 1's "BRAVO" shows, green, in
  # the page's client area.
  shot=$work_dir/text-typed.png
  window_shot "$shot" "$(window_position "$MAIN_WINDOW")"
  greens=$(convert "$shot" -crop 500x1+12+89 +repage txt:- | grep -c '#00FF00')
  if [ "$greens" -gt 20 ]; then echo "ok   typing showed field 1 and its verdict ($greens green pixels)"
  else fail "typing into field 1 did not show its verdict label (green pixels: $greens)"; fi
  close_player "text.exe, first run"
fi
expected=$(printf 'paris\r\nBerlinn\r\nMadrid\r\nLyon\r\n\r\nVienne\r\nAthenes\r\n\r\n' | od -An -tx1 -v | tr -d ' \n')
if [ -f "$text_run/text.txt" ]; then
  check "text.txt bytes after typing" "$expected" "$(hex_of "$text_run/text.txt")"
else
  fail "closing did not write text.txt"
fi

# --- Second start: restored and judged -----------------------------------------
echo "== demos/text.exe: restored answers"
if start_player "$build_dir/demos/text.exe" "$text_run"; then
  position=$(window_position "$MAIN_WINDOW")
  # The page's client area starts at (10, 74) in the window (frame, header
  # and page border); its horizontal scroll bar lies below it. A click in the
  # bar's trough pages right, to the end: the page is 900 wide, its client
  # about 503, so the verdict labels (x 790 of the page) come into view.
  xdotool mousemove --window "$MAIN_WINDOW" 470 343 click 1
  sleep 0.5
  shot=$work_dir/text-restored.png
  window_shot "$shot" "$position"
  # Find the page's scroll position from field 1's left border: on its row,
  # past the prompt label, the page colour shows in the gap before the field.
  row_y=$((74 + 5 + 10))
  field_left=""
  gap=""
  for x in $(seq 10 515); do
    colour=$(pixel "$shot" "$x" "$row_y")
    if [ "$colour" = "90,95,150" ]; then
      gap=yes
    elif [ -n "$gap" ]; then
      field_left=$x
      break
    fi
  done
  if [ -z "$field_left" ]; then
    fail "no answer field found on the restored page"
  else
    scroll=$((610 - (field_left - 10)))
    echo "page scrolled right by $scroll pixels"
    label_x=$((10 + 790 - scroll + 6))
    verdict_colour() { pixel "$shot" "$label_x" $((74 + 5 + 25 * ($1 - 1) + 4)); }
    check "verdict 1 (paris): BRAVO green" "0,255,0" "$(verdict_colour 1)"
    check "verdict 2 (Berlinn): hint yellow" "255,203,38" "$(verdict_colour 2)"
    check "verdict 3 (Madrid): BRAVO green" "0,255,0" "$(verdict_colour 3)"
    check "verdict 4 (Lyon): FAUX red" "255,0,0" "$(verdict_colour 4)"
    check "verdict 6 (Vienne): BRAVO green" "0,255,0" "$(verdict_colour 6)"
    check "verdict 7 (Athenes for Athènes): hint yellow" "255,203,38" "$(verdict_colour 7)"
    unanswered=$(verdict_colour 5)
    case $unanswered in
      0,255,0 | 255,203,38 | 255,0,0 | 255,100,0 | 90,95,150) fail "verdict 5 (empty): coloured $unanswered" ;;
      *) echo "ok   verdict 5 (empty): default colour $unanswered" ;;
    esac
  fi
  [ -n "${KERBO_SCREENSHOT_DIR:-}" ] && cp "$shot" "$KERBO_SCREENSHOT_DIR/text-demo.png"
  if [ -n "$field_left" ]; then
    # A real click into field 2 ("Berlinn") while field 1 has the focus
    # leaves its whole text selected: typing the same answer over it keeps
    # the saved bytes unchanged (a caret put at the click would not).
    xdotool mousemove --window "$MAIN_WINDOW" $((field_left + 60)) $((74 + 30 + 10)) click 1
    sleep 0.5
    keys Berlinn
  fi
  close_player "text.exe, second run"
  check "text.txt bytes after restoring" "$expected" "$(hex_of "$text_run/text.txt")"
fi

# --- The picture demo -------------------------------------------------------------
picture_run=$work_dir/picture
echo "== kerbo.exe (picture demo)"
if start_player "$build_dir/kerbo.exe" "$picture_run"; then
  keys soleil "{Tab}" lun "{Tab}" etoile "{Return}"
  # Two wheel notches over the page bring the answer lines into view.
  xdotool mousemove --window "$MAIN_WINDOW" 270 200 click 5 click 5
  sleep 0.5
  [ -n "${KERBO_SCREENSHOT_DIR:-}" ] && window_shot "$KERBO_SCREENSHOT_DIR/picture-demo.png" "$(window_position "$MAIN_WINDOW")"
  close_player "kerbo.exe"
  expected=$(printf 'soleil\r\nlun\r\netoile\r\n\r\n\r\n\r\n' | od -An -tx1 -v | tr -d ' \n')
  check "kerbo.txt bytes" "$expected" "$(hex_of "$picture_run/kerbo.txt")"
fi

finish_checks page_answers
