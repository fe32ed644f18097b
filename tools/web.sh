#!/usr/bin/env bash
# Builds the web pages and serves them from this machine, on 127.0.0.1:
#   tools/web.sh          on PORT (by default one that is free)
# It prints the address of both pages and serves until interrupted. Without
# a display it opens the page in headless Chromium instead, saves a
# screenshot, says where, and stops the server.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/install-deps.sh
cmake --preset web >/dev/null
cmake --build --preset web -j "$(nproc)"
site="$PWD/build/web"
source tools/serve.sh
scratch=$(mktemp -d)
cleanup() {
  end_server
  rm -rf "$scratch"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

serve_folder "$site" "${PORT:-0}"
echo "QVLFEST:             ${QVL_SERVER_URL}index.html"
echo "QVLFEST (Non-LCARS): ${QVL_SERVER_URL}non-lcars.html"

if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
  echo "Serving $site until interrupted (Ctrl+C)."
  wait "$QVL_SERVER_PID"
  exit
fi
mkdir -p "$site/screenshots"
shot="$site/screenshots/web-run.png"
chromium --headless --no-sandbox --disable-gpu --disable-background-networking \
  --disable-component-update --disable-sync --no-first-run --user-data-dir="$scratch/profile" \
  --window-size=640,400 --hide-scrollbars --virtual-time-budget=3000 \
  --screenshot="$shot" "${QVL_SERVER_URL}index.html" >/dev/null 2>&1
echo "No display: the page ran in headless Chromium. Screenshot: $shot"
