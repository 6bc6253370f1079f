#!/bin/sh
# Builds both architectures and runs every test of each: the x86_64 tree's
# programs under wine64, then the i686 tree's (the shipped DLLs) under 32-bit
# Wine, emulated by qemu inside a user namespace (cmake/with-i386.sh). Each
# tree's run includes its export-table checks. Ends with one summary line per
# architecture; fails when either fails.
set -eu
# An empty environment (a fresh container) has no PATH to export: CMake then
# cannot find its own modules, and dpkg its helpers.
PATH=${PATH:-/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin}
export PATH
cd "$(dirname "$0")/.."
began=$(date +%s)
sh tools/setup.sh
set_up=$(date +%s)

for arch in x86_64 i686; do
  # Afresh when the i486 compiler changed (its toolchain file says so).
  cmake --preset $arch >/dev/null 2>&1 || cmake --preset $arch --fresh >/dev/null
  cmake --build --preset $arch
done
built=$(date +%s)

log=build/test-logs
mkdir -p $log
echo "setup: $((set_up - began)) s; build of both trees: $((built - set_up)) s" >$log/summary
run() {
  arch=$1
  shift
  start=$(date +%s)
  status=0
  "$@" 2>&1 | tee $log/$arch.log || true
  # The pipe hides ctest's status; its own summary line tells.
  grep -q '^100% tests passed' $log/$arch.log || status=1
  summary=$(grep -E '^[0-9]+% tests passed' $log/$arch.log | tail -1)
  echo "$arch: ${summary:-no test summary (the run did not complete)} in $(($(date +%s) - start)) s" >>$log/summary
  return $status
}

failed=0
run x86_64 ctest --preset x86_64 || failed=1
run i686 sh cmake/with-i386.sh build/tools/qemu/usr/bin/qemu-i386 ctest --preset i686 || failed=1
echo
echo "== summary"
cat $log/summary
exit $failed
