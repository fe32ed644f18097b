#!/usr/bin/env bash
# Builds both programs and starts QVLFEST.exe under Wine on your display.
# Without a display it runs in a virtual one, saves a screenshot, says where,
# and ends it.   tools/run.sh ["QVLFEST (Non-LCARS)"]
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/install-deps.sh
cmake --preset windows >/dev/null
cmake --build --preset windows -j "$(nproc)" --target qvlfest_lcars qvlfest_plain
name=${1:-QVLFEST}
build="$PWD/build/windows"
source tools/wine-session.sh
if [ -n "${DISPLAY:-}" ]; then
  wine_up "$build"
  trap wine_down EXIT
  wine "$build/$name.exe"
else
  wine_up "$build"
  trap wine_down EXIT
  wine "$build/$name.exe" >/dev/null 2>&1 &
  sleep 3
  shot="$build/screenshots/run-$name.png"
  mkdir -p "$build/screenshots"
  import -window root -crop 640x360+0+0 +repage "$shot"
  echo "No display: $name.exe ran in a virtual one. Screenshot: $shot"
fi
