#!/bin/sh
# Registers the built QELSystemExt.dll as an installer does, with Wine's own
# regsvr32 in the tree's prefix, and checks with Wine's reg that this lifted
# the current user's NoSaveSettings policy and nothing beside it. A second
# registration, with the value gone, must succeed as well.
#   self-registration.sh <wine loader> <QELSystemExt.dll>
set -u
wine=$1
dll="Z:$(printf '%s' "$2" | tr / '\\')"
key='HKCU\Software\Microsoft\Windows\CurrentVersion\Policies\Explorer'
# Wine would run a program of the current folder before its own tools.
cd /
fail() {
  echo "self-registration: $*" >&2
  exit 1
}
reg() { "$wine" reg "$@" </dev/null >/dev/null 2>&1; }

reg add "$key" /v NoSaveSettings /t REG_DWORD /d 1 /f || fail "cannot set the policy value"
reg add "$key" /v QELBeside /t REG_DWORD /d 1 /f || fail "cannot set a value beside it"
# The check below reads a failed query as "gone": it must be able to see it.
reg query "$key" /v NoSaveSettings || fail "reg query does not see the policy value"
for run in first second; do
  "$wine" regsvr32 /s "$dll" </dev/null >/dev/null 2>&1 || fail "the $run registration failed (exit $?)"
done
reg query "$key" /v NoSaveSettings && fail "NoSaveSettings is still there"
reg query "$key" /v QELBeside || fail "the value beside it went too"
reg delete "$key" /v QELBeside /f
echo "self-registration: passed"
