#!/usr/bin/env bash
# Takes every screenshot the README shows, from the current build, into
# docs/: each program's countdown window, its menu, its about box and its
# arrival window, on Windows (under Wine) and on Linux, at one fixed moment
# (21 April, 10:20:30, and 22 June for the arrival window), each in a
# virtual display of its own; and the web page at device scale 2, as its
# tests in headless Chromium take it.
# Run it whenever a form's look changes, and commit the pictures.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/install-deps.sh
docs="$PWD/docs"
faketime=/usr/lib/x86_64-linux-gnu/faketime/libfaketime.so.1
april="@2027-04-21 10:20:30" june="@2027-06-22 09:05:07"
scratch=$(mktemp -d)
started=()
source tools/wine-session.sh
cleanup() {
  stop_processes "${started[@]}"
  wine_down
  rm -rf "$scratch"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

cmake --preset linux >/dev/null
cmake --build --preset linux -j "$(nproc)" --target qvlfest_linux_lcars qvlfest_linux_plain >/dev/null
cmake --preset windows >/dev/null
cmake --build --preset windows -j "$(nproc)" --target qvlfest_lcars qvlfest_plain >/dev/null

window() {  # window <title>: the X window of that title, once it is mapped
  local wid
  for _ in $(seq 100); do
    wid=$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -1) && [ -n "$wid" ] &&
      { echo "$wid"; return 0; }
    sleep 0.1
  done
  echo "no window \"$1\"" >&2
  return 1
}
shot() {  # shot <title> <file>: the window alone, a moment after it settles
  local wid
  wid=$(window "$1")
  sleep 1
  import -window "$wid" "$docs/$2"
  echo "docs/$2"
}
at() {  # at <window> <x> <y>: a click at a point of that window's client area
  xdotool mousemove --window "$1" "$2" "$3" click 1
  sleep 0.5
}
# The countdown window, its menu, its about box, then ended with X.
countdown() {  # countdown <prefix> <suffix> <command...>
  local prefix=$1 suffix=$2 main
  shift 2
  LD_PRELOAD=$faketime FAKETIME="$april" FAKETIME_DONT_FAKE_MONOTONIC=1 NO_FAKE_STAT=1 \
    "$@" >/dev/null 2>&1 &
  started+=($!)
  main=$(window "time until qvlfest")
  sleep 1.5
  shot "time until qvlfest" "${prefix}countdown-$suffix.png"
  at "$main" 218 10  # Menu
  shot "time until qvlfest" "${prefix}menu-$suffix.png"
  at "$main" 160 93  # About this program
  shot "About QVLFEST" "${prefix}about-$suffix.png"
  at "$main" 248 10  # X
}
arrival() {  # arrival <file> <command...>
  local file=$1
  shift
  LD_PRELOAD=$faketime FAKETIME="$june" FAKETIME_DONT_FAKE_MONOTONIC=1 NO_FAKE_STAT=1 \
    "$@" >/dev/null 2>&1 &
  started+=($!)
  shot "YEAH!" "$file"
  kill "${started[-1]}" 2>/dev/null || true
}

echo "Linux:"
virtual_display
export XDG_RUNTIME_DIR="$scratch/runtime"
mkdir -m 700 "$XDG_RUNTIME_DIR"
countdown linux- lcars build/linux/qvlfest
countdown linux- plain build/linux/qvlfest-non-lcars
arrival linux-arrival.png build/linux/qvlfest
end_virtual_display

echo "Windows:"
QVL_FORCE_XVFB=1 wine_up "$PWD/build/windows" 96
countdown "" lcars wine build/windows/QVLFEST.exe
countdown "" plain wine "build/windows/QVLFEST (Non-LCARS).exe"
arrival arrival.png wine build/windows/QVLFEST.exe
wine_down

echo "Web:"
cmake --preset web >/dev/null
cmake --build --preset web -j "$(nproc)" >/dev/null
bash tests/web/run.sh build/web >"$scratch/web.log" 2>&1 || { cat "$scratch/web.log"; exit 1; }
for shot in web-countdown.png web-about.png; do
  cp "build/web/screenshots/$shot" "$docs/$shot"
  echo "docs/$shot"
done
