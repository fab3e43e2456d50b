#!/usr/bin/env bash
# Builds every configuration and runs every test: native (plain and with
# AddressSanitizer/UndefinedBehaviorSanitizer), Windows under Wine, and each
# fuzz target briefly. Fails when anything fails.
#   tools/test.sh            everything
#   KERBO_FUZZ_SECONDS=N     seconds per fuzz target (default 10; 0 skips fuzzing)
set -euo pipefail
cd "$(dirname "$0")/.."

tools/install-deps.sh

jobs=$(nproc)
status=0
run() { echo "== $*"; "$@" || status=1; }

for preset in native native-asan windows; do
  run cmake --preset "$preset" >/dev/null
  run cmake --build --preset "$preset" -j "$jobs"
done

run ctest --preset native
run ctest --preset native-asan
run ctest --preset windows

fuzz_seconds=${KERBO_FUZZ_SECONDS:-10}
if [ "$fuzz_seconds" != 0 ]; then
  run tools/fuzz.sh "$fuzz_seconds"
fi

[ $status -eq 0 ] && echo "all tests passed" || echo "some tests FAILED"
exit $status
