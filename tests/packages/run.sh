#!/usr/bin/env bash
# The release packages installed, started and removed, as users would:
# the MSI and the portable zip under Wine, the .deb on this machine (root).
# Whatever happens, it ends its Wine session and display, removes the .deb
# if it installed it, and its scratch folder.
#   tests/packages/run.sh <packages-dir> <windows-build-dir> <linux-build-dir>
set -uo pipefail
packages=$(cd "$1" && pwd) winbuild=$(cd "$2" && pwd) linbuild=$(cd "$3" && pwd)
here=$(cd "$(dirname "$0")" && pwd)
cd "$here/../.."
failures=0 passes=0
check() {  # check <what> <command...>
  local what=$1; shift
  if "$@"; then passes=$((passes + 1)); echo "  ok: $what"
  else failures=$((failures + 1)); echo "  FAILED: $what"; fi
}
msi=$(ls "$packages"/QVLFEST-*-x64.msi) zip=$(ls "$packages"/QVLFEST-*-portable.zip)
deb=$(ls "$packages"/qvlfest_*_amd64.deb)
version=$(basename "$deb" | cut -d_ -f2)
scratch=$(mktemp -d)
installed_deb=0
source tools/wine-session.sh
cleanup() {
  wine_down
  if [ "$installed_deb" = 1 ] && dpkg -s qvlfest >/dev/null 2>&1; then dpkg -r qvlfest >/dev/null 2>&1; fi
  rm -rf "$scratch"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

echo "Windows installer: $(basename "$msi")"
mkdir -p "$scratch/wine"
QVL_FORCE_XVFB=1 wine_up "$scratch/wine" 96
drive_c="$WINEPREFIX/drive_c"
folder="$drive_c/Program Files/QVLFEST"
probe() { wine "$winbuild/tests/win32/qvl_probe.exe" "$@" >/dev/null; }
entries() {  # the uninstall entries named QVLFEST, one line each: the version
  wine reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall' /s 2>/dev/null | tr -d '\r' |
    awk '/^HKEY/ {name = ""; v = ""} $1 == "DisplayName" {name = $3} $1 == "DisplayVersion" {v = $3}
         $1 == "Publisher" && name == "QVLFEST" {print v " " $3 " " $4 " " $5}'
}
shortcuts() { find "$drive_c" -path "*Start Menu/Programs/*" -name "QVLFEST*.lnk" -printf '%f\n' | sort; }
runs() {  # runs <exe>: it starts, shows the sentence due now, and closes
  wine "$1" >/dev/null 2>&1 &
  local pid=$! ok=1 line
  line=$(wine "$winbuild/tests/win32/qvl_probe.exe" shown "time until qvlfest" | tr -d '\r')
  python3 tests/oracle.py "${line%%$'\t'*}" "${line#*$'\t'}" >/dev/null || ok=0
  probe close "time until qvlfest" || kill "$pid"
  timeout 10 tail --pid="$pid" -f /dev/null || ok=0
  [ "$ok" = 1 ]
}
check "msiexec /i installs quietly" wine msiexec /i "$(winepath -w "$msi")" /qn
check "both programs are in Program Files\\QVLFEST" \
  test -f "$folder/QVLFEST.exe" -a -f "$folder/QVLFEST (Non-LCARS).exe"
check "two Start-menu shortcuts" test "$(shortcuts | tr '\n' '|')" = "QVLFEST (Non-LCARS).lnk|QVLFEST.lnk|"
leads_to() {  # leads_to <shortcut> <program>: the shortcut's target is the installed program
  local lnk
  lnk=$(find "$drive_c" -path "*Start Menu/Programs/*" -name "$1" | head -1)
  [ -n "$lnk" ] || return 1
  local text
  text=$(strings "$lnk"; strings -el "$lnk")
  grep -qF 'C:\Program Files\QVLFEST\'"$2" <<<"$text"
}
check "the shortcuts lead to the installed programs" leads_to QVLFEST.lnk QVLFEST.exe
check "the shortcuts lead to the installed programs (plain font)" \
  leads_to "QVLFEST (Non-LCARS).lnk" "QVLFEST (Non-LCARS).exe"
check "an uninstall entry with publisher and version" test "$(entries)" = "$version The QVLFEST developers"
check "the installed QVLFEST.exe shows the sentence due now" runs "$folder/QVLFEST.exe"
check "installing it again" wine msiexec /i "$(winepath -w "$msi")" /qn
check "leaves one installed copy" test "$(entries | wc -l)" = 1
newer="$scratch/newer"
mkdir -p "$newer"
cp "$winbuild/QVLFEST.exe" "$winbuild/QVLFEST (Non-LCARS).exe" "$winbuild/icons/qvlfest.ico" packaging/windows/qvlfest.wxs "$newer/"
(cd "$newer" && wixl -a x64 -D Version=9.9.9 -D ProductCode=0B7E5C61-9D8A-4E3F-8C21-6A4D2F9B1E07 \
   -D SourceDir=. -D IconFile=qvlfest.ico -o newer.msi qvlfest.wxs 2>/dev/null)
check "a newer package installs over it" wine msiexec /i "$(winepath -w "$newer/newer.msi")" /qn
check "and replaces it" test "$(entries)" = "9.9.9 The QVLFEST developers"
check "msiexec /x removes it" wine msiexec /x "$(winepath -w "$newer/newer.msi")" /qn
check "files, folder, shortcuts and entry are gone" \
  test ! -e "$folder" -a -z "$(shortcuts)" -a -z "$(entries)"

echo "Portable zip: $(basename "$zip")"
check "it holds the two programs and the text file, nothing else" test \
  "$(unzip -Z1 "$zip" | sort | tr '\n' '|')" = "QVLFEST (Non-LCARS).exe|QVLFEST.exe|README.txt|"
unzip -q "$zip" -d "$scratch/portable"
for exe in QVLFEST.exe "QVLFEST (Non-LCARS).exe"; do
  check "$exe from the zip shows the sentence due now" runs "$scratch/portable/$exe"
done
wine_down

echo "Debian package: $(basename "$deb")"
check "lintian finds no errors" bash -c "lintian --fail-on error '$deb' 2>/dev/null"
installed_deb=1
check "dpkg -i installs it" bash -c "dpkg -i '$deb' >/dev/null 2>&1 || apt-get install -f -y -qq >/dev/null"
check "its dependencies are satisfied" test "$(dpkg-query -W -f='${db:Status-Abbrev}' qvlfest)" = "ii "
files=$(dpkg -L qvlfest | while read -r f; do [ -f "$f" ] && echo "$f"; done)
check "the menu entries are valid" desktop-file-validate /usr/share/applications/qvlfest.desktop \
  /usr/share/applications/qvlfest-non-lcars.desktop
check "the AppStream metadata is valid" bash -c \
  "appstreamcli validate --no-net /usr/share/metainfo/org.qvlfest.QVLFEST.metainfo.xml >/dev/null"
check "icons at 16, 32, 48 and 256 pixels" test "$(ls /usr/share/icons/hicolor/{16x16,32x32,48x48,256x256}/apps/qvlfest.png | wc -l)" = 4
check "qvlfest is on PATH" test "$(command -v qvlfest)" = /usr/bin/qvlfest
check "qvlfest from PATH shows the sentence due now" bash tests/linux/run.sh /usr/bin installed
check "dpkg -r removes it" bash -c "dpkg -r qvlfest >/dev/null"
check "and leaves none of its files" test -z "$(for f in $files; do [ -e "$f" ] && echo "$f"; done)"

echo "packages: $passes passed, $failures failed"
[ "$failures" -eq 0 ]
