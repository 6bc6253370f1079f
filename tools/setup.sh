#!/bin/sh
# Installs what the build and the tests need, only what is missing, on
# Debian 12 (bookworm) or Debian 13 (trixie):
#   - the distribution's packages (mingw-w64 with win32 threads, CMake,
#     GoogleTest, 64-bit Wine),
#   - for the 32-bit tests: the i386 architecture, Debian's 32-bit Wine, and
#     qemu's user-mode i386 emulator, unpacked into a cache folder of the
#     project (build/tools/qemu) from the qemu-user package of the machine's
#     own Debian archive: suite bookworm-backports on Debian 12 (bookworm's
#     own qemu 7.2 cannot run Wine), trixie itself on Debian 13. Unpacked,
#     not installed, on both: one place for the scripts to find it, no
#     change to the system's apt sources, and nothing that could register
#     emulators for the whole machine (the package recommends qemu-user-binfmt),
#   - for the i686 deliverable: the i486 compiler and runtime, built once per
#     machine by tools/build-i486-runtime.sh from Debian's own sources
#     (gcc-<version>-source, the mingw-w64 source package) with what that
#     build needs.
# Run as root, or with sudo available.
#   setup.sh            everything
#   setup.sh --64-only  only what the x86_64 build and its tests need
# Every failure names the step that failed and what to do.
set -eu
# An empty environment (a fresh container) has no PATH to export: CMake then
# cannot find its own modules, and dpkg its helpers.
PATH=${PATH:-/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin}
export PATH
cd "$(dirname "$0")/.."

fail() {
  echo "setup: $*" >&2
  exit 1
}

# Which release: everything below depends on it, so nothing is done before.
release=unknown
codename=""
if [ -r /etc/os-release ]; then
  # shellcheck disable=SC1091
  release=$(. /etc/os-release && echo "${PRETTY_NAME:-${ID:-unknown}}")
  codename=$(. /etc/os-release && [ "${ID:-}" = debian ] && echo "${VERSION_CODENAME:-}" || true)
fi
case "$codename" in
bookworm) qemu_suite=bookworm-backports gcc_major=12 ;;
trixie) qemu_suite=trixie gcc_major=14 ;;
*) fail "this machine runs $release; the project builds and tests on Debian 12 (bookworm) or Debian 13 (trixie) only" ;;
esac

packages="cmake ninja-build
g++-mingw-w64-x86-64-win32 g++-mingw-w64-i686-win32
binutils-mingw-w64-x86-64 binutils-mingw-w64-i686
googletest wine64 tzdata"
want32=yes
[ "${1:-}" = "--64-only" ] && want32=no
# The i486 compiler's sources and build tools (tools/build-i486-runtime.sh).
[ "$want32" = no ] || packages="$packages
gcc-$gcc_major-source mingw-w64-i686-dev libgmp-dev libmpfr-dev libmpc-dev zlib1g-dev
gcc g++ make xz-utils patch dpkg-dev"

as_root=""
if [ "$(id -u)" -ne 0 ]; then
  command -v sudo >/dev/null 2>&1 && as_root=sudo
fi
# The system's apt-get: sudo drops DEBIAN_FRONTEND, and a debconf question
# would wait unseen, its output going to a log. Under --64-only it reads and
# fetches no architecture but the machine's own, even where i386 is added.
arch_opts=""
[ "$want32" = yes ] || arch_opts="-o APT::Architectures=$(dpkg --print-architecture)"
system_apt="$as_root env DEBIAN_FRONTEND=noninteractive apt-get $arch_opts"
need_root() {
  if [ "$(id -u)" -ne 0 ] && [ -z "$as_root" ]; then
    fail "need root (or sudo) to $*"
  fi
}

installed() {
  dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q "install ok installed"
}

# apt-get update, once more after a pause when an index fails: a mirror in
# the middle of a sync serves an index whose size does not match its release
# file for some minutes. $1 names the apt in messages; the rest goes to
# apt-get.
apt_update() {
  what=$1
  shift
  out=$(mktemp)
  for try in 1 2; do
    # apt-get update exits 0 when an index failed but an older one is kept:
    # its "E:"/"W:" lines tell.
    if "$@" update -q >"$out" 2>&1 && ! grep -q '^\(E\|W\): Failed to fetch' "$out"; then
      rm -f "$out"
      return 0
    fi
    failed=$(sed -n 's/^\(E\|W\): Failed to fetch \([^ ]*\).*/\2/p' "$out")
    [ -n "$failed" ] || failed=$(grep '^\(E\|W\):' "$out" | head -3)
    reason=$(sed -n 's/^\(E\|W\): Failed to fetch [^ ]* *//p' "$out" | sed 's/ *\[IP:.*//' | head -1)
    if [ $try = 1 ]; then
      echo "setup: apt-get update ($what) failed for:" >&2
      echo "$failed" | sed 's/^/  /' >&2
      [ -z "$reason" ] || echo "  ($reason)" >&2
      echo "setup: trying once more in 60 s" >&2
      sleep 60
    fi
  done
  rm -f "$out"
  echo "setup: step 'apt-get update' ($what) failed twice for:" >&2
  echo "$failed" | sed 's/^/  /' >&2
  [ -z "$reason" ] || echo "  ($reason)" >&2
  case "$reason" in
  *"unexpected size"* | *"Hash Sum mismatch"* | *"Mirror sync"*)
    echo "setup: the mirror is in the middle of a sync; run setup again in a few minutes," >&2
    echo "  or, if it keeps failing, name another Debian mirror in /etc/apt/sources.list*" >&2 ;;
  *)
    echo "setup: check the machine's network and apt sources (/etc/apt/sources.list*), then run setup again" >&2 ;;
  esac
  case "$want32$failed" in
  yes*binary-i386*) echo "setup: only the i686 tests need the i386 indexes: 'sh tools/setup.sh --64-only' sets up the x86_64 build and its tests" >&2 ;;
  esac
  exit 1
}

