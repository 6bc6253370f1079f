#!/bin/sh
# The demonstration: builds the x86_64 DLLs and the host program, then runs
# the host under wine64 in a fresh prefix of its own. Arguments, if any, are
# passed to the host (see tools/QELHost.cpp); without them it uses its
# embedded default request.
set -eu
cd "$(dirname "$0")/.."
sh tools/setup.sh
cmake --preset x86_64 >/dev/null
cmake --build --preset x86_64 --target QELHost QELPrinter QELSystemExt

build=build/x86_64
export WINEPREFIX="$PWD/$build/demo-prefix" WINEDEBUG="${WINEDEBUG:--all}"
/usr/lib/wine/wineserver -k </dev/null >/dev/null 2>&1 || true
rm -rf "$WINEPREFIX"
WINEDLLOVERRIDES="mscoree,mshtml=" /usr/lib/wine/wine64 wineboot -i </dev/null >/dev/null 2>&1
status=0
/usr/lib/wine/wine64 "$build/bin/QELHost.exe" "$@" || status=$?
/usr/lib/wine/wineserver -k </dev/null >/dev/null 2>&1 || true
exit $status
