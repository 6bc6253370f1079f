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

# --processors: the printer benchmarks of the i686 tree (built for the i486)
# against the same benchmarks built with Debian's compiler (for the Pentium
# Pro, build/i686-debian), under 32-bit Wine in one prefix, the two builds
# taking turns; prints each build's medians and their ratio, i486 / Debian's.
if [ "${1:-}" = "--processors" ]; then
  sh tools/setup.sh
  # Afresh when the i486 compiler changed (its toolchain file says so).
  cmake --preset i686 >/dev/null 2>&1 || cmake --preset i686 --fresh >/dev/null
  cmake --build --preset i686 --target PrinterLookupBench PrinterInstallBench SpoolerStandIn
  cmake -S . -B build/i686-debian -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$PWD/cmake/toolchains/i686-w64-mingw32-debian.cmake" >/dev/null
  cmake --build build/i686-debian --target PrinterLookupBench PrinterInstallBench
  exec sh cmake/with-i386.sh build/tools/qemu/usr/bin/qemu-i386 sh tools/bench.sh --processors-inside "${2:-3}"
fi
if [ "${1:-}" = "--processors-inside" ]; then
  rounds=$2
  top=$PWD
  wine=/usr/lib/wine/wine
  export WINEPREFIX="$PWD/build/i686/bench-prefix" WINEARCH=win32 WINEDEBUG=-all
  /usr/lib/wine/wineserver -k </dev/null >/dev/null 2>&1 || true
  rm -rf "$WINEPREFIX"
  WINEDLLOVERRIDES="mscoree,mshtml=" $wine wineboot -i </dev/null >/dev/null 2>&1
  /usr/lib/wine/wineserver -w
  cp build/i686/bin/standins/* "$WINEPREFIX/drive_c/windows/system32/"
  for program in PrinterLookupBench PrinterInstallBench; do
    $wine reg add "HKCU\\Software\\Wine\\AppDefaults\\$program.exe" /v Version /d win2k /f </dev/null >/dev/null 2>&1
  done
  out=build/i686/bench-processors
  rm -rf $out
  mkdir -p $out
  status=0
  round=1
  while [ $round -le "$rounds" ]; do
    for build in i686-debian i686; do
      (cd "$top/build/$build/bin" &&
        $wine PrinterLookupBench.exe --models 1250 --lookups 100 --growth-lookups 10 >"$top/$out/lookup-$build-$round.txt" &&
        WINEDLLOVERRIDES="winspool.drv=n" $wine PrinterInstallBench.exe --models 1250 --installs 10 \
          >"$top/$out/install-$build-$round.txt") || status=1
    done
    round=$((round + 1))
  done
  /usr/lib/wine/wineserver -k </dev/null >/dev/null 2>&1 || true
  # "ours" and "bare" of each run: the lookup's lines "  ours  <s> s ..." and
  # "  bare  <s> s ..." (per 100 lookups), the installation's row of 1,250
  # models.
  median() { sort -n | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
  column() {
    # column <build> <lookup|install> <2 ours|3 bare>
    for f in $out/$2-$1-*.txt; do
      if [ "$2" = lookup ]; then
        awk -v c="$3" '$1 == "ours" && c == 2 { print $2 * 10 } $1 == "bare" && $2 ~ /^[0-9]/ && c == 3 { print $2 * 10 }' "$f"
      else
        awk -v c="$3" '$1 == 1250 && NF == 9 { print (c == 2) ? $4 : $5 }' "$f"
      fi
    done | median
  }
  echo "printer benchmarks, 32-bit Wine, $rounds runs of each build taking turns (ms, medians)"
  printf '  %-40s %10s %10s %7s\n' "work" "Debian's" "i486" "ratio"
  for work in lookup install; do
    for c in 2 3; do
      side=ours
      [ $c = 3 ] && side=bare
      old=$(column i686-debian $work $c)
      new=$(column i686 $work $c)
      what="one lookup, 1,250 models, $side"
      [ $work = install ] && what="one installation, 1,250 models, $side"
      printf '  %-40s %10.2f %10.2f %7.2f\n' "$what" "$old" "$new" "$(echo "$new $old" | awk '{ print $1 / $2 }')"
    done
  done
  echo "(each run's output: $out)"
  exit $status
fi
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
