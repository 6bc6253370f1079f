#!/bin/sh
# Runs the README's commands the way a newcomer would, on a pristine Debian
# release: makes a minimal root of that release with debootstrap, clones this
# repository's committed HEAD into it (/src), enters it and runs
# `sh tools/test.sh`, then `sh tools/demo.sh`, each with an empty
# environment. Takes up to half an hour; not part of CI.
#   test-release.sh 12|13 [<folder>]     (as root; default folder
#                                         /var/tmp/qel-release-<release>)
#   test-release.sh --shell <folder>     a shell in an earlier run's root
# The folder is made anew, and only over a folder that is missing, empty or
# an earlier run's (marked by its .qel-release file): the run deletes it as
# root. <folder>.lock is held while a run or a shell uses the folder. Its
# root/ stays afterwards for a look inside (--shell), run.log holds the
# whole run, and the last lines give each step's time.
#
# The root is entered through a mount namespace of its own with the root
# pivoted, not chroot: the i686 tests make a user namespace
# (cmake/with-i386.sh), which the kernel refuses to a chrooted process.
set -eu

if [ "${1:-}" = "--enter" ]; then
  # Only as PID 1 of the namespaces enter() makes: anywhere else the mounts,
  # the pivot and the lazy unmount below would act on the caller's own root.
  if [ $$ -ne 1 ] || [ $# -lt 3 ]; then
    echo "test-release: --enter is for the script's own use; use --shell <folder>" >&2
    exit 2
  fi
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
  echo "       $0 --shell <folder>" >&2
  exit 2
}
fail() {
  echo "test-release: $*" >&2
  exit 1
}
[ $# -ge 1 ] || usage
[ "$(id -u)" -eq 0 ] || fail "run as root (debootstrap and the mounts need it)"
for tool in debootstrap unshare flock realpath git; do
  command -v $tool >/dev/null 2>&1 || fail "$tool is missing: apt-get install $tool"
done

enter() {
  unshare --mount --pid --fork --propagation private sh "$0" --enter "$folder/root" "$@"
}

if [ "$1" = "--shell" ]; then
  [ $# -eq 2 ] || usage
  folder=$(realpath -m -- "$2")
  if [ ! -f "$folder/.qel-release" ] || [ ! -d "$folder/root/src" ]; then
    fail "$folder holds no root of an earlier run"
  fi
  exec 9>"$folder.lock"
  # Shared: shells side by side, but none while a run remakes the folder.
  flock -s -n 9 || fail "a run is using $folder (it holds $folder.lock)"
  enter sh -c 'cd /src && exec sh -i'
  exit
fi

case "$1" in
12) codename=bookworm ;;
13) codename=trixie ;;
*)
  echo "test-release: Debian $1 is not a release this project supports (12 or 13)" >&2
  exit 2
  ;;
esac
[ $# -le 2 ] || usage
release=$1
# One absolute name, links resolved: the checks below see what rm would.
folder=$(realpath -m -- "${2:-/var/tmp/qel-release-$release}")
repo=$(cd "$(dirname "$0")/.." && pwd -P)

if [ ! -e /usr/share/debootstrap/scripts/$codename ]; then
  fail "this debootstrap does not know $codename: install a newer debootstrap"
fi
# The Debian archive this machine already uses (it serves every release).
archive=$(apt-get indextargets --format '$(REPO_URI) $(LABEL) $(TARGET_OF)' 2>/dev/null |
  awk '$2 == "Debian" && $3 == "deb" { print $1; exit }')
[ -n "$archive" ] || fail "no Debian archive in this machine's apt sources to make the root from"

case "$folder" in
"$repo" | "$repo"/*)
  echo "test-release: $folder lies inside the repository; choose a folder outside it" >&2
  exit 2
  ;;
esac
# The folder is deleted as root: only one this script made, or an empty one.
check_folder() {
  [ -e "$folder" ] || return 0
  [ -d "$folder" ] || fail "$folder is not a folder"
  if [ ! -f "$folder/.qel-release" ] && [ -n "$(ls -A "$folder")" ]; then
    fail "$folder is not empty and not an earlier run's (no .qel-release in it); choose another folder"
  fi
}
# Checked before the lock file is made beside it, and again under the lock.
check_folder
mkdir -p "$(dirname "$folder")"
# Held to the end, by every process of the run: a second run or a shell
# must not meet a root being deleted or remade.
exec 9>"$folder.lock"
flock -n 9 || fail "another run or a shell is using $folder (it holds $folder.lock)"
check_folder
# Never across into another file system: a mount left inside stops the run.
rm -rf --one-file-system "$folder"
mkdir -p "$folder"
echo "made by tools/test-release.sh $release on $(date -u '+%Y-%m-%d %H:%M:%S UTC')" >"$folder/.qel-release"
log=$folder/run.log
echo "test-release: Debian $release in $folder/root; the whole run goes to $log"
# The caller's output stays on descriptor 3: the summary, or the log's last
# lines when a step stops the run before it.
exec 3>&1 >"$log" 2>&1 </dev/null
# shellcheck disable=SC2317 # called by the trap
stopped() {
  code=$?
  [ -e "$folder/summary" ] && return
  echo "test-release: stopped (exit $code); the last lines of $log:" >&3
  tail -20 "$log" >&3
}
trap stopped EXIT
seconds() { date +%s; }
start=$(seconds)

echo "== debootstrap --variant=minbase $codename from $archive"
debootstrap --variant=minbase "$codename" "$folder/root" "$archive"
made=$(seconds)
echo "== a clone of $(git -C "$repo" rev-parse --short HEAD) into /src"
git clone -q "$repo" "$folder/root/src"

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
