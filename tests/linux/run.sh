#!/usr/bin/env bash
# End to end with the Linux programs: on a real X server (Xvfb) through the
# accessibility bus, then under Wayland (a headless weston); or, with
# "installed", the program installed in that folder, on X only. Ends every
# process it started and removes its scratch folder, whatever happens.
#   tests/linux/run.sh <linux-build-dir> [installed]
set -uo pipefail
build=$(cd "$1" && pwd)
mode=${2:-x11}
here=$(cd "$(dirname "$0")" && pwd)
scratch=$(mktemp -d)
weston=
source "$here/../../tools/display.sh"
cleanup() {
  [ -n "$weston" ] && kill "$weston" 2>/dev/null && wait "$weston" 2>/dev/null
  # The session buses end with their commands; anything of ours left on the
  # private display or compositor goes with them.
  pkill -f "$build/qvlfest" 2>/dev/null
  end_virtual_display
  rm -rf "$scratch"
}
trap cleanup EXIT
trap 'exit 130' INT TERM
export XDG_RUNTIME_DIR="$scratch/runtime"
mkdir -m 700 "$XDG_RUNTIME_DIR"
virtual_display || exit 1
status=0
# One private session bus per run; the accessibility bus launcher ends with it.
session() {
  dbus-run-session -- bash -c "
    /usr/libexec/at-spi-bus-launcher --launch-immediately >/dev/null 2>&1 &
    launcher=\$!
    sleep 1
    /usr/bin/python3 '$here/e2e.py' '$build' '$scratch' $1
    status=\$?
    kill \$launcher 2>/dev/null
    exit \$status"
}
session "$mode" || status=1
end_virtual_display
[ "$mode" = installed ] && exit $status

weston --backend=headless-backend.so --socket=wayland-qvl --width=1280 --height=1024 \
  >"$scratch/weston.log" 2>&1 &
weston=$!
for _ in $(seq 50); do [ -e "$XDG_RUNTIME_DIR/wayland-qvl" ] && break; sleep 0.1; done
[ -e "$XDG_RUNTIME_DIR/wayland-qvl" ] || { echo "weston did not start"; cat "$scratch/weston.log"; exit 1; }
(unset DISPLAY; WAYLAND_DISPLAY=wayland-qvl session wayland) || status=1
exit $status
