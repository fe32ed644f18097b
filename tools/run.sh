#!/usr/bin/env bash
# Builds and starts the program on your display: the native Linux program by
# default, or the one you name:
#   tools/run.sh                        qvlfest (the LCARS-font build)
#   tools/run.sh qvlfest-non-lcars      the plain-font build
#   tools/run.sh QVLFEST.exe            a Windows program, under Wine
#   tools/run.sh "QVLFEST (Non-LCARS).exe"
#   tools/run.sh web                    the web page, served from 127.0.0.1
# Without a display it runs in a virtual one, saves a screenshot, says where,
# and ends it.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/install-deps.sh
name=${1:-qvlfest}
shots="$PWD/build/screenshots"
[ "$name" = web ] && exec bash tools/web.sh

source tools/display.sh
program_pid=

screenshot() {  # screenshot: after a moment, the screen's corner, then the program's end
  sleep 3
  mkdir -p "$shots"
  local shot="$shots/run-$name.png"
  import -window root -crop 640x400+0+0 +repage "$shot"
  stop_processes "$program_pid"
  echo "No display: $name ran in a virtual one. Screenshot: $shot"
}

case "$name" in
  qvlfest | qvlfest-non-lcars)
    cmake --preset linux >/dev/null
    cmake --build --preset linux -j "$(nproc)" --target qvlfest_linux_lcars qvlfest_linux_plain
    program="$PWD/build/linux/$name"
    if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
      exec "$program"
    fi
    virtual_display
    runtime=$(mktemp -d)
    trap 'stop_processes $program_pid; end_virtual_display; rm -rf "$runtime"' EXIT
    export XDG_RUNTIME_DIR=${XDG_RUNTIME_DIR:-$runtime}
    "$program" >/dev/null 2>&1 &
    program_pid=$!
    screenshot
    ;;
  *.exe)
    cmake --preset windows >/dev/null
    cmake --build --preset windows -j "$(nproc)" --target qvlfest_lcars qvlfest_plain
    build="$PWD/build/windows"
    source tools/wine-session.sh
    wine_up "$build"
    trap wine_down EXIT
    if [ -n "${DISPLAY:-}" ] && [ -z "${QVL_XVFB_PID:-}" ]; then
      wine "$build/$name"
    else
      wine "$build/$name" >/dev/null 2>&1 &
      program_pid=$!
      screenshot
    fi
    ;;
  *)
    echo "usage: tools/run.sh [qvlfest | qvlfest-non-lcars | QVLFEST.exe | \"QVLFEST (Non-LCARS).exe\" | web]" >&2
    exit 2
    ;;
esac
