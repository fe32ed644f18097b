#!/usr/bin/env bash
# Builds both systems' programs and writes the release packages into
# build/packages/; with --no-build, packages the programs that build/windows
# and build/linux already hold, without configuring or building there (the
# test command packages while tests run from those folders):
#   QVLFEST-<version>-x64.msi            both Windows programs, per machine
#   QVLFEST-<version>-portable.zip       both Windows programs and a README
#   qvlfest_<version>_amd64.deb          both Linux programs, as installed by
#                                        `cmake --install`
# The version is the higher of the two builds', from app/version.h.
#
# The same commit gives the same bytes wherever and whenever it is packaged:
# every time stamp is SOURCE_DATE_EPOCH (else the last commit's time, else a
# fixed day); permissions, time zone and collation are not the caller's.
set -euo pipefail
cd "$(dirname "$0")/.."
build=1
case "${1:-}" in
  "") ;;
  --no-build) build=0 ;;
  *) echo "usage: tools/package.sh [--no-build]" >&2; exit 2 ;;
esac
umask 022
export TZ=UTC LC_ALL=C
SOURCE_DATE_EPOCH=${SOURCE_DATE_EPOCH:-$(git log -1 --format=%ct 2>/dev/null || echo 1334997900)}
export SOURCE_DATE_EPOCH
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
stamp() { find "$1" -exec touch -h -d "@$SOURCE_DATE_EPOCH" {} +; }

# Windows: the MSI (wixl reads its sources from the folder it runs in) and
# the portable zip.
if [ "$build" = 1 ]; then
  cmake --preset windows >/dev/null
  cmake --build --preset windows -j "$jobs" --target qvlfest_lcars qvlfest_plain
fi
win="$stage/windows"
mkdir -p "$win"
cp build/windows/QVLFEST.exe "build/windows/QVLFEST (Non-LCARS).exe" build/windows/icons/qvlfest.ico \
   packaging/windows/qvlfest.wxs "$win/"
sed "s/@VERSION@/$version/g" packaging/windows/README.txt >"$win/README.txt"
chmod 755 "$win"/*.exe
chmod 644 "$win/README.txt" "$win/qvlfest.ico" "$win/qvlfest.wxs"
stamp "$win"  # the cabinet and the zip keep file times
# wixl would make up a product code and a package code and date the package
# now. The product code follows the version (the upgrade code never
# changes), the package code the package's contents, and wixl's clock stands
# at the commit's time.
uuid5() { python3 -c 'import sys, uuid; print(str(uuid.uuid5(uuid.UUID(sys.argv[1]), sys.argv[2])).upper())' "$@"; }
upgrade_code=5C0A2E61-7D43-4B8E-9A52-3F1B6D0C8E47
product_code=$(uuid5 "$upgrade_code" "ProductCode x64 $version")
package_code=$(uuid5 "$upgrade_code" "PackageCode x64 $version $(cd "$win" && sha256sum -- * | sha256sum | cut -d' ' -f1)")
msi="$out/QVLFEST-$version-x64.msi"
(cd "$win" && LD_PRELOAD=/usr/lib/x86_64-linux-gnu/faketime/libfaketime.so.1 \
   FAKETIME="$(date -d "@$SOURCE_DATE_EPOCH" '+%Y-%m-%d %H:%M:%S')" \
   wixl -a x64 -D Version="$version" -D ProductCode="$product_code" -D SourceDir=. \
   -D IconFile=qvlfest.ico -o "$msi" qvlfest.wxs 2>&1 | grep -v unimplemented || true)
[ -s "$msi" ]
# Summary information: subject, author and template as wixl wrote them.
msibuild "$msi" -s "QVLFEST $version" "The QVLFEST developers" "x64;1033" "{$package_code}"
(cd "$win" && zip -q -X "$out/QVLFEST-$version-portable.zip" QVLFEST.exe "QVLFEST (Non-LCARS).exe" README.txt)

# Debian: the tree `cmake --install` lays out, stripped, with the package's
# control files.
if [ "$build" = 1 ]; then
  cmake --preset linux >/dev/null
  cmake --build --preset linux -j "$jobs" --target qvlfest_linux_lcars qvlfest_linux_plain qvl_docs
fi
root="$stage/src/debian/qvlfest"  # where dpkg-shlibdeps looks for a package's files
DESTDIR="$root" cmake --install build/linux --prefix /usr >/dev/null
for program in qvlfest qvlfest-non-lcars; do
  strip --strip-unneeded --remove-section=.comment --remove-section=.note "$root/usr/bin/$program"
done
# Dependencies from the libraries the programs link, plus the fonts they draw.
mkdir -p "$root/DEBIAN"
printf 'Source: qvlfest\n\nPackage: qvlfest\nArchitecture: any\n' >"$stage/src/debian/control"
depends=$(cd "$stage/src" && dpkg-shlibdeps -O debian/qvlfest/usr/bin/qvlfest debian/qvlfest/usr/bin/qvlfest-non-lcars |
          sed -n 's/^shlibs:Depends=//p')
# Installed-Size as dpkg-gencontrol counts it: kibibytes a file, one for anything else.
installed_size=$(cd "$root" && find usr -printf '%y %s\n' |
                 awk '{n += $1 == "f" ? int(($2 + 1023) / 1024) : 1} END {print n}')
cat >"$root/DEBIAN/control" <<CONTROL
Package: qvlfest
Version: $version
Architecture: amd64
Maintainer: The QVLFEST developers <qvlfest@users.noreply.invalid>
Installed-Size: $installed_size
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
stamp "$root"  # dpkg-deb only lowers times newer than SOURCE_DATE_EPOCH
dpkg-deb --root-owner-group -Zxz --build "$root" "$out/qvlfest_${version}_amd64.deb" >/dev/null

ls -l "$out"
