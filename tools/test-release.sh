#!/bin/sh
# Runs the README's commands the way a newcomer would, on a pristine Debian
# release: makes a minimal root of that release with debootstrap, clones this
# repository's committed HEAD into it (/src), enters it and runs
# `sh tools/test.sh`, then `sh tools/demo.sh`, each with an empty
# environment. Takes 25 to 40 minutes; not part of CI.
#   test-release.sh 12|13 [<folder>]     (as root; default folder
#                                         /var/tmp/qel-release-<release>)
# The folder is made anew; its root/ stays afterwards for a look inside
# (`test-release.sh --enter <folder>/root sh` enters it again), run.log holds
# the whole run, and the last lines give each step's time.
#
# The root is entered through a mount namespace of its own with the root
# pivoted, not chroot: the i686 tests make a user namespace
# (cmake/with-i386.sh), which the kernel refuses to a chrooted process.
set -eu

if [ "${1:-}" = "--enter" ]; then
  # Inside `unshare --mount --pid --fork`: PID 1 of a new PID namespace, with
  # mounts of our own.
  root=$2
  shift 2
  mount --rbind "$root" "$root"
  mount -t proc proc "$root/proc"
  mount --rbind /sys "$root/sys"
  mount --rbind /dev "$root/dev"
  cp /etc/resolv.conf "$root/etc/resolv.conf"
  cd "$root"
  # A name of this entry's own: another entry into the same root may be
  # between its pivot and its rmdir.
  old=$(basename "$(mktemp -d "$root/.old-root.XXXXXX")")
  pivot_root . "$old"
  cd /
  umount -l "/$old"
  rmdir "/$old"
  # The empty environment of a newcomer's container: nothing of ours leaks in.
  exec env -i "$@"
fi

usage() {
  echo "usage: $0 12|13 [<folder>]" >&2
  exit 2
}
[ $# -ge 1 ] || usage
case "$1" in
12) codename=bookworm ;;
13) codename=trixie ;;
*)
  echo "test-release: Debian $1 is not a release this project supports (12 or 13)" >&2
  exit 2
  ;;
esac
release=$1
folder=${2:-/var/tmp/qel-release-$release}
repo=$(cd "$(dirname "$0")/.." && pwd)

if [ "$(id -u)" -ne 0 ]; then
  echo "test-release: run as root (debootstrap and the mounts need it)" >&2
  exit 1
fi
for tool in debootstrap unshare git; do
  if ! command -v $tool >/dev/null 2>&1; then
    echo "test-release: $tool is missing: apt-get install $tool" >&2
    exit 1
  fi
done
if [ ! -e /usr/share/debootstrap/scripts/$codename ]; then
  echo "test-release: this debootstrap does not know $codename: install a newer debootstrap" >&2
  exit 1
fi
# The Debian archive this machine already uses (it serves every release).
archive=$(apt-get indextargets --format '$(REPO_URI) $(LABEL) $(TARGET_OF)' 2>/dev/null |
  awk '$2 == "Debian" && $3 == "deb" { print $1; exit }')
if [ -z "$archive" ]; then
  echo "test-release: no Debian archive in this machine's apt sources to make the root from" >&2
  exit 1
fi

case "$folder" in
"$repo" | "$repo"/*)
  echo "test-release: $folder lies inside the repository; choose a folder outside it" >&2
  exit 2
  ;;
esac
# A root left by an earlier run may still be entered; never delete through
# its mounts.
if [ -d "$folder/root" ] && grep -q " $folder/root" /proc/mounts; then
  echo "test-release: $folder/root is still mounted (another run inside it?)" >&2
  exit 1
fi
rm -rf "$folder"
mkdir -p "$folder"
log=$folder/run.log
echo "test-release: Debian $release in $folder/root; the whole run goes to $log"
# The caller's output stays on descriptor 3 for the summary.
exec 3>&1 >"$log" 2>&1 </dev/null
seconds() { date +%s; }
start=$(seconds)

echo "== debootstrap --variant=minbase $codename from $archive"
debootstrap --variant=minbase "$codename" "$folder/root" "$archive"
made=$(seconds)
echo "== a clone of $(git -C "$repo" rev-parse --short HEAD) into /src"
git clone -q "$repo" "$folder/root/src"

enter() {
  unshare --mount --pid --fork --propagation private sh "$0" --enter "$folder/root" "$@"
}
# One command inside, timed by the root's own date, so each step's time can be
# read from the log even when a later step fails.
# The demonstration runs whatever the tests gave: a newcomer tries both.
status=0
enter sh -c 'cd /src && start=$(date +%s) && sh tools/test.sh; s=$?;
  echo "test.sh: exit $s in $(($(date +%s) - start)) s"; exit $s' || status=1
enter sh -c 'cd /src && start=$(date +%s) && sh tools/demo.sh; s=$?;
  echo "demo.sh: exit $s in $(($(date +%s) - start)) s"; exit $s' || status=1

{
  echo
  echo "== Debian $release ($codename), a pristine minbase root, empty environment"
  echo "root made in $((made - start)) s"
  cat "$folder/root/src/build/test-logs/summary" 2>/dev/null || echo "(no test summary)"
  grep -E '^(test|demo)\.sh: exit' "$log" || true
  echo "whole run: $(($(seconds) - start)) s, $([ $status -eq 0 ] && echo passed || echo FAILED)"
} >"$folder/summary"
cat "$folder/summary"
cat "$folder/summary" >&3
exit $status
