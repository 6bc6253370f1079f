#!/bin/sh
# Builds the i686 deliverable's compiler and runtime for the i486, once per
# machine: Debian's i686 mingw-w64 compiler and the runtime it links in
# statically (libgcc, libstdc++, mingw-w64's start-up objects and libraries)
# default to the Pentium Pro, whose instructions (CMOVcc, FCOMI, the 0F 1F
# NOPs) stop a 486 or Pentium, the processors of Windows 95/98 and NT 4.
#
# From Debian's own sources of the versions this machine has: GCC from
# gcc-<major>-source, mingw-w64's CRT from the mingw-w64 source package of
# the machine's own Debian archive (a private source list: the machine's apt
# sources stay as they are). Debian's configuration of its i686-w64-mingw32
# win32-threads compiler (its `-v`), changed only in:
#   --with-arch=i486                the point of it all
#   --enable-languages=c,c++        the only languages the project uses
#   --disable-shared                the runtime is only linked in statically
#   --disable-lto, --disable-libgomp, --disable-libatomic
#                                   unused here; each costs build time
# and the compiler itself is built at -O0, the runtime as Debian does (-O2).
# The CRT is configured as Debian's (its rules give only the prefix and the
# one architecture; the C runtime DLL is named, as mingw-w64 12 defaults to
# the UCRT, which no target Windows has) and compiled by Debian's own
# compiler with -march=i486, which is quicker than the -O0 one; a step
# checks that it defines what Debian's CRT defines.
#
# The result goes to <cache>/<key>, where the key hashes every input (this
# script, the source packages' and binutils' versions); build/tools/i486
# points at it. <cache> is /var/cache/qel-i486-runtime, or where
# QEL_RUNTIME_CACHE names, or ~/.cache/qel-i486-runtime for a user who cannot
# write there. A build happens in <cache>/.work-<key> and is moved into
# place only when every step passed, so a failed or interrupted build is
# never taken for a finished one.
#   build-i486-runtime.sh    build if needed, then print the folder
set -eu
PATH=${PATH:-/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin}
export PATH LC_ALL=C
cd "$(dirname "$0")/.."
repo=$PWD
script="$repo/tools/build-i486-runtime.sh"

fail() {
  echo "build-i486-runtime: $*" >&2
  exit 1
}

target=i686-w64-mingw32
cache=${QEL_RUNTIME_CACHE:-/var/cache/qel-i486-runtime}
if [ -z "${QEL_RUNTIME_CACHE:-}" ] && ! mkdir -p "$cache" 2>/dev/null; then
  cache="${XDG_CACHE_HOME:-$HOME/.cache}/qel-i486-runtime"
fi
mkdir -p "$cache" 2>/dev/null && [ -w "$cache" ] ||
  fail "cannot write the cache folder $cache (name another with QEL_RUNTIME_CACHE)"

jobs=$(nproc 2>/dev/null || echo 2)

major=$($target-gcc-win32 -dumpversion | sed 's/[^0-9].*//')
[ -n "$major" ] || fail "cannot tell the version of $target-gcc-win32"
version_of() {
  dpkg-query -W -f='${Version}' "$1" 2>/dev/null || true
}
gcc_source_version=$(version_of gcc-$major-source)
[ -n "$gcc_source_version" ] || fail "package gcc-$major-source is not installed (tools/setup.sh installs it)"
crt_version=$(version_of mingw-w64-i686-dev)
[ -n "$crt_version" ] || fail "package mingw-w64-i686-dev is not installed"
binutils_version=$(version_of binutils-mingw-w64-i686)
# Debian's compiler, whose configuration this one repeats and which compiles
# the CRT.
debian_compiler_version=$(version_of gcc-mingw-w64-i686-win32)

# Comments aside, this script is an input too.
key=$( (
  echo "gcc-$major-source $gcc_source_version"
  echo "mingw-w64 $crt_version"
  echo "binutils $binutils_version"
  echo "gcc-mingw-w64-i686-win32 $debian_compiler_version"
  grep -v '^ *#' "$script"
) | sha256sum | cut -c1-16)
final="$cache/$key"
link="$repo/build/tools/i486"

if [ ! -f "$final/.complete" ]; then
  # One build at a time: a second caller waits for the first and then finds
  # the result.
  exec 9>"$cache/.lock"
  flock 9
