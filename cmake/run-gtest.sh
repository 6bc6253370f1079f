#!/bin/sh
# Runs one GoogleTest program under Wine and passes only when it proved that
# it ran: exit status 0, at least one test run, and gtest's "[  PASSED  ]"
# line. A 32-bit program handed to wine64 exits 0 and prints nothing, and a
# filter that selects nothing prints "0 tests" and passes in gtest's eyes;
# both must fail here.
#   run-gtest.sh [--fail-on <regex>] <wine> <program> [<argument>...]
# --fail-on: also fail when the run's output (stdout and stderr) matches the
# extended regular expression, such as Wine's heap warnings.
set -u
fail_on=""
if [ "${1:-}" = "--fail-on" ]; then
  fail_on=$2
  shift 2
fi
out=$(mktemp)
trap 'rm -f "$out"' EXIT
"$@" >"$out" 2>&1
status=$?
cat "$out"
if [ $status -ne 0 ]; then
  echo "run-gtest: exit status $status" >&2
  exit $status
fi
if grep -q '^\[==========\] 0 tests from' "$out"; then
  echo "run-gtest: the filter selected no test; a run that tests nothing does not pass" >&2
  exit 1
fi
if ! grep -q '^\[  PASSED  \] [1-9]' "$out"; then
  echo "run-gtest: no \"[  PASSED  ]\" line: the program did not run its tests (a 32-bit program under wine64 exits 0 without running)" >&2
  exit 1
fi
if [ -n "$fail_on" ] && grep -Eq "$fail_on" "$out"; then
  echo "run-gtest: the output matches \"$fail_on\":" >&2
  grep -E "$fail_on" "$out" | head -20 >&2
  exit 1
fi
exit 0
