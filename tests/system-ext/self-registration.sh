#!/bin/sh
# Registers the built QELSystemExt.dll as an installer does, with Wine's own
# regsvr32 in the tree's prefix, and checks with Wine's reg that this lifted
# the current user's NoSaveSettings policy.
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
# The last check reads a failed query as "gone": it must be able to see it.
reg query "$key" /v NoSaveSettings || fail "reg query does not see the policy value"
"$wine" regsvr32 /s "$dll" </dev/null >/dev/null 2>&1 || fail "regsvr32 failed (exit $?)"
reg query "$key" /v NoSaveSettings && fail "NoSaveSettings is still there"
echo "self-registration: passed"
