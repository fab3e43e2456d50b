#!/usr/bin/env bash
# kerbo-pack.exe build and inspect under Wine: the Windows tool finds
# kerbo-player.exe by itself (in its parent directory, in the build tree),
# builds the same executable as the build machine's kerbo-pack, prints the
# same JSON, and refuses a faulty description with its line.
#   tests/e2e/kerbo_pack_build.sh BUILD_DIR   (the windows build directory)
set -u
build=$(cd "${1:?usage: kerbo_pack_build.sh BUILD_DIR}" && pwd)
source_dir=$(cd "$(dirname "$0")/../.." && pwd)
export KERBO_WINEPREFIX=${KERBO_WINEPREFIX:-$build/wineprefix}
pack_exe() { "$source_dir/cmake/wine-run.sh" "$build/tools/kerbo-pack.exe" "$@"; }
host_pack=$build/host-tools/tools/kerbo-pack
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

source "$source_dir/tests/e2e/lib/checks.bash"

for demo in audio picture; do
  pack_exe build "$source_dir/resources/demos/$demo.quiz" -o "$work/$demo.exe" --scramble >/dev/null
  check "$demo: build exit code" 0 "$?"
  "$host_pack" build "$source_dir/resources/demos/$demo.quiz" -o "$work/$demo-host.exe" \
    --player "$build/kerbo-player.exe" --scramble >/dev/null
  check "$demo: same bytes as the build machine's kerbo-pack" "" "$(cmp "$work/$demo.exe" "$work/$demo-host.exe" 2>&1)"
  windows_json=$(pack_exe inspect --json "$work/$demo.exe" | tr -d '\r')
  host_json=$("$host_pack" inspect --json "$work/$demo.exe")
  check "$demo: inspect says it was scrambled" 2 "$(grep -c '"scrambled"' <<<"$host_json")"
  check "$demo: inspect prints the same JSON" "$host_json" "$windows_json"
done

printf 'kind: text\n[question]\nanswer: a|b\n' >"$work/bad.quiz"
err=$(pack_exe build "$work/bad.quiz" -o "$work/bad.exe" 2>&1 >/dev/null); status=$?
check "refusal: exit code" 1 "$status"
check "refusal: line and reason" 1 "$(grep -c "bad.quiz:3: error: answer contains '|'" <<<"$err")"
check "refusal: nothing written" "no" "$([ -e "$work/bad.exe" ] && echo yes || echo no)"

finish_checks kerbo_pack_build
