#!/bin/sh
# Runs one GoogleTest program under Wine and passes only when it proved that
# it ran: exit status 0, at least one test run, and gtest's "[  PASSED  ]"
# line. A 32-bit program handed to wine64 exits 0 and prints nothing, and a
# filter that selects nothing prints "0 tests" and passes in gtest's eyes;
# both must fail here. So must a skipped test the registration does not
# expect: a skip proves nothing about the code it would have tested.
#   run-gtest.sh [--fail-on <regex>] [--expect-skips <Suite.Test:...>] <wine> <program> [<argument>...]
# --fail-on: also fail when the run's output (stdout and stderr) matches the
# extended regular expression, such as Wine's heap warnings.
# --expect-skips: the full names of the tests that may skip in this run.
set -u
fail_on=""
expect_skips=""
while :; do
  case "${1:-}" in
    --fail-on) fail_on=$2; shift 2 ;;
    --expect-skips) expect_skips=$2; shift 2 ;;
    *) break ;;
  esac
done
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
# gtest counts the skips; tests/support/TestMain.cpp names each one (the
# brief output does not). Programs print CRLF line ends.
skipped=$(tr -d '\r' <"$out" | sed -n 's/^\[  SKIPPED \] \([0-9][0-9]*\) tests\{0,1\}[.,].*/\1/p' | head -n 1)
if [ -n "$skipped" ] && [ "$skipped" -gt 0 ]; then
  names=$(tr -d '\r' <"$out" | sed -n 's/^\[  SKIPPED \] \([^ ]*\.[^ ]*\)$/\1/p' | sort -u)
  named=$(printf '%s\n' "$names" | grep -c .)
  if [ "$named" -lt "$skipped" ]; then
    echo "run-gtest: $skipped tests skipped but only $named named; cannot tell whether they were expected" >&2
    exit 1
  fi
  for name in $names; do
    case ":$expect_skips:" in
      *":$name:"*) ;;
      *) echo "run-gtest: $name skipped, and its registration does not expect that (SKIPS)" >&2
         exit 1 ;;
    esac
  done
fi
if [ -n "$fail_on" ] && grep -Eq "$fail_on" "$out"; then
  echo "run-gtest: the output matches \"$fail_on\":" >&2
  grep -E "$fail_on" "$out" | head -20 >&2
  exit 1
fi
exit 0
