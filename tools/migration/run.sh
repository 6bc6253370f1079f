#!/bin/sh
# A migration from one machine to another, with a Wine prefix for each
# machine and QELMigrate.exe as the host:
#   1. <work>/target is booted fresh and given what both machines share: the
#      sample printer INF (tools/demo/ntprint.inf) as the system printer INF
#      and its driver files in the folder the product's settings name.
#      <work>/source starts as a copy of it, then gets printers (through
#      InstallPrinter), phonebook entries and another user's key with the
#      desktop icons that user picked from the shell's icon library.
#   2. The host collects on the source and carries its keys to <work>/carry;
#      on the target it brings them back and replays them.
#   3. Wine's reg exports both machines' spooler, phonebook and user keys;
#      the script compares them and prints what moved. The exit status is 0
#      only when everything on the target equals the source's (the icon
#      indexes translated, everything else byte for byte).
# Each machine runs its own wineserver, stopped at the end. The spooler and
# the phonebook are our stand-ins (tests/doubles/winspool, rasapi32).
#   run.sh <folder of the built programs> <work folder>
# WINE names the Wine loader and WINEARCH its prefixes' architecture (win32:
# run this through cmake/with-i386.sh).
set -eu
bin=$(cd "$1" && pwd)
mkdir -p "$2"
work=$(cd "$2" && pwd)
here=$(cd "$(dirname "$0")" && pwd)
wine=${WINE:?WINE must name the Wine loader}
wineserver=/usr/lib/wine/wineserver
export WINEARCH="${WINEARCH:-win64}" WINEDEBUG=-all LC_ALL=C.UTF-8 TZ=UTC
sid=S-1-5-21-0-0-0-1001
user="HKEY_USERS\\$sid"
host_dlls="winedbg.exe=d;winspool.drv=n;rasapi32=n"

on() {  # on <machine> <command...>: in that machine's prefix
  machine=$1
  shift
  WINEPREFIX="$work/$machine" "$@"
}
quiet() { "$@" </dev/null >/dev/null 2>&1; }
windows_path() { printf 'Z:%s' "$1" | tr / '\\'; }
stop_servers() {
  for machine in source target; do quiet on $machine "$wineserver" -k || true; done
}
host() {  # host <machine> <program> <argument...>: one of our programs there, with the stand-ins
  machine=$1 program=$2
  shift 2
  (cd "$bin" && WINEPREFIX="$work/$machine" WINEDLLOVERRIDES="$host_dlls" "$wine" "./$program" "$@" </dev/null |
    tr -d '\r')
}

stop_servers
rm -rf "$work"
mkdir -p "$work/carry"
trap stop_servers EXIT
trap 'exit 1' INT TERM
start=$(date +%s)

echo "== the target machine: a fresh $WINEARCH Wine prefix, the sample printer INF and its driver files"
drive="$work/target/drive_c"
quiet on target env WINEDLLOVERRIDES="mscoree,mshtml=" "$wine" wineboot -i
cp "$here/../demo/ntprint.inf" "$drive/windows/inf/ntprint.inf"
mkdir -p "$drive/QEL Driver Files"
driver_files=$(sed -n '/^\[SourceDisksFiles\]/,/^\[/s/^\([A-Za-z0-9_.]*\) *=.*/\1/p' "$here/../demo/ntprint.inf")
for file in $driver_files; do
  printf 'dummy %s\r\n' "$file" >"$drive/QEL Driver Files/$file"
done
# Printer drivers serve Windows 95 to 2000; Wine reports Windows 7 unless told.
cat >"$work/machine.reg" <<'EOF'
REGEDIT4

[HKEY_CURRENT_USER\Software\Wine\AppDefaults\QELHost.exe]
"Version"="win2k"

[HKEY_CURRENT_USER\Software\Wine\AppDefaults\QELMigrate.exe]
"Version"="win2k"

[HKEY_LOCAL_MACHINE\SOFTWARE\Corvane Systems\Hollowmarch\4.0]

