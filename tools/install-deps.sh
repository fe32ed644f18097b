#!/usr/bin/env bash
# Installs what the build and the tests need on Debian 12, where missing.
set -euo pipefail
packages=(cmake g++ make libgtest-dev googletest libbenchmark-dev
          g++-mingw-w64-x86-64-posix mingw-w64-tools wine wine64 xvfb xdotool
          imagemagick fonts-liberation libfaketime procps tzdata
          qt6-base-dev qt6-qpa-plugins qt6-wayland libgl-dev libx11-dev libxtst-dev pkgconf libwayland-dev
          weston openbox x11-utils at-spi2-core python3-pyatspi dbus-daemon
          gnome-shell mutter kwin-wayland breeze sway grim plasma-wayland-protocols
          orca speech-dispatcher fonts-dejavu-core
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

# A fresh machine's automatic updates often hold apt's locks in its first
# minutes: wait for them, ten minutes at most, saying who holds them.
deadline=$((SECONDS + 600))
holder() {  # the process that holds one of apt's locks, if any
  lslocks -n -o COMMAND,PID,PATH 2>/dev/null |
    awk '$3 ~ "^/var/lib/(dpkg/lock|dpkg/lock-frontend|apt/lists/lock)$" {print $1 " (process " $2 ")"; exit}'
}
apt_get() {  # apt-get, after another apt's locks are let go, and again if it takes them back
  local who err status
  err=$(mktemp)
  while :; do
    who=$(holder)
    if [ -n "$who" ]; then
      echo "waiting for $who to let go of apt's lock"
      while [ -n "$(holder)" ] && [ $SECONDS -lt $deadline ]; do sleep 2; done
    fi
    status=0
    apt-get -o DPkg::Lock::Timeout=$((deadline > SECONDS ? deadline - SECONDS : 0)) "$@" 2>"$err" || status=$?
    if [ "$status" = 0 ] || ! grep -q "Could not get lock" "$err" || [ $SECONDS -ge $deadline ]; then break; fi
  done
  cat "$err" >&2
  rm -f "$err"
  return "$status"
}
apt_get update -qq
apt_get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
