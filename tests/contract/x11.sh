#!/usr/bin/env bash
# Runs a program on a virtual X server of its own with a window manager
# (openbox), as a user's desktop would have; ends both afterwards.
#   x11.sh <program> [arguments...]
set -uo pipefail
source "$(dirname "$0")/../../tools/display.sh"
wm=
scratch=$(mktemp -d)
cleanup() {
  if [ -n "$wm" ]; then
    kill "$wm" 2>/dev/null
    wait "$wm" 2>/dev/null
  fi
  end_virtual_display
  rm -rf "$scratch"
}
trap cleanup EXIT
trap 'exit 130' INT TERM
virtual_display || exit 1
export XDG_RUNTIME_DIR="$scratch"
chmod 700 "$scratch"
# Openbox runs its start-up command once it manages the screen.
openbox --sm-disable --startup "touch $scratch/ready" >/dev/null 2>&1 &
wm=$!
for _ in $(seq 200); do
  [ -e "$scratch/ready" ] && break
  sleep 0.05
done
[ -e "$scratch/ready" ] || { echo "openbox did not start"; exit 1; }
QT_QPA_PLATFORM=xcb "$@"
