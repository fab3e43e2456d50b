#!/usr/bin/env bash
# Builds the libFuzzer targets (clang, ASan, UBSan) and runs them.
#
#   tools/fuzz.sh [SECONDS]                       each target for SECONDS (default 60)
#   tools/fuzz.sh --campaign SECONDS [TARGET...]  a campaign: see below
#
# Corpora live in build/fuzz/corpus/NAME and are kept from run to run; seeds
# come from tests/fuzz/seeds/NAME and, for the PNG target, the PNG suite in
# ../shared/pngsuite when it is there. Fails when a target finds a crash.
#
# A campaign runs the targets (all, or those named) one after the other, one
# job each, for SECONDS each, with the final statistics in
# build/fuzz/campaign/NAME.log; then minimises each corpus into
# build/fuzz/minimised/NAME, builds the targets again for source coverage
# (build/fuzz-coverage) and writes, for each, build/fuzz/coverage/NAME.txt:
# the llvm-cov line and branch report of the decoder sources it exercises and
# every line of them that the corpus never reaches. --campaign 0 only
# minimises the kept corpora and reports their coverage.
set -euo pipefail
cd "$(dirname "$0")/.."

campaign=0
if [ "${1:-}" = --campaign ]; then
  campaign=1
  shift
fi
seconds=${1:-60}
[ $# -gt 0 ] && shift
wanted=("$@")

cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j "$(nproc)"

# The sources whose lines each target is meant to reach.
sources_of() {
  case $1 in
    lzw) echo package/lzw_decoder.cpp ;;
    package_loader) echo package/package_loader.cpp package/package_format.cpp package/lzw_decoder.cpp ;;
    pe_resource_store) echo package/pe_resource_store.cpp ;;
    pe_writer) echo tools/kerbo_pack/pe_resources.cpp package/pe_resource_store.cpp ;;
    png) echo media/png_decoder.cpp media/png_convert.cpp ;;
  esac
}

targets=()
for fuzzer in build/fuzz/tests/kerbo-fuzz-*; do
  [ -x "$fuzzer" ] || continue
  name=${fuzzer##*/kerbo-fuzz-}
  if [ ${#wanted[@]} -gt 0 ] && [[ ! " ${wanted[*]} " == *" $name "* ]]; then continue; fi
  targets+=("$name")
done

status=0
mkdir -p build/fuzz/campaign
for name in "${targets[@]}"; do
  [ $campaign = 1 ] && [ "$seconds" = 0 ] && continue
  fuzzer=build/fuzz/tests/kerbo-fuzz-$name
  corpus=build/fuzz/corpus/$name
  mkdir -p "$corpus"
  seeds=()
  [ -d "tests/fuzz/seeds/$name" ] && seeds+=("tests/fuzz/seeds/$name")
  case $name in png*) [ -d ../shared/pngsuite ] && seeds+=(../shared/pngsuite) ;; esac
  log=build/fuzz/$name.log
  [ $campaign = 1 ] && log=build/fuzz/campaign/$name.log
  echo "== fuzzing $name for ${seconds}s"
  if ! "$fuzzer" -max_total_time="$seconds" -print_final_stats="$campaign" \
        -artifact_prefix="build/fuzz/$name-" "$corpus" "${seeds[@]}" > "$log" 2>&1; then
    echo "fuzz target $name failed; see $log"
    tail -n 30 "$log"
    status=1
  fi
  if [ $campaign = 1 ]; then
    grep -E 'stat::number_of_executed_units|stat::peak_rss_mb' "$log" || true
  fi
done
[ $campaign = 1 ] || exit $status

# Minimised corpora: the smallest set of inputs that keeps the coverage.
for name in "${targets[@]}"; do
  rm -rf "build/fuzz/minimised/$name"
  mkdir -p "build/fuzz/minimised/$name"
  "build/fuzz/tests/kerbo-fuzz-$name" -merge=1 "build/fuzz/minimised/$name" "build/fuzz/corpus/$name" \
      > "build/fuzz/campaign/$name-merge.log" 2>&1 || status=1
done

# Source coverage of each minimised corpus.
cmake -S . -B build/fuzz-coverage -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_C_COMPILER=clang \
      -DCMAKE_CXX_COMPILER=clang++ -DKERBO_FUZZ=ON -DKERBO_FUZZ_COVERAGE=ON -DKERBO_BENCH=OFF >/dev/null
cmake --build build/fuzz-coverage -j "$(nproc)" >/dev/null
mkdir -p build/fuzz/coverage
for name in "${targets[@]}"; do
  binary=build/fuzz-coverage/tests/kerbo-fuzz-$name
  raw=build/fuzz/coverage/$name.profraw
  LLVM_PROFILE_FILE=$raw "$binary" -runs=0 "build/fuzz/minimised/$name" >/dev/null 2>&1 || true
  llvm-profdata merge -sparse "$raw" -o "build/fuzz/coverage/$name.profdata"
  read -r -a files <<< "$(sources_of "$name")"
  out=build/fuzz/coverage/$name.txt
  {
    echo "# $name: $(ls "build/fuzz/minimised/$name" | wc -l) inputs in the minimised corpus"
    llvm-cov report "$binary" -instr-profile="build/fuzz/coverage/$name.profdata" "${files[@]}"
    echo
    echo "# lines never reached (FILE:LINE: source)"
    for file in "${files[@]}"; do
      llvm-cov show "$binary" -instr-profile="build/fuzz/coverage/$name.profdata" "$file" \
        | awk -v f="$file" -F'|' '$2 ~ /^ *0$/ { sub(/^ */, "", $1); print f ":" $1 ":" $3 }'
    done
  } > "$out"
  echo "== coverage of $name: $out"
  sed -n '2,/^$/p' "$out" | tail -n 3
done
exit $status
