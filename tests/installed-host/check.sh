#!/bin/sh
# A host developer's view of the install: installs the tree, compiles every
# installed header beside the platform's headers in both orders, builds the
# two small hosts in this folder with Debian's cross compiler against nothing
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

# A host includes the platform's headers too, before ours or after them:
# each installed header must compile either way with our own warnings.
platform=$(printf '#include <%s>\n' windows.h olectl.h ole2.h winspool.h ras.h shlobj.h)
mkdir -p "$build/installed-host/headers"
compiled=0 seen=""
# The two the hosts include must be there (a missing one fails to compile);
# every other installed header is checked once too.
for header in "$installed"/include/QELPrinter.h "$installed"/include/QELSystemExt.h "$installed"/include/*.h; do
  case "$seen" in *"|$header|"*) continue ;; esac
  seen="$seen|$header|"
  name=$(basename "$header")
  for order in first last; do
    tu="$build/installed-host/headers/${name%.h}-$order.cpp"
    if [ $order = first ]; then printf '#include "%s"\n%s\n' "$name" "$platform"
    else printf '%s\n#include "%s"\n' "$platform" "$name"; fi >"$tu"
    if "$cxx" -std=c++17 -Wall -Wextra -Wshadow -Werror -fsyntax-only -I"$installed/include" "$tu"; then
      compiled=$((compiled + 1))
    else
      echo "FAILED: $name does not compile included $order beside the platform's headers"
      status=1
    fi
  done
done
echo "headers: $compiled translation units compiled beside the platform's"
# regsvr32 finds DllRegisterServer by name; linked, it would be another library's.
symbols=$("${cxx%g++*}nm" "$installed/lib/QELSystemExt.lib") || { echo "FAILED: cannot read QELSystemExt.lib"; status=1; }
if printf '%s\n' "$symbols" | grep -q DllRegisterServer; then
  echo "FAILED: the import library offers DllRegisterServer"
  status=1
fi

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
