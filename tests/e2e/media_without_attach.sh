#!/usr/bin/env bash
# The clip players when atl.dll cannot attach them: once with atl.dll
# disabled, once with a stand-in atl.dll that lacks AtlAxAttachControl.
# Runs the WithoutAttach tests of the media player test executable in a Wine
# prefix of its own, so the overrides touch no other test.
# Usage: media_without_attach.sh WINDOWS_BUILD_DIR
set -eu

build=${1:?usage: media_without_attach.sh WINDOWS_BUILD_DIR}
build=$(cd "$build" && pwd)
source_dir=$(cd "$(dirname "$0")/../.." && pwd)
runner=$source_dir/cmake/wine-run.sh
test_exe=$build/tests/kerbo-wintest-media_player.exe
[ -f "$test_exe" ] || { echo "missing $test_exe (build target kerbo-wintest-media_player)" >&2; exit 1; }

export KERBO_WINEPREFIX=$build/media-e2e-wineprefix
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

set_atl_override() {
  "$runner" reg add 'HKCU\Software\Wine\DllOverrides' /v atl /d "$1" /f >/dev/null 2>&1
}

run_case() {
  local dir=$1 name=$2
  local log=$dir/log.txt
  (cd "$dir" && "$runner" "$dir/media_player.exe" --gtest_filter='WithoutAttach.*' >"$log" 2>&1) || true
  grep -E '^\[ path|^\[  ' "$log" || true
  if ! grep -q '^\[  PASSED  \] 1 test' "$log" || grep -q 'SKIPPED' "$log"; then
    echo "FAIL: $name" >&2
    cat "$log" >&2
    return 1
  fi
  echo "ok: $name"
}

# 1. No atl.dll at all.
mkdir "$work/none"
cp "$test_exe" "$work/none/media_player.exe"
set_atl_override ""
run_case "$work/none" "atl.dll disabled"

# 2. An atl.dll beside the program that exports no AtlAxAttachControl.
mkdir "$work/stand-in"
cp "$test_exe" "$work/stand-in/media_player.exe"
printf '__declspec(dllexport) int AtlModuleInit(void) { return 0; }\n' >"$work/atl.c"
x86_64-w64-mingw32-gcc -shared -o "$work/stand-in/atl.dll" "$work/atl.c"
set_atl_override "native"
run_case "$work/stand-in" "atl.dll without AtlAxAttachControl"
