#!/bin/sh
# The demonstration of the main job, on the shipped i686 DLLs under 32-bit
# Wine: a fresh WINEARCH=win32 prefix (build/i686/demo-prefix) with our
# spooler stand-in in place of Wine's, the sample printer INF of
# tools/demo/ntprint.inf as the system printer INF and dummy driver files in
# the folder the product's settings name. The host program asks for a
# printer whose driver model (by a previous name) the spooler lacks, then
# asks again; the script shows what the spooler keeps afterwards, and fails
# when the host program failed or a requested printer is missing.
#   sh tools/demo.sh ["<printer>|<driver model>|<port>|<comment>|<share>" ...]
set -eu
# An empty environment (a fresh container) has no PATH to export: CMake then
# cannot find its own modules, and dpkg its helpers.
PATH=${PATH:-/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin}
export PATH
cd "$(dirname "$0")/.."

if [ "${1:-}" != "--inside" ]; then
  sh tools/setup.sh
  # Afresh when the i486 compiler changed (its toolchain file says so).
  cmake --preset i686 >/dev/null 2>&1 || cmake --preset i686 --fresh >/dev/null
  cmake --build --preset i686 --target QELHost QELPrinter QELSystemExt SpoolerStandIn
  exec sh cmake/with-i386.sh build/tools/qemu/usr/bin/qemu-i386 sh tools/demo.sh --inside "$@"
fi
shift

bin=build/i686/bin
wine=/usr/lib/wine/wine
wineserver=/usr/lib/wine/wineserver
export WINEPREFIX="$PWD/build/i686/demo-prefix" WINEARCH=win32 WINEDEBUG="${WINEDEBUG:--all}" LC_ALL=C.UTF-8
drive="$WINEPREFIX/drive_c"
printer_name="Front Office Laser"
request="$printer_name|Kalora Page-4|LPT1:|Moved from the old machine|FRONTLASER"
[ $# -gt 0 ] || set -- "$request" "$request"
quiet() { "$@" </dev/null >/dev/null 2>&1; }
# wine's reg with its status kept: a missing key is a failure to report.
reg() {
  out=$("$wine" reg "$@" </dev/null 2>/dev/null) || return 1
  printf '%s\n' "$out" | tr -d '\r' | grep -v '^$' || true
}

echo "== a fresh 32-bit Wine prefix (Wine: registry, files, setup library)"
quiet "$wineserver" -k || true
rm -rf "$WINEPREFIX"
WINEDLLOVERRIDES="mscoree,mshtml=" quiet "$wine" wineboot -i
# One server for the rest of the run, instead of one per program.
quiet "$wineserver" -w || true
quiet "$wineserver" -p || true
# Printer drivers serve Windows 95 to 2000; Wine reports Windows 7 unless told.
quiet "$wine" reg add 'HKCU\Software\Wine\AppDefaults\QELHost.exe' /v Version /d win2k /f

# Our spooler stand-in where Windows keeps the spooler's client library.
cp "$bin/standins/winspool.drv" "$drive/windows/system32/"

echo "== the sample printer INF and dummy driver files (ours)"
cp tools/demo/ntprint.inf "$drive/windows/inf/ntprint.inf"
source_dir="$drive/QEL Demo Driver Files"
mkdir -p "$source_dir"
# Every file the INF's [SourceDisksFiles] lists, whichever model is asked for.
for file in $(sed -n '/^\[SourceDisksFiles\]/,/^\[/s/^\([A-Za-z0-9_.]*\) *=.*/\1/p' tools/demo/ntprint.inf); do
  printf 'dummy %s of the demonstration\r\n' "$file" >"$source_dir/$file"
done
ls "$source_dir"
# The product's settings: version 4.0, and where its driver files lie.
quiet "$wine" reg add 'HKLM\SOFTWARE\Corvane Systems\Hollowmarch\4.0' /f
quiet "$wine" reg add 'HKCU\SOFTWARE\Corvane Systems\Hollowmarch\4.0\Settings' /v 'Cab File Path' \
  /d 'C:\QEL Demo Driver Files' /f

echo "== the host calls InstallPrinter (spooler: our stand-in winspool.drv)"
# The pipe's status is tr's: the host program's own goes through a file.
host_status=$(mktemp)
failed=""
for request in "$@"; do
  {
    s=0
    WINEDLLOVERRIDES="winspool.drv=n" "$wine" "$bin/QELHost.exe" QELPrinter InstallPrinter "$request" || s=$?
    echo $s >"$host_status"
  } | tr -d '\r'
  s=$(cat "$host_status")
  [ "$s" -eq 0 ] || failed="$failed
demo: the host program exited $s for \"$request\""
done
rm -f "$host_status"

print='HKLM\SYSTEM\CurrentControlSet\Control\Print'
shown="|"
for request in "$@"; do
  name=${request%%|*}
  case "$shown" in *"|$name|"*) continue ;; esac
  shown="$shown$name|"
  echo "== the printer \"$name\" as the spooler keeps it"
  reg query "$print\\Printers\\$name" || {
    echo "(no such printer)"
    failed="$failed
demo: the spooler has no printer \"$name\" after the requests"
  }
done
echo "== the drivers as the spooler keeps them"
reg query "$print\\Environments\\Windows NT x86\\Drivers" /s || echo "(none)"
echo "== the printer driver directory (C:\\windows\\system32\\spool\\drivers\\w32x86)"
(cd "$drive/windows/system32/spool/drivers/w32x86" 2>/dev/null && find . -type f | sort) || echo "(none)"
quiet "$wineserver" -k || true
if [ -n "$failed" ]; then
  echo "$failed" | sed '1d' >&2
  exit 1
fi
