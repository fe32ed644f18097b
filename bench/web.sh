#!/usr/bin/env bash
# The web pages' cost beside the least page that does the same visible job
# (bench/web/baseline.html), in headless Chromium: start-up, CPU time over a
# while, memory and bytes transferred, medians of RUNS interleaved runs.
# Writes the section for bench/results.md to build/web-bench.md and prints it.
#   bash bench/web.sh      RUNS=5 CPU_SECONDS=60 by default
set -euo pipefail
cd "$(dirname "$0")/.."
runs=${RUNS:-5}
cpu_seconds=${CPU_SECONDS:-60}
bash tools/install-deps.sh
cmake --preset web >/dev/null
cmake --build --preset web -j "$(nproc)"
if ! cmp -s package-lock.json node_modules/.qvl-package-lock.json; then
  npm ci --no-audit --no-fund --loglevel=error
  cp package-lock.json node_modules/.qvl-package-lock.json
fi

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

# The pages and the baseline side by side, so that the baseline loads the
# same face file.
mkdir "$scratch/site"
cp -r build/web/. "$scratch/site/"
rm -rf "$scratch/site/screenshots"
cp bench/web/baseline.html "$scratch/site/"
python3 -u -m http.server 0 --bind 127.0.0.1 --directory "$scratch/site" >"$scratch/server.log" 2>&1 &
server=$!
port=
for _ in $(seq 100); do
  port=$(sed -n 's/^Serving HTTP on .* port \([0-9]*\) .*/\1/p' "$scratch/server.log" 2>/dev/null)
  [ -n "$port" ] && break
  sleep 0.05
done
[ -n "$port" ] || { echo "the server did not start"; cat "$scratch/server.log"; exit 1; }

node bench/web/bench.mjs "http://127.0.0.1:$port/" "$scratch/site" "$runs" "$cpu_seconds" \
  >"$scratch/section.md"
cp "$scratch/section.md" build/web-bench.md
cat build/web-bench.md
