#!/bin/sh
# A host developer's view of the install: installs the tree, builds the two
# small hosts in this folder with the same cross compiler against nothing
# but the installed headers and import libraries, and runs each under Wine
# beside the installed DLLs.
#   check.sh <build dir> <c++ compiler> <wine> <this folder>
set -eu
build=$1 cxx=$2 wine=$3 here=$4
installed="$build/installed-host/tree"
out="$build/installed-host/bin"
rm -rf "$build/installed-host"
mkdir -p "$out"
cmake --install "$build" --prefix "$installed" >/dev/null
cp "$installed"/bin/*.dll "$out/"
status=0
for dll in QELPrinter QELSystemExt; do
  "$cxx" -std=c++17 -Wall -Wextra -Werror -I"$installed/include" "$here/${dll}Host.cpp" \
    -L"$installed/lib" -l"$dll" -static -o "$out/${dll}InstalledHost.exe"
  (cd "$out" && "$wine" "./${dll}InstalledHost.exe") >"$out/$dll.log" 2>&1 || status=$?
  cat "$out/$dll.log"
  # The host's last line says it called every export; a program that never
  # ran prints nothing.
  grep -q "^${dll}: every export called" "$out/$dll.log" || status=1
done
exit $status
