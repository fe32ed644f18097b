#!/usr/bin/env bash
# The Linux programs on GNOME Shell, KWin (Wayland and Xwayland) and sway,
# headless: builds the tests' pointer client from the system's protocol
# files, then runs desktops.py, which ends every process it starts. The
# scratch folder goes whatever happens.
#   tests/desktops/run.sh <linux-build-dir> [desktop...]
set -euo pipefail
build=$(cd "$1" && pwd)
shift
here=$(cd "$(dirname "$0")" && pwd)
scratch=$(mktemp -d)
checks=
cleanup() {
  if [ -n "$checks" ]; then kill "$checks" 2>/dev/null || true; wait "$checks" 2>/dev/null || true; fi
  rm -rf "$scratch"
}
trap cleanup EXIT
trap 'exit 130' INT TERM
chmod 755 "$scratch"  # sway runs as nobody and reads its configuration there
mkdir "$scratch/vptr"
for xml in "$here/wlr-virtual-pointer-unstable-v1.xml" \
           /usr/share/plasma-wayland-protocols/fake-input.xml; do
  name=$(basename "$xml" .xml)
  wayland-scanner client-header "$xml" "$scratch/vptr/$name-client-protocol.h"
  wayland-scanner private-code "$xml" "$scratch/vptr/$name-protocol.c"
done
cc -O2 -Wall -Wextra -Werror -I"$scratch/vptr" -o "$scratch/vptr/vptr" "$here/vptr.c" \
  "$scratch/vptr"/*-protocol.c -lwayland-client
/usr/bin/python3 "$here/desktops.py" "$build" "$scratch" "$scratch/vptr/vptr" "$@" &
checks=$!
wait "$checks"
