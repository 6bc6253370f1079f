#!/bin/sh
# Builds the x86_64 tree and runs every benchmark under wine64 in a fresh
# prefix of its own (build/x86_64/bench-prefix). Prints the times of our code
# and of the bare platform calls, and their ratios.
set -eu
# An empty environment (a fresh container) has no PATH to export: CMake then
# cannot find its own modules, and dpkg its helpers.
PATH=${PATH:-/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin}
export PATH
cd "$(dirname "$0")/.."
# Only the x86_64 tree is built here: the 32-bit Wine is not needed.
sh tools/setup.sh --64-only
cmake --preset x86_64 >/dev/null
cmake --build --preset x86_64 --target benchmarks
bin=build/x86_64/bin
export WINEPREFIX="$PWD/build/x86_64/bench-prefix"
export WINEDEBUG=-all
/usr/lib/wine/wineserver -k </dev/null >/dev/null 2>&1 || true
rm -rf "$WINEPREFIX"
WINEDLLOVERRIDES="mscoree,mshtml=" /usr/lib/wine/wine64 wineboot -i </dev/null >/dev/null 2>&1
/usr/lib/wine/wineserver -w
# The stand-ins where Windows keeps the libraries they replace.
cp "$bin"/standins/* "$WINEPREFIX/drive_c/windows/system32/"
# The printer benchmarks need a Windows that printer drivers serve.
for program in PrinterLookupBench PrinterInstallBench; do
  /usr/lib/wine/wine64 reg add "HKCU\\Software\\Wine\\AppDefaults\\$program.exe" /v Version /d win2k /f \
    </dev/null >/dev/null 2>&1
done
cd "$bin"
status=0
for program in RegistryBench DirectoryBench PrinterLookupBench PrinterInstallBench SystemExtBench; do
  echo "== $program"
  # Phonebook calls go to the stand-in, and the printer installation to our
  # spooler stand-in.
  overrides="rasapi32=n"
  [ $program = PrinterInstallBench ] && overrides="winspool.drv=n"
  WINEDLLOVERRIDES="$overrides" /usr/lib/wine/wine64 "$program.exe" || status=$?
done
/usr/lib/wine/wineserver -k </dev/null >/dev/null 2>&1 || true
exit $status
