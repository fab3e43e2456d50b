#!/usr/bin/env bash
# Builds the Windows configuration and starts the demo quiz under Wine.
#   tools/demo.sh
# With a display that answers ($DISPLAY), the player opens in a window there
# and the script ends when it is closed. Without one, the player runs on a
# private X server: the script waits for its window, answers the message
# boxes, saves a screenshot of the window to ./demo.png and closes it.
# The demo quiz is build/windows/kerbo.exe, or the player without a quiz
# (kerbo-player.exe) when the demo quiz is not built.
# KERBO_DEMO_BUILD_DIR chooses another build directory for the preset.
set -euo pipefail

source_dir=$(cd "$(dirname "$0")/.." && pwd)
screenshot=$(pwd)/demo.png
cd "$source_dir"

tools/install-deps.sh

build_dir=${KERBO_DEMO_BUILD_DIR:-build/windows}
if [ "$build_dir" = build/windows ]; then
  cmake --preset windows
  cmake --build --preset windows
else
  cmake --preset windows -B "$build_dir"
  cmake --build "$build_dir"
fi
build_dir=$(cd "$build_dir" && pwd)

player=$build_dir/kerbo.exe
[ -f "$player" ] || player=$build_dir/kerbo-player.exe
name=$(basename "$player")
# The answers are saved next to where the player runs.
run_dir=$build_dir/demo-run
mkdir -p "$run_dir"
source "$source_dir/tools/player_x11.sh"

if display_answers; then
  echo "starting $name on $DISPLAY; close its window to end"
  cd "$run_dir"
  exec "$source_dir/cmake/wine-run.sh" "$player"
fi

begin_player_session "$build_dir" || { echo "demo: Xvfb did not start" >&2; exit 1; }

echo "starting $name on a private X server ($DISPLAY)"
(cd "$run_dir" && exec "$source_dir/cmake/wine-run.sh" "$player") &
PLAYER_PID=$!
if ! wait_for_main_window "$name" "$PLAYER_PID" 120; then
  echo "demo: the player's window did not appear (message boxes: ${DISMISSED_BOXES:-none})" >&2
  exit 1
fi
[ -n "$DISMISSED_BOXES" ] && echo "message boxes answered: $DISMISSED_BOXES"
echo "window: [$(window_name "$MAIN_WINDOW")] at $(window_position "$MAIN_WINDOW")"
sleep 2  # let every control paint
position=$(window_position "$MAIN_WINDOW")
import -window root -crop "$(window_geometry "$MAIN_WINDOW")+${position%,*}+${position#*,}" +repage "$screenshot"
echo "screenshot: $screenshot"

if close_and_wait "$MAIN_WINDOW" "$PLAYER_PID" 30; then
  echo "the player ended with exit code $EXIT_STATUS"
else
  echo "demo: the player did not end after Alt+F4" >&2
  exit 1
fi
PLAYER_PID=""
