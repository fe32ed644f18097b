#!/usr/bin/env bash
# Installs what the build and the tests need on Debian 12, where missing.
set -euo pipefail
packages=(cmake g++ make libgtest-dev googletest libbenchmark-dev
          g++-mingw-w64-x86-64-posix mingw-w64-tools wine wine64 xvfb xdotool
          imagemagick fonts-liberation libfaketime procps tzdata
          qt6-base-dev qt6-qpa-plugins qt6-wayland libgl-dev libx11-dev weston openbox x11-utils
          at-spi2-core python3-pyatspi dbus-daemon
          wixl msitools zip unzip lintian desktop-file-utils appstream dpkg-dev
          emscripten node-acorn chromium firefox-esr python3-fonttools python3-brotli media-types)
# Node.js and npm come with the machine; Debian's are the fallback.
command -v npm >/dev/null 2>&1 || packages+=(nodejs npm)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
if [ "$(id -u)" -ne 0 ]; then
  echo "missing packages: ${missing[*]} (run as root to install them)" >&2
  exit 1
fi
echo "installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