missing=""
for p in $packages; do
  installed "$p" || missing="$missing $p"
done
if [ "$want32" = yes ]; then
  installed wine32:i386 || missing="$missing wine32:i386"
fi

if [ -n "$missing" ]; then
  need_root "install:$missing"
  echo "setup: installing on $release:$missing"
  if [ "$want32" = yes ] && ! dpkg --print-foreign-architectures | grep -qx i386; then
    $as_root dpkg --add-architecture i386 || fail "step 'dpkg --add-architecture i386' failed"
  fi
  # shellcheck disable=SC2086
  apt_update "the system's sources" $system_apt
  # Named before anything is installed: a package the sources lack.
  for p in $missing; do
    # shellcheck disable=SC2086
    candidate=$(apt-cache $arch_opts policy "$p" 2>/dev/null | sed -n 's/^ *Candidate: //p')
    if [ -z "$candidate" ] || [ "$candidate" = "(none)" ]; then
      fail "package $p is not available from this machine's apt sources ($release); add the release's main suite to /etc/apt/sources.list"
    fi
  done
  mkdir -p build
  # shellcheck disable=SC2086
  if ! $system_apt install -y -q --no-install-recommends $missing >build/setup-apt.log 2>&1; then
    grep '^E:' build/setup-apt.log >&2 || tail -20 build/setup-apt.log >&2
    fail "step 'apt-get install' failed (whole output in $PWD/build/setup-apt.log):$missing"
  fi
  rm -f build/setup-apt.log
fi

[ "$want32" = yes ] || exit 0

qemu_dir=build/tools/qemu
qemu="$qemu_dir/usr/bin/qemu-i386"
if [ ! -x "$qemu" ]; then
  # The Debian archive this machine already uses; never a name of our own.
  # Only Debian's own: a third party's repository may name the same codename.
  debian_archive() {
    apt-get indextargets --format '$(REPO_URI) $(LABEL) $(CODENAME) $(TARGET_OF)' 2>/dev/null |
      awk -v c="$codename" '$2 == "Debian" && $3 == c && $4 == "deb" { print $1; exit }'
  }
  archive=$(debian_archive)
  if [ -z "$archive" ]; then
    # Index targets are read from the fetched indexes: none where the lists
    # were never fetched or were cleaned (a container image), however many
    # packages are installed.
    need_root "run apt-get update (the Debian archive is named by the fetched indexes)"
    # shellcheck disable=SC2086
    apt_update "the system's sources" $system_apt
    archive=$(debian_archive)
  fi
  if [ -z "$archive" ]; then
    fail "no Debian $codename archive in this machine's apt sources; cannot fetch qemu-user from $qemu_suite"
  fi
  work="$PWD/build/tools/apt"
  rm -rf "$work"
  mkdir -p "$work/lists/partial" "$work/cache/archives/partial" "$work/etc" "$qemu_dir"
  echo "deb [arch=amd64] $archive $qemu_suite main" >"$work/etc/sources.list"
  # An apt of our own: its own source list, index folder and cache, so the
  # system's sources and indexes stay as they are.
  own_apt="-o Dir::Etc::SourceList=$work/etc/sources.list -o Dir::Etc::SourceParts=/dev/null
    -o Dir::State::Lists=$work/lists -o Dir::Cache=$work/cache -o APT::Architectures=amd64
    -o Debug::NoLocking=1 -o APT::Sandbox::User=root"
  echo "setup: fetching qemu-user from ${archive} $qemu_suite"
  # shellcheck disable=SC2086
  apt_update "qemu-user from $qemu_suite" apt-get $own_apt
  # shellcheck disable=SC2086
  version=$(apt-cache $own_apt madison qemu-user | awk -F'|' -v s="$qemu_suite" '$3 ~ s"/" { gsub(/ /, "", $2); print $2; exit }')
  [ -n "$version" ] || fail "$qemu_suite has no qemu-user package"
  # shellcheck disable=SC2086
  (cd "$work" && apt-get $own_apt download "qemu-user=$version" >/dev/null) ||
    fail "step 'apt-get download qemu-user=$version' from $qemu_suite failed; run setup again"
  dpkg-deb -x "$work"/qemu-user_*.deb "$work/unpacked" || fail "step 'dpkg-deb -x' of the qemu-user package failed"
  # Only the i386 emulator is used; the package holds thirty others.
  mkdir -p "$qemu_dir/usr/bin"
  [ -x "$work/unpacked/usr/bin/qemu-i386" ] || fail "the qemu-user package of $qemu_suite held no usr/bin/qemu-i386"
  mv "$work/unpacked/usr/bin/qemu-i386" "$qemu_dir/usr/bin/"
  rm -rf "$work"
fi

# Last: it takes the longest, and only the first run on a machine builds.
sh tools/build-i486-runtime.sh >/dev/null
