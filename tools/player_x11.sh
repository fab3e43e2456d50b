# Bash functions that drive a player running under Wine on an X server, as a
# person would, with xdotool: a private Xvfb, the wait for the main window
# with the message boxes dismissed on the way, and closing with Alt+F4.
# Sourced by cmake/wine-run.sh, tools/demo.sh and the end-to-end tests.
#
# Wine names the X class of a program's windows after its executable, and
# with window management off (cmake/wine-run.sh) an X window is exactly the
# Windows window, frame included.

# Starts Xvfb (1280 x 1024) on a free display and exports DISPLAY; XVFB_PID
# is its process. Returns 1 when it does not start.
start_private_xvfb() {
  exec 4< <(Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>&1 1>/dev/null 2>/dev/null & echo "pid $!")
  read -r _ XVFB_PID <&4
  local number
  read -r -t 20 number <&4 || return 1
  export DISPLAY=:$number
}

stop_private_xvfb() {
  [ -n "${XVFB_PID:-}" ] || return 0
  kill "$XVFB_PID" 2>/dev/null || true
  # It is not a child of this shell (started for the process substitution):
  # wait until it is gone.
  local tenths=0
  while kill -0 "$XVFB_PID" 2>/dev/null && [ $tenths -lt 50 ]; do
    sleep 0.1
    tenths=$((tenths + 1))
  done
  XVFB_PID=""
  return 0
}

# begin_player_session BUILD_DIR [WORK_DIR_PREFIX]
# A private X server, with WORK_DIR made as a fresh directory under
# BUILD_DIR when a prefix is given, and an EXIT trap that ends PLAYER_PID
# (when set), stops the Wine server of the build's prefix and the X server,
# and removes WORK_DIR. Returns 1 when the X server does not start.
begin_player_session() {
  SESSION_BUILD_DIR=$1
  PLAYER_PID=""
  WORK_DIR=""
  start_private_xvfb || return 1
  [ -n "${2:-}" ] && WORK_DIR=$(mktemp -d "$SESSION_BUILD_DIR/$2.XXXXXX")
  trap end_player_session EXIT
}

end_player_session() {
  [ -n "${PLAYER_PID:-}" ] && kill "$PLAYER_PID" 2>/dev/null
  WINEPREFIX=${KERBO_WINEPREFIX:-$SESSION_BUILD_DIR/wineprefix} wineserver -k >/dev/null 2>&1 || true
  stop_private_xvfb
  [ -n "${WORK_DIR:-}" ] && rm -rf "$WORK_DIR"
  return 0
}

display_answers() { [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; }

window_geometry() { xdotool getwindowgeometry "$1" 2>/dev/null | sed -n 's/.*Geometry: //p'; }
window_position() { xdotool getwindowgeometry "$1" 2>/dev/null | sed -n 's/.*Position: \([0-9-]*,[0-9-]*\).*/\1/p'; }
window_name() { xdotool getwindowname "$1" 2>/dev/null; }

# wait_for_main_window EXE_NAME PID SECONDS
# Waits for the visible 544 x 375 window of the program and sets
# MAIN_WINDOW to it; every other visible window of the program met on the
# way (a message box) is answered with Return, and its caption is appended
# to DISMISSED_BOXES as "[caption]". Returns 1 when the time runs out or
# the process ends first.
wait_for_main_window() {
  local exe=$1 pid=$2 seconds=$3 waited=0 w
  MAIN_WINDOW=""
  DISMISSED_BOXES=""
  while [ "$waited" -lt "$seconds" ]; do
    for w in $(xdotool search --onlyvisible --class "^$exe\$" 2>/dev/null); do
      if [ "$(window_geometry "$w")" = "544x375" ]; then
        MAIN_WINDOW=$w
        return 0
      fi
      DISMISSED_BOXES="$DISMISSED_BOXES[$(window_name "$w")]"
      xdotool windowfocus --sync "$w" 2>/dev/null
      xdotool key --clearmodifiers Return
    done
    kill -0 "$pid" 2>/dev/null || return 1
    sleep 1
    waited=$((waited + 1))
  done
  return 1
}

# close_and_wait WINDOW PID SECONDS
# Alt+F4 on the window, then waits for the process; sets EXIT_STATUS to its
# exit status, or to "" when it is still running after SECONDS.
close_and_wait() {
  local window=$1 pid=$2 seconds=$3 tenths=0
  EXIT_STATUS=""
  xdotool windowfocus --sync "$window" 2>/dev/null
  xdotool key --clearmodifiers alt+F4
  while [ "$tenths" -lt $((seconds * 10)) ]; do
    if ! kill -0 "$pid" 2>/dev/null; then
      wait "$pid"
      EXIT_STATUS=$?
      return 0
    fi
    sleep 0.1
    tenths=$((tenths + 1))
  done
  return 1
}
