#!/usr/bin/env bash
# End to end with the Linux programs: on a real X server (Xvfb) through the
# accessibility bus, then under Wayland (a headless weston); or, with
# "installed", the program installed in that folder, on X only.
#   tests/linux/run.sh <linux-build-dir> [installed]
set -uo pipefail
build=$(cd "$1" && pwd)
mode=${2:-x11}
here=$(cd "$(dirname "$0")" && pwd)
scratch=$(mktemp -d)
export XDG_RUNTIME_DIR="$scratch/runtime"
mkdir -m 700 "$XDG_RUNTIME_DIR"
source "$here/../../tools/display.sh"
virtual_display
status=0
dbus-run-session -- bash -c "
  /usr/libexec/at-spi-bus-launcher --launch-immediately >/dev/null 2>&1 &
  sleep 1
  /usr/bin/python3 '$here/e2e.py' '$build' '$scratch' $mode" || status=1
end_virtual_display
if [ "$mode" = installed ]; then
  rm -rf "$scratch"
  exit $status
fi

weston --backend=headless-backend.so --socket=wayland-qvl --width=1280 --height=1024 \
  >"$scratch/weston.log" 2>&1 &
weston=$!
for _ in $(seq 50); do [ -e "$XDG_RUNTIME_DIR/wayland-qvl" ] && break; sleep 0.1; done
env -u DISPLAY WAYLAND_DISPLAY=wayland-qvl dbus-run-session -- bash -c "
  /usr/libexec/at-spi-bus-launcher --launch-immediately >/dev/null 2>&1 &
  sleep 1
  /usr/bin/python3 '$here/e2e.py' '$build' '$scratch' wayland" || status=1
kill "$weston"
wait "$weston" 2>/dev/null
rm -rf "$scratch"
exit $status
