#!/bin/sh
# Runs a command in which 32-bit Windows programs can run: inside a user
# namespace of its own, qemu's i386 emulator is registered for i386 Linux
# programs (32-bit Wine), so the host's binfmt settings stay untouched. Only
# processes started inside this call can start 32-bit programs, so a whole
# CTest run (fixture and wineserver included) goes through one call.
#   with-i386.sh <qemu-i386> <command> [<argument>...]
set -eu

if [ "${1:-}" = "--inside" ]; then
  shift
  qemu=$1
  shift
  mount -t binfmt_misc binfmt_misc /proc/sys/fs/binfmt_misc || {
    echo "with-i386: cannot mount binfmt_misc in the user namespace (the kernel keeps one for the whole machine, or the container forbids the mount)" >&2
    exit 1
  }
  magic='\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00'
  mask='\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff'
  # F: the emulator is opened now, so it need not be visible to later
  # processes; C and O: credentials and an open file from the program.
  printf ':qemu-i386:M::%s:%s:%s:OCF\n' "$magic" "$mask" "$qemu" >/proc/sys/fs/binfmt_misc/register || {
    echo "with-i386: cannot register $qemu for i386 programs" >&2
    exit 1
  }
  exec "$@"
fi

if [ $# -lt 2 ]; then
  echo "usage: $0 <qemu-i386> <command> [<argument>...]" >&2
  exit 2
fi
# Made absolute for the namespace's registration; readlink fails when a
# folder on the way is missing, which is the same "no emulator".
qemu=$(readlink -f "$1" || true)
if [ -z "$qemu" ] || [ ! -f "$qemu" ] || [ ! -x "$qemu" ]; then
  echo "with-i386: no qemu i386 emulator at $1: run tools/setup.sh" >&2
  exit 1
fi
shift
if [ ! -x /usr/lib/wine/wine ]; then
  echo "with-i386: 32-bit Wine (/usr/lib/wine/wine, package wine32:i386) is missing: run tools/setup.sh" >&2
  exit 1
fi
if ! unshare --user --map-root-user --mount true 2>/dev/null; then
  echo "with-i386: this machine does not allow user namespaces (unshare --user failed); 32-bit programs cannot run here" >&2
  exit 1
fi
exec unshare --user --map-root-user --mount sh "$0" --inside "$qemu" "$@"
