#!/bin/sh
# Installs what the build and the tests need, only what is missing:
#   - the Debian 12 packages (mingw-w64, CMake, GoogleTest, 64-bit Wine),
#   - for the 32-bit tests: the i386 architecture, Debian's 32-bit Wine, and
#     qemu's user-mode i386 emulator, unpacked into a cache folder of the
#     project (build/tools/qemu) from the backports suite of the machine's own
#     Debian archive, without touching the system's apt sources.
# Run as root, or with sudo available.
#   setup.sh            everything
#   setup.sh --64-only  only what the x86_64 build and its tests need
set -eu
cd "$(dirname "$0")/.."

packages="cmake ninja-build
g++-mingw-w64-x86-64-win32 g++-mingw-w64-i686-win32
binutils-mingw-w64-x86-64 binutils-mingw-w64-i686
googletest wine64 tzdata"
want32=yes
[ "${1:-}" = "--64-only" ] && want32=no

as_root=""
if [ "$(id -u)" -ne 0 ]; then
  command -v sudo >/dev/null 2>&1 && as_root=sudo
fi
need_root() {
  if [ "$(id -u)" -ne 0 ] && [ -z "$as_root" ]; then
    echo "setup: need root (or sudo) to install: $*" >&2
    exit 1
  fi
}

installed() {
  dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q "install ok installed"
}

missing=""
for p in $packages; do
  installed "$p" || missing="$missing $p"
done
if [ "$want32" = yes ]; then
  installed wine32:i386 || missing="$missing wine32:i386"
fi

if [ -n "$missing" ]; then
  need_root "$missing"
  echo "setup: installing:$missing"
  export DEBIAN_FRONTEND=noninteractive
  if [ "$want32" = yes ] && ! dpkg --print-foreign-architectures | grep -qx i386; then
    $as_root dpkg --add-architecture i386
  fi
  $as_root apt-get update -qq
  # shellcheck disable=SC2086
  $as_root apt-get install -y -qq --no-install-recommends $missing >/dev/null
fi

[ "$want32" = yes ] || exit 0

# qemu 10 from bookworm-backports: bookworm's own qemu 7.2 treats Wine's
# fixed-address mappings as hints and never finishes starting a prefix.
qemu_dir=build/tools/qemu
qemu="$qemu_dir/usr/bin/qemu-i386"
if [ ! -x "$qemu" ]; then
  # The Debian archive this machine already uses; never a name of our own.
  archive=$(apt-get indextargets --format '$(REPO_URI) $(CODENAME)' 2>/dev/null |
    awk '$2 == "bookworm" { print $1; exit }')
  if [ -z "$archive" ]; then
    echo "setup: no Debian bookworm archive in this machine's apt sources; cannot fetch qemu-user from bookworm-backports" >&2
    exit 1
  fi
  work="$PWD/build/tools/apt"
  rm -rf "$work"
  mkdir -p "$work/lists/partial" "$work/cache/archives/partial" "$work/etc" "$qemu_dir"
  echo "deb [arch=amd64] $archive bookworm-backports main" >"$work/etc/sources.list"
  # An apt of our own: its own source list, index folder and cache, so the
  # system's sources and indexes stay as they are.
  own_apt="-o Dir::Etc::SourceList=$work/etc/sources.list -o Dir::Etc::SourceParts=/dev/null
    -o Dir::State::Lists=$work/lists -o Dir::Cache=$work/cache -o APT::Architectures=amd64
    -o Debug::NoLocking=1 -o APT::Sandbox::User=root"
  echo "setup: fetching qemu-user from ${archive} bookworm-backports"
  # shellcheck disable=SC2086
  apt-get $own_apt update -qq
  # shellcheck disable=SC2086
  version=$(apt-cache $own_apt madison qemu-user | awk -F'|' '/bookworm-backports/ { gsub(/ /, "", $2); print $2; exit }')
  if [ -z "$version" ]; then
    echo "setup: bookworm-backports has no qemu-user" >&2
    exit 1
  fi
  # shellcheck disable=SC2086
  (cd "$work" && apt-get $own_apt download "qemu-user=$version" >/dev/null)
  dpkg-deb -x "$work"/qemu-user_*.deb "$work/unpacked"
  # Only the i386 emulator is used; the package holds thirty others.
  mkdir -p "$qemu_dir/usr/bin"
  mv "$work/unpacked/usr/bin/qemu-i386" "$qemu_dir/usr/bin/"
  rm -rf "$work"
  if [ ! -x "$qemu" ]; then
    echo "setup: the qemu-user package held no usr/bin/qemu-i386" >&2
    exit 1
  fi
fi
