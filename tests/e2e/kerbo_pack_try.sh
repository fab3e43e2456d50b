#!/usr/bin/env bash
# kerbo-pack.exe try under Wine: UTF-8 arguments that the ANSI code page would
# mangle, a character outside code page 1252, and the batch mode on a pipe.
#   tests/e2e/kerbo_pack_try.sh BUILD_DIR   (the windows build directory)
set -u
build=${1:?usage: kerbo_pack_try.sh BUILD_DIR}
source_dir=$(cd "$(dirname "$0")/../.." && pwd)
export KERBO_WINEPREFIX=${KERBO_WINEPREFIX:-$build/wineprefix}
pack() { "$source_dir/cmake/wine-run.sh" "$build/tools/kerbo-pack.exe" try "$@"; }

source "$source_dir/tests/e2e/lib/checks.bash"

check "one pair, verdict in UTF-8" "y a de l'idée" "$(pack 'Christophe Colomb' 'Cristophe Kolomp')"
check "accents compared as 1252 bytes" "Quasiment" "$(pack 'Élan' 'élan')"
check "characters of 0x80-0x9F" "BRAVO" "$(pack '€ Œuvre' '€ ŒUVRE')"

err=$(pack 'Paris' 'P中ris' 2>&1 >/dev/null); status=$?
check "outside 1252: exit code" 1 "$status"
check "outside 1252: message" 1 "$(grep -c 'U+4E2D' <<<"$err")"

out=$(printf '\xEF\xBB\xBFParis\tparis\r\nNapoleon Bonaparte\tNapoleon Bonap\r\nCafé\tcafé\nRoma\tamor\n' | pack --batch)
check "batch" "BRAVO|Trop court|BRAVO|Anagramme" "$(tr '\n' '|' <<<"$out" | sed 's/|$//')"

out=$(printf 'Paris\tParis\nno tab here\nRoma\tamor\n' | pack --batch 2>/dev/null); status=$?
check "batch stops at a bad line" "BRAVO 1" "$out $status"

finish_checks kerbo_pack_try
