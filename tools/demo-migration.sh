#!/bin/sh
# The second demonstration, on the shipped i686 DLLs under 32-bit Wine: a
# migration from one machine to another, each a fresh WINEARCH=win32 prefix
# (build/i686/migration-demo/source and .../target). The source gets
# printers through InstallPrinter, phonebook entries and another user's
# desktop icons; QELMigrate.exe collects them there and replays them on the
# target; the run compares both machines and prints a table of what moved.
# See tools/migration/run.sh for the steps.
#   sh tools/demo-migration.sh
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
  cmake --build --preset i686 --target QELMigrate QELHost QELPrinter QELSystemExt SpoolerStandIn rasapi32
  exec sh cmake/with-i386.sh build/tools/qemu/usr/bin/qemu-i386 sh tools/demo-migration.sh --inside
fi
WINE=/usr/lib/wine/wine WINEARCH=win32 exec sh tools/migration/run.sh build/i686/bin build/i686/migration-demo
