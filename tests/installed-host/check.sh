#!/bin/sh
# A host developer's view of the install: installs the tree, compiles every
# installed header beside the platform's headers in both orders, builds the
# two small hosts in this folder with Debian's cross compiler against nothing
# but the installed headers and import libraries, and again with CMake
# through the installed package and Debian's compiler's toolchain file
# (cmake/), and runs each under Wine beside the installed DLLs. The package
# must refuse a host of the other pointer size.
#   check.sh <build dir> <c++ compiler> <wine> <this folder> <toolchain file> <pointer size>
set -eu
build=$1 cxx=$2 wine=$3 here=$4 toolchain=$5 size=$6
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

package="$build/installed-host/cmake"
cmake -S "$here/cmake" -B "$package" -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
  -DCMAKE_PREFIX_PATH="$installed" >"$package.log" 2>&1 && cmake --build "$package" >>"$package.log" 2>&1 ||
  { cat "$package.log"; status=1; }
for dll in QELPrinter QELSystemExt; do
  "$cxx" -std=c++17 -Wall -Wextra -Werror -I"$installed/include" "$here/${dll}Host.cpp" \
    -L"$installed/lib" -l"$dll" -static -o "$out/${dll}InstalledHost.exe"
  for host in "$out/${dll}InstalledHost.exe" "$package/${dll}CMakeHost.exe"; do
    (cd "${host%/*}" && "$wine" "./${host##*/}") >"$host.log" 2>&1 || status=$?
    echo "${host##*/}:" && cat "$host.log"
    # The host's last line says it called every export; a program that never
    # ran prints nothing.
    grep -q "^${dll}: every export called" "$host.log" || status=1
  done
done
# What find_package asks of the version file for a host of the other pointer size.
printf 'cmake_minimum_required(VERSION 3.25)\nset(CMAKE_SIZEOF_VOID_P %s)\nset(PACKAGE_FIND_VERSION 1.0)\ninclude("%s")\n%s\n' \
  $((12 - size)) "$installed/lib/cmake/QEL/QELConfigVersion.cmake" 'message("refused: ${PACKAGE_VERSION_UNSUITABLE}")' >"$package-other.cmake"
cmake -P "$package-other.cmake" 2>&1 | grep -q "^refused: TRUE" || { echo "FAILED: a host of the other pointer size takes this tree"; status=1; }
exit $status
