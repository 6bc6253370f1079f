#!/bin/sh
# The migration from one machine to another on this tree's build: the run
# must find the target equal to the source, and equal because things moved:
# the expected printers, entries and values arrived, each icon index came out
# as the tables of the Windows generations give it, and the icon findings
# landed below the other user, not the running one.
#   check.sh <run.sh> <programs folder> <work folder> <printers> <drivers>
# <printers> and <drivers>: how many reach the source through InstallPrinter
# on this architecture.
set -u
run=$1 bin=$2 work=$3 printers=$4 drivers=$5
fail() {
  echo "migration: $*" >&2
  exit 1
}
log="$work.log"
sh "$run" "$bin" "$work" >"$log" 2>&1
status=$?
cat "$log"
[ $status -eq 0 ] || fail "the run failed (exit status $status)"
moved() { grep -Eq "^$1 +$2 +$2 +yes\$" "$log" || fail "expected $2 $1 on each machine, the target's equal"; }
moved printers "$printers"
moved "printer drivers" "$drivers"
moved "phonebook entries" 3
moved "entries saved by GetRASEntry" 3
moved "other user's values" 8

# One line per value of the target's export: "[key]name=data".
values() { awk '/^\[/ { key = $0; next } NF { print key $0 }' "$work/target-state/$1"; }
values user.reg >"$work/target-user"
user='[HKEY_USERS\S-1-5-21-0-0-0-1001'
icons="$user\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\CLSID"
# Windows 95 -> 98/NT -> 2000: 15 stays; 45 -> 50 -> 107; 65 -> 71 -> 77; 42 -> 47 -> 54.
for value in '{20D04FE0-3AEA-1069-A2D8-08002B30309D}\DefaultIcon]@="shell32.dll,15"' \
  '{208D2C60-3AEA-1069-A2D7-08002B30309D}\DefaultIcon]@="shell32.dll,107"' \
  '{645FF040-5081-101B-9F08-00AA002F954E}\DefaultIcon]@="SHELL32.DLL,77"' \
  '{645FF040-5081-101B-9F08-00AA002F954E}\DefaultIcon]"empty"="SHELL32.DLL,77"' \
  '{645FF040-5081-101B-9F08-00AA002F954E}\DefaultIcon]"full"="C:\\WINDOWS\\SYSTEM\\shell32.dll,54"' \
  '{450D8FBA-AD25-11D0-98A8-0800361B1103}\DefaultIcon]@="C:\\My Icons\\documents.ico,0"'; do
  grep -qxF "$icons\\$value" "$work/target-user" || fail "the target's other user lacks $value"
done
findings='\Software\Corvane Systems\Hollowmarch\QELScriptExtension\QELIcon]'
for name in New95 New98NT; do
  grep -qF "$user$findings\"$name\"=" "$work/target-user" || fail "no $name below the other user"
done
! values product.reg | grep -qF "$findings" || fail "icon findings below the running user"
[ "$printers" -eq 0 ] || values product.reg | grep -qxF \
  '[HKEY_CURRENT_USER\Software\Corvane Systems\Hollowmarch\QELPrinter]"Successful Install"="true"' ||
  fail "InstallPrinter did not record \"true\" on the target"
# The machines take over a gigabyte; what was compared stays beside them.
rm -rf "$work/source" "$work/target"
echo "migration: passed"
