#!/usr/bin/env bash
# kerbo-pack preview on the build machine: the picture demo, built from its
# description and shown solved, comes back as a PNG of the 544 x 375 window
# with question 1's verdict label green where it belongs; nothing is left
# behind; a missing program is named with its Debian package.
#   tests/e2e/kerbo_pack_preview.sh BUILD_DIR   (the windows build directory)
set -u
build=$(cd "${1:?usage: kerbo_pack_preview.sh BUILD_DIR}" && pwd)
source_dir=$(cd "$(dirname "$0")/../.." && pwd)
export KERBO_WINEPREFIX=${KERBO_WINEPREFIX:-$build/wineprefix}
host_pack=$build/host-tools/tools/kerbo-pack
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

source "$source_dir/tests/e2e/lib/checks.bash"

previews_before=$(ls -d /tmp/kerbo-preview-* 2>/dev/null | wc -l)
cd "$work"
"$host_pack" preview "$source_dir/resources/demos/picture.quiz" -o "$work/page.png" --solved \
  --player "$build/kerbo-player.exe" >/dev/null
check "exit code" 0 "$?"
check "the window's size" "544x375" "$(identify -format '%wx%h' "$work/page.png" 2>&1)"
# Question 1's "BRAVO" label: the green of a right answer, under its field.
check "BRAVO label green" "#00FF00" "$(convert "$work/page.png" -crop 1x1+100+331 -depth 8 txt:- | grep -o '#[0-9A-F]\{6\}' | head -1)"
check "no answers file, no work directory left" "page.png $previews_before" \
  "$(ls "$work") $(ls -d /tmp/kerbo-preview-* 2>/dev/null | wc -l)"

# Without Xvfb on the path.
mkdir "$work/bin"
for tool in sh bash wine wineserver xdotool import flock rm; do
  p=$(command -v "$tool") && ln -s "$p" "$work/bin/$tool"
done
err=$(PATH=$work/bin "$host_pack" preview "$build/demos/text.exe" -o "$work/none.png" 2>&1 >/dev/null); status=$?
check "missing Xvfb: exit code" 1 "$status"
check "missing Xvfb: names the package" 1 "$(grep -c "'Xvfb' not found; install the Debian package xvfb" <<<"$err")"
check "missing Xvfb: nothing written" "no" "$([ -e "$work/none.png" ] && echo yes || echo no)"

finish_checks kerbo_pack_preview
