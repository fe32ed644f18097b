#!/usr/bin/env bash
# End to end with the web pages: serves a copy of the built site from
# 127.0.0.1 and drives both pages in Debian's headless Chromium and in
# Firefox ESR side by side (tests/web/e2e.mjs), and beside them the toolkit
# contract on the contract's own page in Chromium (tests/contract/web.mjs),
# each into its own log, printed when all are done. Ends the server and the
# browsers, and removes its scratch folder, whatever happens.
#   tests/web/run.sh <build/web> [<build/web-cmake/contract>]
#                                     BROWSERS="chromium firefox" by default
set -uo pipefail
site=$(cd "$1" && pwd)
contract=$(cd "${2:-$1/../web-cmake/contract}" && pwd)
here=$(cd "$(dirname "$0")" && pwd)
source "$here/../../tools/serve.sh"
scratch=$(mktemp -d)
runs=()
cleanup() {
  local pid
  for pid in "${runs[@]}"; do
    kill "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
  done
  end_server
  rm -rf "$scratch"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

node_packages || exit 1
mkdir "$scratch/site"
cp -r "$site/." "$scratch/site/"
rm -rf "$scratch/site/screenshots"
serve_folder "$scratch/site" || exit 1

read -r -a browsers <<<"${BROWSERS:-chromium firefox}"
for browser in "${browsers[@]}"; do
  node "$here/e2e.mjs" "$browser" "$QVL_SERVER_URL" "$scratch/site" "$site" \
    >"$scratch/$browser.log" 2>&1 &
  runs+=($!)
done
node "$here/../contract/web.mjs" "$contract" >"$scratch/contract.log" 2>&1 &
runs+=($!)
browsers+=(contract)
status=0
for i in "${!browsers[@]}"; do
  wait "${runs[$i]}" || status=1
  cat "$scratch/${browsers[$i]}.log"
done
runs=()
exit $status