[HKEY_CURRENT_USER\SOFTWARE\Corvane Systems\Hollowmarch\4.0\Settings]
"Cab File Path"="C:\\QEL Driver Files"
EOF
quiet on target "$wine" reg import "$(windows_path "$work/machine.reg")"
# The stand-ins where Windows keeps the spooler and Remote Access, the only
# place the DLLs load system libraries from; both machines get them.
cp "$bin"/standins/* "$drive/windows/system32/"
# Until its server has saved the registry, a prefix cannot be copied.
on target "$wineserver" -w
cp -a "$work/target" "$work/source"
for machine in source target; do quiet on $machine "$wineserver" -p; done
echo "   ready in $(($(date +%s) - start)) s; the source machine starts as a copy of it"

# entry <area code> <number> <device>: a phonebook entry as the source
# machine, Windows 95, keeps it (1768 bytes), as .reg hex bytes.
entry() {
  bytes="$work/entry.bin"
  head -c 1768 /dev/zero >"$bytes"
  put() { printf "$2" | dd of="$bytes" bs=1 seek="$1" conv=notrunc 2>/dev/null; }
  put 0 '\350\006'      # its size, 1768
  put 4 '\031'          # country and area codes, IP header compression, remote default gateway
  put 8 '\061'          # country 49
  put 12 '\061'
  put 16 "$1"
  put 27 "$2"
  put 184 '\004'        # IP
  put 188 '\001'        # PPP
  put 972 'modem'
  put 989 "$3"
  od -An -v -tx1 "$bytes" | tr -s ' \n' ',,' | sed 's/^,//; s/,$//'
}
icons="HKEY_USERS\\$sid\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\CLSID"
cat >"$work/source.reg" <<EOF
REGEDIT4

[HKEY_CURRENT_USER\\Software\\Wine\\AppDefaults\\QELMigrate.exe]
"Version"="win95"

[HKEY_USERS\\$sid\\Control Panel\\Desktop]
"Wallpaper"="C:\\\\WINDOWS\\\\Clouds.bmp"
"TileWallpaper"="0"

[$icons\\{20D04FE0-3AEA-1069-A2D8-08002B30309D}\\DefaultIcon]
@="shell32.dll,15"

[$icons\\{208D2C60-3AEA-1069-A2D7-08002B30309D}\\DefaultIcon]
@="shell32.dll,45"

[$icons\\{645FF040-5081-101B-9F08-00AA002F954E}\\DefaultIcon]
@="SHELL32.DLL,65"
"empty"="SHELL32.DLL,65"
"full"="C:\\\\WINDOWS\\\\SYSTEM\\\\shell32.dll,42"

[$icons\\{450D8FBA-AD25-11D0-98A8-0800361B1103}\\DefaultIcon]
@="C:\\\\My Icons\\\\documents.ico,0"

[HKEY_LOCAL_MACHINE\\Software\\QELTests\\rasapi32\\QELMigrate\\Phonebook]
"Office Dial-up"=hex:$(entry 30 '555 0100' 'Kalora 56K Voice')
"Home ISP"=hex:$(entry 40 '0190 880 77' 'Kalora 56K Voice')
"Branch Office VPN"=hex:$(entry '' 'vpn.branch.example' 'WAN Miniport (PPTP)')
EOF

echo "== the source machine: printers, phonebook entries and another user's key ($user)"
quiet on source "$wine" reg import "$(windows_path "$work/source.reg")"
for request in "Front Office Laser|Kalora Page-4|LPT1:|Moved from the old machine|FRONTLASER" \
  "Back Office Inkjet|Kalora InkLine 200|LPT2:|NULL|NULL" \
  "Reception Laser|Kalora LaserPage 4|FILE:|Reception desk|RECEPTION"; do
  outcome=$(host source QELHost.exe QELPrinter InstallPrinter "$request" | sed -n 's/.*Successful Install = \("[a-z]*"\).*/\1/p')
  echo "   InstallPrinter(\"$request\"): ${outcome:-no outcome}"
done

echo "== on the source machine: QELMigrate.exe collect"
status=0
host source QELMigrate.exe collect "$(windows_path "$work/carry")" "$user" || status=1
echo "== on the target machine: QELMigrate.exe replay"
host target QELMigrate.exe replay "$(windows_path "$work/carry")" || status=1

