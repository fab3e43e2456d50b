#!/usr/bin/env bash
# Runs a Windows program under Wine for the build and the tests.
#
# - The Wine prefix lives in the build tree (the nearest folder above the
#   program that holds CMakeCache.txt, or $KERBO_WINEPREFIX), and is made once,
#   under a lock, with window management off (on a bare X server hiding a
#   top-level window otherwise waits for a window manager that never answers)
#   and with Wine's Tahoma and Marlett fonts installed.
# - Wine's own messages are silenced, and the locale is one whose ANSI code
#   page is 1252.
# - Without a display that answers, a private Xvfb is started for the run and
#   stopped afterwards; standard error says so, and on which display.
# The program's exit code is this script's exit code.
set -u

program=${1:?usage: wine-run.sh PROGRAM [ARGS...]}

find_build_dir() {
  local d
  d=$(cd "$(dirname "$1")" 2>/dev/null && pwd) || return 1
  while [ "$d" != "/" ]; do
    [ -f "$d/CMakeCache.txt" ] && { echo "$d"; return 0; }
    d=$(dirname "$d")
  done
  return 1
}

if [ -z "${KERBO_WINEPREFIX:-}" ]; then
  build_dir=$(find_build_dir "$program") || build_dir=${TMPDIR:-/tmp}/kerbo-wine
  KERBO_WINEPREFIX=$build_dir/wineprefix
fi
export WINEPREFIX=$KERBO_WINEPREFIX
export WINEARCH=win64
export WINEDEBUG=${KERBO_WINEDEBUG:--all}
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
export LC_ALL=C.UTF-8 LANG=C.UTF-8
mkdir -p "$(dirname "$WINEPREFIX")"

# start_private_xvfb, stop_private_xvfb and display_answers.
source "$(dirname "$0")/../tools/player_x11.sh"

started_xvfb=""
cleanup() {
  if [ -n "$started_xvfb" ]; then
    wineserver -k >/dev/null 2>&1
    stop_private_xvfb
  fi
}
trap cleanup EXIT

DISPLAY_WANTED=${DISPLAY:-}
if ! display_answers; then
  start_private_xvfb || { echo "wine-run: Xvfb did not start" >&2; exit 125; }
  started_xvfb=1
  echo "wine-run: no display answers${DISPLAY_WANTED:+ at $DISPLAY_WANTED}; started a private Xvfb on $DISPLAY" >&2
  for _ in $(seq 1 100); do display_answers && break; sleep 0.1; done
fi

(
  flock 9
  if [ ! -f "$WINEPREFIX/.kerbo-ready" ]; then
    wineboot -i >/dev/null 2>&1
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
    # Wine's own Tahoma: without it the default GUI font falls back to a wider
    # face and labels sized for Tahoma cut their texts.
    cp -n /usr/share/wine/fonts/tahoma*.ttf "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null
    wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1
    wineserver -w
    touch "$WINEPREFIX/.kerbo-ready"
  fi
  # Wine's Marlett draws the title bar's buttons; without it they show as
  # the letters "0 1 r". Also added to prefixes made before it was.
  [ -f "$WINEPREFIX/drive_c/windows/Fonts/marlett.ttf" ] ||
    cp /usr/share/wine/fonts/marlett.ttf "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null
) 9>"$WINEPREFIX.lock"

wine "$@"
status=$?
exit $status
