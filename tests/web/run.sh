#!/usr/bin/env bash
# End to end with the web pages: serves the built site from 127.0.0.1 and
# drives both pages in Debian's headless Chromium (tests/web/e2e.mjs). Ends
# the server and the browser, and removes its scratch folder, whatever
# happens.
# Then the toolkit contract on the contract's own page.
#   tests/web/run.sh <build/web> [<build/web-cmake/contract>]
set -uo pipefail
site=$(cd "$1" && pwd)
contract=$(cd "${2:-$1/../web-cmake/contract}" && pwd)
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
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

# Playwright as the lockfile pins it, installed again when the lockfile changed.
if ! cmp -s "$root/package-lock.json" "$root/node_modules/.qvl-package-lock.json"; then
  (cd "$root" && npm ci --no-audit --no-fund --loglevel=error) || exit 1
  cp "$root/package-lock.json" "$root/node_modules/.qvl-package-lock.json"
fi

python3 -u -m http.server 0 --bind 127.0.0.1 --directory "$site" >"$scratch/server.log" 2>&1 &
server=$!
port=
for _ in $(seq 100); do
  port=$(sed -n 's/^Serving HTTP on .* port \([0-9]*\) .*/\1/p' "$scratch/server.log" 2>/dev/null)
  [ -n "$port" ] && break
  sleep 0.05
done
[ -n "$port" ] || { echo "the server did not start"; cat "$scratch/server.log"; exit 1; }

status=0
node "$here/e2e.mjs" "http://127.0.0.1:$port/" "$site" || status=1
echo "the toolkit contract:"
node "$root/tests/contract/web.mjs" "$contract" || status=1
exit $status
