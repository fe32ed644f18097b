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
source tools/serve.sh
node_packages

scratch=$(mktemp -d)
cleanup() {
  end_server
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
serve_folder "$scratch/site" 0 "$scratch/server.log"

node bench/web/bench.mjs "$QVL_SERVER_URL" "$scratch/site" "$scratch/server.log" "$runs" \
  "$cpu_seconds" >"$scratch/section.md"
cp "$scratch/section.md" build/web-bench.md
cat build/web-bench.md
