#!/bin/sh
# Installs the Debian 12 packages the build and the tests need, only those
# that are missing. Run as root, or with sudo available.
set -eu

packages="cmake ninja-build
g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix
binutils-mingw-w64-x86-64 binutils-mingw-w64-i686
googletest wine64 tzdata"

missing=""
for p in $packages; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing="$missing $p"
  fi
done
[ -z "$missing" ] && exit 0

echo "installing:$missing"
as_root=""
if [ "$(id -u)" -ne 0 ]; then
  command -v sudo >/dev/null 2>&1 || { echo "need root (or sudo) to install:$missing" >&2; exit 1; }
  as_root=sudo
fi
export DEBIAN_FRONTEND=noninteractive
$as_root apt-get update -qq
# shellcheck disable=SC2086
$as_root apt-get install -y -qq $missing >/dev/null