fi
if [ ! -f "$final/.complete" ]; then
  work="$cache/.work-$key"
  rm -rf "$work"
  mkdir -p "$work/logs"
  logs="$work/logs"
  prefix="$work/prefix"
  began=$(date +%s)
  # Each step in a shell of its own that stops at its first failing command.
  step() {
    name=$1
    shift
    t0=$(date +%s)
    echo "build-i486-runtime: $name" >&2
    rc=0
    (
      set -e
      "$@"
    ) >"$logs/$name.log" 2>&1 || rc=$?
    if [ $rc -ne 0 ]; then
      tail -15 "$logs/$name.log" >&2
      fail "step '$name' failed; its whole output is in $logs/$name.log (nothing of this build is used)"
    fi
    echo "$name $(($(date +%s) - t0)) s" >>"$logs/times"
  }

  unpack_gcc() {
    tarball=$(ls /usr/src/gcc-$major/gcc-*.tar.* | head -1)
    mkdir -p "$work/src"
    tar -xf "$tarball" -C "$work/src"
    gcc_src=$(ls -d "$work"/src/gcc-*/)
    # The tarball has the GFDL documentation removed; Debian's build patch
    # lets it build without.
    patch -d "$gcc_src" -p2 <"/usr/src/gcc-$major/patches/gcc-gfdl-build.diff"
  }

  fetch_crt() {
    # Debian's own archive, as the machine's apt sources name it.
    codename=$(. /etc/os-release && echo "$VERSION_CODENAME")
    debian_archive() {
      apt-get indextargets --format '$(REPO_URI) $(LABEL) $(CODENAME) $(TARGET_OF)' 2>/dev/null |
        awk -v c="$codename" '$2 == "Debian" && $3 == c && $4 == "deb" { print $1; exit }'
    }
    archive=$(debian_archive)
    # The archive is named by the fetched indexes, which a cleaned machine
    # lacks.
    [ -n "$archive" ] || { apt-get update -q && archive=$(debian_archive); }
    [ -n "$archive" ] || { echo "no Debian $codename archive in the apt sources"; return 1; }
    apt="$work/apt"
    mkdir -p "$apt/lists/partial" "$apt/cache/archives/partial" "$apt/etc" "$work/crt"
    printf 'Types: deb-src\nURIs: %s\nSuites: %s\nComponents: main\nSigned-By: /usr/share/keyrings/debian-archive-keyring.gpg\n' \
      "$archive" "$codename" >"$apt/etc/sources.sources"
    opts="-o Dir::Etc::SourceList=/dev/null -o Dir::Etc::SourceParts=$apt/etc
      -o Dir::State::Lists=$apt/lists -o Dir::Cache=$apt/cache
      -o Debug::NoLocking=1 -o APT::Sandbox::User=root"
    # shellcheck disable=SC2086
    apt-get $opts update -q
    # The source of the headers and import libraries the machine has: each
    # file checked against the archive's signed index.
    # shellcheck disable=SC2086
    apt-get $opts --print-uris source "mingw-w64=$crt_version" | sed -n "s/^'\([^']*\)' \([^ ]*\) [0-9]* \(.*\)/\1 \2 \3/p" |
      while read -r uri name hash; do
        /usr/lib/apt/apt-helper -o APT::Sandbox::User=root download-file "$uri" "$work/crt/$name" "$hash" || echo "not fetched: $name"
      done
    cd "$work/crt"
    if [ -f mingw-w64_*.dsc ] && [ -f mingw-w64_*.debian.tar.* ]; then
      dpkg-source -x mingw-w64_*.dsc src
      echo "Debian's mingw-w64 $crt_version" >"$work/crt-source"
    elif [ -f mingw-w64_*.orig.tar.* ]; then
      # Seen with a mirror that served the upstream tarball of a source
      # package but not its Debian files. Debian's patches to the CRT (in
      # 10.0.0-3) set build flags and dlltool's temporary names, not the
      # code; the compare-crt step checks what the CRT defines all the same.
      echo "the archive lacks Debian's files of mingw-w64 $crt_version; building its CRT from the package's upstream tarball"
      echo "upstream tarball of mingw-w64 $crt_version" >"$work/crt-source"
      mkdir src
      tar -xf mingw-w64_*.orig.tar.* -C src --strip-components=1
    else
      echo "the archive has no source of mingw-w64 $crt_version"
      return 1
    fi
  }

  configure_gcc() {
    mkdir -p "$work/gcc-build" "$prefix/$target/include"
    # The machine's own mingw-w64 headers, from the same source as the CRT.
    cp -rL "/usr/$target/include/." "$prefix/$target/include/"
    cd "$work/gcc-build"
    "$gcc_src/configure" --build=x86_64-linux-gnu --host=x86_64-linux-gnu --target=$target \
      --prefix="$prefix" --libexecdir="$prefix/lib" --libdir="$prefix/lib" \
      --disable-option-checking --disable-silent-rules --disable-maintainer-mode \
      --disable-dependency-tracking --enable-static --disable-multilib \
      --with-system-zlib --without-included-gettext --enable-libstdcxx-time=yes \
      --with-tune=generic --with-headers --enable-version-specific-runtime-libs \
      --enable-fully-dynamic-string --enable-threads=win32 \
      --program-suffix=-win32 --program-prefix=$target- \
      --with-as=/usr/bin/$target-as --with-ld=/usr/bin/$target-ld \
      --enable-libstdcxx-filesystem-ts=yes --disable-sjlj-exceptions --with-dwarf2 \
      --with-arch=i486 --enable-languages=c,c++ --disable-shared \
      --disable-lto --disable-libgomp --disable-libatomic \
      CFLAGS=-O0 CXXFLAGS=-O0
  }
  build_compiler() {
    make -C "$work/gcc-build" -j"$jobs" all-gcc && make -C "$work/gcc-build" install-strip-gcc
  }
  build_crt() {
    # The CRT of the same version as the machine's import libraries,
    # 32-bit only, for the i486.
    mkdir -p "$work/crt-build"
    cd "$work/crt-build"
    "$work/crt/src/mingw-w64-crt/configure" \
      --host=$target --prefix="$prefix/$target" --enable-lib32 --disable-lib64 \
      --with-default-msvcrt=msvcrt CC=$target-gcc-win32 CFLAGS="-O2 -g -march=i486"
    make -j"$jobs"
    make install
  }
  compare_crt() {
    # The same names defined as in Debian's CRT: the same configuration.
    for library in libmsvcrt.a libmingw32.a libmingwex.a libmoldname.a; do
      for tree in "$prefix/$target/lib" "/usr/$target/lib"; do
        $target-nm -g --defined-only "$tree/$library" | awk 'NF == 3 { print $3 }' | sort -u >"$work/$library.$(echo "$tree" | tr / _)"
      done
      if ! cmp -s "$work/$library."*; then
        echo "$library defines other names than /usr/$target/lib/$library:"
        diff "$work/$library."* | head -20
        return 1
      fi
    done
  }
  build_libgcc() {
    PATH="$prefix/bin:$PATH" make -C "$work/gcc-build" -j"$jobs" all-target-libgcc &&
      PATH="$prefix/bin:$PATH" make -C "$work/gcc-build" install-target-libgcc
  }
  build_libstdcxx() {
    PATH="$prefix/bin:$PATH" make -C "$work/gcc-build" -j"$jobs" all-target-libstdc++-v3 &&
      PATH="$prefix/bin:$PATH" make -C "$work/gcc-build" install-strip-target-libstdc++-v3
  }

  step unpack-gcc unpack_gcc
  gcc_src=$(ls -d "$work"/src/gcc-*/)
  gcc_src=${gcc_src%/}
  step fetch-crt fetch_crt
  step crt build_crt
  step compare-crt compare_crt
  step configure-gcc configure_gcc
  step compiler build_compiler
  step libgcc build_libgcc
  step libstdc++ build_libstdcxx

  echo "total $(($(date +%s) - began)) s" >>"$logs/times"
  cat "$work/crt-source" >>"$logs/times"
  mv "$logs" "$prefix/logs"
  touch "$prefix/.complete"
  rm -rf "$final"
  mv "$prefix" "$final"
  rm -rf "$work"
  sed 's/^/build-i486-runtime: /' "$final/logs/times" >&2
fi
mkdir -p "$(dirname "$link")"
ln -sfn "$final" "$link"
echo "$final"
