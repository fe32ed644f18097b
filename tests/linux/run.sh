#!/usr/bin/env bash
# End to end with the Linux programs: on a real X server (Xvfb) through the
# accessibility bus, then under Wayland (a headless weston); or, with
# "installed", the program installed in that folder, on X only. Ends every
# process it started, by the ids it holds, and removes its scratch folder,
# whatever happens.
#   tests/linux/run.sh <linux-build-dir> [installed]
set -uo pipefail
build=$(cd "$1" && pwd)
mode=${2:-x11}
here=$(cd "$(dirname "$0")" && pwd)
scratch=$(mktemp -d)
weston='' session_pid=''
source "$here/../../tools/display.sh"
cleanup() {
  # A session still running (when a step failed or this run was stopped):
  # its buses, the accessibility bus and the programs under test.
  [ -n "$session_pid" ] && stop_processes $(process_tree "$session_pid")
  [ -n "$weston" ] && stop_processes "$weston"
  end_virtual_display
  rm -rf "$scratch"
}
trap cleanup EXIT
trap 'exit 130' INT TERM
export XDG_RUNTIME_DIR="$scratch/runtime"
mkdir -m 700 "$XDG_RUNTIME_DIR"
virtual_display || exit 1
status=0
# One private session bus per run, with the accessibility bus on it; the
# tests start once the accessibility bus has its name. The launcher ends
# with the tests, and its bus with it.
session() {
  dbus-run-session -- bash -c "
    /usr/libexec/at-spi-bus-launcher --launch-immediately >/dev/null 2>&1 &
    launcher=\$!
    for _ in \$(seq 100); do
      dbus-send --session --print-reply --dest=org.freedesktop.DBus /org/freedesktop/DBus \
        org.freedesktop.DBus.NameHasOwner string:org.a11y.Bus 2>/dev/null | grep -q true && break
      sleep 0.1
    done
    /usr/bin/python3 '$here/e2e.py' '$build' '$scratch' $1
    status=\$?
    kill \$launcher 2>/dev/null
    wait \$launcher
    exit \$status" &
  session_pid=$!
  wait "$session_pid"
  local status=$?
  session_pid=
  return $status
}
session "$mode" || status=1
end_virtual_display
[ "$mode" = installed ] && exit $status

unset DISPLAY
socket=wayland-qvl  # in the run's own runtime folder
weston --backend=headless-backend.so --socket="$socket" --width=1280 --height=1024 \
  >"$scratch/weston.log" 2>&1 &
weston=$!
for _ in $(seq 50); do [ -e "$XDG_RUNTIME_DIR/$socket" ] && break; sleep 0.1; done
[ -e "$XDG_RUNTIME_DIR/$socket" ] || { echo "weston did not start"; cat "$scratch/weston.log"; exit 1; }
WAYLAND_DISPLAY=$socket session wayland || status=1
exit $status
