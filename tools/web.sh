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
scratch=$(mktemp -d)
server=
cleanup() {
  if [ -n "$server" ]; then
    kill "$server" 2>/dev/null || true
    wait "$server" 2>/dev/null || true
  fi
  rm -rf "$scratch"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

python3 -u -m http.server "${PORT:-0}" --bind 127.0.0.1 --directory "$site" >"$scratch/server.log" 2>&1 &
server=$!
port=
for _ in $(seq 100); do
  port=$(sed -n 's/^Serving HTTP on .* port \([0-9]*\) .*/\1/p' "$scratch/server.log" 2>/dev/null)
  [ -n "$port" ] && break
  sleep 0.05
done
[ -n "$port" ] || { echo "the server did not start"; cat "$scratch/server.log"; exit 1; }
echo "QVLFEST:             http://127.0.0.1:$port/index.html"
echo "QVLFEST (Non-LCARS): http://127.0.0.1:$port/non-lcars.html"

if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
  echo "Serving $site until interrupted (Ctrl+C)."
  wait "$server"
  exit
fi
mkdir -p "$site/screenshots"
shot="$site/screenshots/web-run.png"
chromium --headless --no-sandbox --disable-gpu --disable-background-networking \
  --disable-component-update --disable-sync --no-first-run --user-data-dir="$scratch/profile" \
  --window-size=640,400 --hide-scrollbars --virtual-time-budget=3000 \
  --screenshot="$shot" "http://127.0.0.1:$port/index.html" >/dev/null 2>&1
echo "No display: the page ran in headless Chromium. Screenshot: $shot"
