#!/bin/sh
# The test run's Wine prefix.
#   wine-prefix.sh setup <prefix> [<program.exe>=<version>|disable:<dll> ...]
#     makes the prefix anew, puts the stand-in DLLs of the folder QEL_STANDINS
#     into its system directory, sets each program's Windows version or
#     disables a DLL for it, and leaves one wineserver running for the rest
#     of the run;
#   wine-prefix.sh cleanup <prefix>
#     stops that wineserver (and only that one).
# WINE names the loader (wine64, or the 32-bit wine) and WINEARCH the
# prefix's architecture; both come from the tree's test registration.
set -u
action=$1
export WINEPREFIX="$2"
shift 2
export WINEDEBUG=-all
WINE=${WINE:-/usr/lib/wine/wine64}
export WINEARCH="${WINEARCH:-win64}"
WINESERVER=/usr/lib/wine/wineserver

case "$action" in
setup)
  # A server left over from an earlier run would hold the old prefix open.
  "$WINESERVER" -k </dev/null >/dev/null 2>&1
  rm -rf "$WINEPREFIX"
  # No network here: keep wineboot from asking for Mono and Gecko.
  if ! WINEDLLOVERRIDES="mscoree,mshtml=" "$WINE" wineboot -i </dev/null >/dev/null 2>&1; then
    echo "wineboot failed for $WINEPREFIX" >&2
    exit 1
  fi
  "$WINESERVER" -w
  # Where Windows keeps the DLLs they stand in for, since the library loads
  # system DLLs from there alone; Wine's own stay builtin unless overridden.
  if [ -n "${QEL_STANDINS:-}" ]; then
    for standin in "$QEL_STANDINS"/*; do
      cp "$standin" "$WINEPREFIX/drive_c/windows/system32/" || { echo "cannot install $standin" >&2; exit 1; }
    done
  fi
  # The redirects matter: without them CTest waits for the server's output.
  "$WINESERVER" -p </dev/null >/dev/null 2>&1
  "$WINE" cmd /c exit </dev/null >/dev/null 2>&1
  # Windows 2000 and 98 look in the current directory before the system
  # directory; so does this prefix, so a bare-name load shows as it would there.
  "$WINE" reg add 'HKLM\System\CurrentControlSet\Control\Session Manager' /v SafeDllSearchMode \
    /t REG_DWORD /d 0 /f </dev/null >/dev/null 2>&1 || { echo "cannot set SafeDllSearchMode" >&2; exit 1; }
  for pair in "$@"; do
    exe=${pair%%=*}
    setting=${pair#*=}
    case "$setting" in
    disable:*)
      # An empty override disables the DLL for this program only.
      key="HKCU\\Software\\Wine\\AppDefaults\\$exe\\DllOverrides"
      name=${setting#disable:}
      data=""
      ;;
    *)
      key="HKCU\\Software\\Wine\\AppDefaults\\$exe"
      name=Version
      data=$setting
      ;;
    esac
    "$WINE" reg add "$key" /v "$name" /d "$data" /f </dev/null >/dev/null 2>&1 ||
      { echo "cannot set $setting for $exe" >&2; exit 1; }
  done
  echo "prefix ready: $WINEPREFIX"
  ;;
cleanup)
  "$WINESERVER" -k </dev/null >/dev/null 2>&1
  exit 0
  ;;
*)
  echo "usage: $0 setup|cleanup <prefix> [program=version|disable:dll ...]" >&2
  exit 2
  ;;
esac
