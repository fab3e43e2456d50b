#!/usr/bin/env bash
# Builds the libFuzzer targets (clang, ASan, UBSan) and runs each one for the
# given number of seconds (default 60). Corpora live in build/fuzz/corpus/NAME;
# seeds from tests/fuzz/seeds/NAME and, for the PNG targets, the PNG suite in
# ../shared/pngsuite when it is there. Fails when a target finds a crash.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}

cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j "$(nproc)"

status=0
for fuzzer in build/fuzz/tests/kerbo-fuzz-*; do
  [ -x "$fuzzer" ] || continue
  name=${fuzzer##*/kerbo-fuzz-}
  corpus=build/fuzz/corpus/$name
  mkdir -p "$corpus"
  seeds=()
  [ -d "tests/fuzz/seeds/$name" ] && seeds+=("tests/fuzz/seeds/$name")
  case $name in png*) [ -d ../shared/pngsuite ] && seeds+=(../shared/pngsuite) ;; esac
  echo "== fuzzing $name for ${seconds}s"
  if ! "$fuzzer" -max_total_time="$seconds" -print_final_stats=0 \
        -artifact_prefix="build/fuzz/$name-" "$corpus" "${seeds[@]}" \
        > "build/fuzz/$name.log" 2>&1; then
    echo "fuzz target $name failed; see build/fuzz/$name.log"
    tail -n 30 "build/fuzz/$name.log"
    status=1
  fi
done
exit $status
