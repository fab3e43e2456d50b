#!/usr/bin/env bash
# Starts real player executables under Wine on a private X server, as a
# person would: dismisses the start-up message boxes, finds the main window
# (544 x 375, centred on the 1280 x 1024 screen, its caption the quiz title),
# closes it with Alt+F4 and checks that the process ends with exit code 0
# after saving the answers next to it.
#   startup.sh BUILD_DIR     (the Windows build directory)
# Runs kerbo-player.exe (no quiz: the message "Cles du jeu absentes!" in a
# box captioned "Kerbo", then the title "Nom du kerbo"), the demo quiz
# kerbo.exe and the other demos (no message box, their titles as captions).
set -u

build_dir=$(cd "${1:?usage: startup.sh WINDOWS_BUILD_DIR}" && pwd)
source_dir=$(cd "$(dirname "$0")/../.." && pwd)
wine_run=$source_dir/cmake/wine-run.sh
source "$source_dir/tools/player_x11.sh"

for tool in Xvfb xdotool xdpyinfo wine; do
  command -v "$tool" >/dev/null || { echo "startup.sh: $tool is missing (tools/install-deps.sh)"; exit 1; }
done

source "$source_dir/tests/e2e/lib/checks.bash"

begin_player_session "$build_dir" e2e-startup || { echo "startup.sh: Xvfb did not start"; exit 1; }

source "$source_dir/tests/e2e/lib/start_player.bash"

if [ -f "$build_dir/kerbo-player.exe" ]; then
  check_player "$build_dir/kerbo-player.exe" "Nom du kerbo" "[Kerbo]"
else
  fail "kerbo-player.exe is not built in $build_dir"
fi
# The demos: each one's caption is the title its description gives.
demo_title() { sed -n 's/^title:[[:space:]]*//p' "$source_dir/resources/demos/$1.quiz"; }
if [ -f "$build_dir/kerbo.exe" ]; then
  check_player "$build_dir/kerbo.exe" "$(demo_title picture)" ""
else
  fail "kerbo.exe is not built in $build_dir"
fi
for demo in text audio video; do
  if [ -f "$build_dir/demos/$demo.exe" ]; then
    check_player "$build_dir/demos/$demo.exe" "$(demo_title $demo)" ""
  else
    fail "demos/$demo.exe is not built in $build_dir"
  fi
done

finish_checks startup
