#!/usr/bin/env bash
# Builds both systems' programs and writes the release packages into
# build/packages/:
#   QVLFEST-<version>-x64.msi            both Windows programs, per machine
#   QVLFEST-<version>-portable.zip       both Windows programs and a README
#   qvlfest_<version>_amd64.deb          both Linux programs
# The version is the higher of the two builds', from app/version.h.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/install-deps.sh
jobs=$(nproc)
field() { awk -v k="$1" '$1 == "#define" && $2 == k {print $3}' app/version.h; }
major=$(field QVL_VERSION_MAJOR) minor=$(field QVL_VERSION_MINOR)
revision=$(printf '%s\n' "$(field QVL_REVISION_PLAIN_FONT)" "$(field QVL_REVISION_LCARS_FONT)" | sort -n | tail -1)
version="$major.$minor.$revision"
out="$PWD/build/packages"
rm -rf "$out"
mkdir -p "$out"
stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT

# Windows: the MSI (wixl reads its sources from the folder it runs in) and
# the portable zip.
cmake --preset windows >/dev/null
cmake --build --preset windows -j "$jobs" --target qvlfest_lcars qvlfest_plain
win="$stage/windows"
mkdir -p "$win"
cp build/windows/QVLFEST.exe "build/windows/QVLFEST (Non-LCARS).exe" build/windows/icons/qvlfest.ico \
   packaging/windows/qvlfest.wxs "$win/"
sed "s/@VERSION@/$version/g" packaging/windows/README.txt >"$win/README.txt"
(cd "$win" && wixl -a x64 -D Version="$version" -D SourceDir=. -D IconFile=qvlfest.ico \
   -o "$out/QVLFEST-$version-x64.msi" qvlfest.wxs 2>&1 | grep -v unimplemented || true)
[ -s "$out/QVLFEST-$version-x64.msi" ]
(cd "$win" && zip -q -X "$out/QVLFEST-$version-portable.zip" QVLFEST.exe "QVLFEST (Non-LCARS).exe" README.txt)

# Debian: both programs, their menu entries, icons and AppStream metadata.
cmake --preset linux >/dev/null
cmake --build --preset linux -j "$jobs" --target qvlfest_linux_lcars qvlfest_linux_plain qvl_icon_compiler
root="$stage/src/debian/qvlfest"  # where dpkg-shlibdeps looks for a package's files
for program in qvlfest qvlfest-non-lcars; do
  install -D -m 755 "build/linux/$program" "$root/usr/bin/$program"
  strip --strip-unneeded --remove-section=.comment --remove-section=.note "$root/usr/bin/$program"
  install -D -m 644 "packaging/linux/$program.desktop" "$root/usr/share/applications/$program.desktop"
done
for size in 16 32 48 256; do
  mkdir -p "$root/usr/share/icons/hicolor/${size}x$size/apps"
  build/linux/qvl_icon_compiler --png "$size" resources/qvlfest_icon.txt \
    "$root/usr/share/icons/hicolor/${size}x$size/apps/qvlfest.png"
done
mkdir -p "$root/usr/share/man/man1"
gzip -9n <packaging/linux/qvlfest.1 >"$root/usr/share/man/man1/qvlfest.1.gz"
ln -s qvlfest.1.gz "$root/usr/share/man/man1/qvlfest-non-lcars.1.gz"
chmod 644 "$root/usr/share/man/man1/qvlfest.1.gz"
install -D -m 644 packaging/linux/qvlfest.metainfo.xml "$root/usr/share/metainfo/org.qvlfest.QVLFEST.metainfo.xml"
doc="$root/usr/share/doc/qvlfest"
install -D -m 644 packaging/linux/copyright "$doc/copyright"
sed -e "s/@VERSION@/$version/" -e "s/@DATE@/$(date -R -d "@${SOURCE_DATE_EPOCH:-$(git log -1 --format=%ct)}")/" \
  packaging/linux/changelog | gzip -9n >"$doc/changelog.gz"
chmod 644 "$doc/changelog.gz"
# Dependencies from the libraries the programs link, plus the fonts they draw.
mkdir -p "$root/DEBIAN"
printf 'Source: qvlfest\n\nPackage: qvlfest\nArchitecture: any\n' >"$stage/src/debian/control"
depends=$(cd "$stage/src" && dpkg-shlibdeps -O debian/qvlfest/usr/bin/qvlfest debian/qvlfest/usr/bin/qvlfest-non-lcars |
          sed -n 's/^shlibs:Depends=//p')
cat >"$root/DEBIAN/control" <<CONTROL
Package: qvlfest
Version: $version
Architecture: amd64
Maintainer: The QVLFEST developers <qvlfest@users.noreply.invalid>
Installed-Size: $(du -sk --exclude=DEBIAN "$root" | cut -f1)
Depends: $depends, fonts-liberation
Recommends: qt6-wayland
Section: x11
Priority: optional
Description: countdown to the QVL Fest on 22 June
 A small borderless window with its own title strip shows the days, hours,
 minutes and seconds left until the Quorvell Fest, recomputed ten times a
 second from the local clock. On the day, a second window announces that the
 festival is today.
 .
 Two programs: qvlfest sets the countdown in a condensed display face,
 qvlfest-non-lcars in a plain one.
CONTROL
(cd "$root" && find usr -type f -exec md5sum {} + | sort -k 2 >DEBIAN/md5sums)
dpkg-deb --root-owner-group -Zxz --build "$root" "$out/qvlfest_${version}_amd64.deb" >/dev/null

ls -l "$out"