# Each machine's state as Wine's reg sees it, as UTF-8 text.
state() {
  folder="$work/$1-state"
  mkdir -p "$folder"
  for pair in "print|HKLM\\SYSTEM\\CurrentControlSet\\Control\\Print" \
    "phonebook|HKLM\\Software\\QELTests\\rasapi32\\QELMigrate\\Phonebook" \
    "product|HKCU\\Software\\Corvane Systems\\Hollowmarch" "user|$user"; do
    name=${pair%%|*}
    : >"$folder/$name.reg"
    if quiet on "$1" "$wine" reg export "${pair#*|}" "$(windows_path "$folder/$name.utf16")" /y; then
      iconv -f UTF-16 -t UTF-8 "$folder/$name.utf16" | tr -d '\r' >"$folder/$name.reg"
    fi
  done
  (cd "$work/$1/drive_c/windows/system32/spool/drivers" && find . -type f -exec md5sum {} + | sort -k 2) \
    >"$folder/driver-files"
}
state source &
state target
wait

# sections <text> <file>: the sections whose header holds the text.
sections() { want="$1" awk '/^\[/ { keep = index($0, ENVIRON["want"]) > 0 } keep && NF' "$2"; }
# The other user's values but the product's findings, icon indexes left out.
settings() {
  awk '/^\[/ { keep = index($0, "\\Software\\Corvane Systems") == 0 } keep && NF' "$1" |
    sed 's/\(shell32\.dll,\)-*[0-9]*"$/\1#"/I'
}
# Each icon of the shell's library: "<object>\<value> <index>".
shell_icons() {
  awk -F '"' '/^\[/ { n = split($0, part, "\\"); object = part[n - 1] "\\" part[n]; sub(/\]$/, "", object) }
    tolower($0) ~ /shell32\.dll,-?[0-9]+"$/ { name = $1 == "@=" ? "(default)" : $2; n = split($(NF - 1), at, ",")
      print object "\\" name " " at[n] }' "$1" | sort
}
differ=0
row() {  # row <what> <state file> <pattern counted> <filter...>
  what=$1 file=$2 counted=$3
  shift 3
  compared=$(echo "$what" | tr -c 'a-zA-Z0-9\n' '-').compared
  for machine in source target; do "$@" "$work/$machine-state/$file" >"$work/$machine-state/$compared"; done
  equal=yes
  cmp -s "$work/source-state/$compared" "$work/target-state/$compared" || equal=NO differ=1
  printf '%-32s %6s %6s  %s\n' "$what" "$(grep -ci -- "$counted" "$work/source-state/$compared" || true)" \
    "$(grep -ci -- "$counted" "$work/target-state/$compared" || true)" "$equal"
}
echo
echo "== what moved"
printf '%-32s %6s %6s  %s\n' "" source target "target equals source"
row printers print.reg '^\[' sections '\Control\Print\Printers\'
row "printer drivers" print.reg '\\Version-[0-9]*\\[^\\]*\]$' sections '\Drivers\Version-'
row "driver files" driver-files "/\\($(echo $driver_files | sed 's/ /\\|/g')\\)$" cat
row "phonebook entries" phonebook.reg '^"' cat
row "entries saved by GetRASEntry" product.reg '^"' sections '\QELScriptExtension\RASEntries]'
row "other user's values" user.reg '^["@]' settings
echo "icons translated below $user:"
shell_icons "$work/source-state/user.reg" >"$work/source-state/icons"
shell_icons "$work/target-state/user.reg" >"$work/target-state/icons"
join -a 1 -e missing -o 0,1.2,2.2 "$work/source-state/icons" "$work/target-state/icons" >"$work/icons"
awk '{ printf "  %-60s %5s -> %s\n", $1, $2, $3 }' "$work/icons"
! grep -q ' missing$' "$work/icons" || differ=1
echo "in $(($(date +%s) - start)) s"

if [ $differ -ne 0 ]; then
  for compared in "$work"/source-state/*.compared; do
    name=$(basename "$compared")
    diff -u "$compared" "$work/target-state/$name" | head -40 || true
  done
  echo "migration: the target differs from the source" >&2
  exit 1
fi
[ $status -eq 0 ] || echo "migration: the host reported items it could not move" >&2
exit $status
