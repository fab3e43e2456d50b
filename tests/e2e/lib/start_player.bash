# check_player EXE EXPECTED_CAPTION EXPECTED_BOXES (sourced, after
# tools/player_x11.sh and checks.bash, inside begin_player_session with a
# WORK_DIR): starts EXE through $wine_run in a fresh folder of WORK_DIR,
# dismisses its message boxes, finds its main window (544 x 375, centred on
# the 1280 x 1024 screen) with the expected caption (empty: any) and the
# expected boxes ("[caption]" each, in order), closes it with Alt+F4 and
# checks that the process ends with exit code 0 after saving the answers
# next to where it ran.
check_player() {
  local exe=$1 caption=$2 boxes=$3 name
  name=$(basename "$exe")
  echo "== $name"
  mkdir -p "$WORK_DIR/$name.run"
  (cd "$WORK_DIR/$name.run" && exec "$wine_run" "$exe") &
  PLAYER_PID=$!

  if ! wait_for_main_window "$name" "$PLAYER_PID" 120; then
    fail "$name: no 544x375 main window appeared (message boxes: ${DISMISSED_BOXES:-none})"
    kill "$PLAYER_PID" 2>/dev/null
    PLAYER_PID=""
    return
  fi
  echo "main window: [$(window_name "$MAIN_WINDOW")] at $(window_position "$MAIN_WINDOW"), message boxes: ${DISMISSED_BOXES:-none}"
  [ "$DISMISSED_BOXES" = "$boxes" ] || fail "$name: message boxes ${DISMISSED_BOXES:-none}, expected ${boxes:-none}"
  if [ -n "$caption" ] && [ "$(window_name "$MAIN_WINDOW")" != "$caption" ]; then
    fail "$name: caption [$(window_name "$MAIN_WINDOW")], expected [$caption]"
  fi
  # Centred: (1280 - 544) / 2 and (1024 - 375) / 2.
  [ "$(window_position "$MAIN_WINDOW")" = "368,324" ] ||
    fail "$name: main window at $(window_position "$MAIN_WINDOW"), expected 368,324"

  sleep 1
  if close_and_wait "$MAIN_WINDOW" "$PLAYER_PID" 30; then
    echo "exit code: $EXIT_STATUS"
    [ "$EXIT_STATUS" = 0 ] || fail "$name: exit code $EXIT_STATUS, expected 0"
  else
    fail "$name: still running 30 s after Alt+F4"
  fi
  PLAYER_PID=""
  local saved="$WORK_DIR/$name.run/${name%.exe}.txt"
  [ -f "$saved" ] || fail "$name: closing did not save the answers to ${name%.exe}.txt"
}
