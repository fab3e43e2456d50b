# Counting checks for the end-to-end scripts (sourced).
#   fail MESSAGE             records a failure
#   check NAME EXPECTED ACTUAL
#   finish_checks NAME       prints the summary; its status is 0 when nothing failed
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
check() {
  if [ "$2" == "$3" ]; then echo "ok   $1"; else fail "$1: expected [$2], got [$3]"; fi
}
finish_checks() {
  if [ "$failures" -eq 0 ]; then echo "$1: all checks passed"; else echo "$1: $failures check(s) failed"; fi
  [ "$failures" -eq 0 ]
}
