# Sourced by the scripts that serve the web pages: a static server on
# 127.0.0.1 (Python's, which sends Last-Modified and no Cache-Control, as a
# plain static host does), on a port the system finds free, so that several
# can run side by side; and the Node packages the tests and the benchmark
# drive browsers with.
#   serve_folder <dir> [port] [log]
#                              sets QVL_SERVER_URL (http://127.0.0.1:<port>/)
#                              and QVL_SERVER_PID; fails if it does not start;
#                              the server logs every request to <log>, if given
#   end_server                 stops it again (safe to call twice)
#   node_packages              installs the packages as the lockfile pins them,
#                              again whenever the lockfile has changed

serve_folder() {
  local log=${3:-} port=""
  [ -n "$log" ] || log=$(mktemp)
  python3 -u -m http.server "${2:-0}" --bind 127.0.0.1 --directory "$1" >"$log" 2>&1 &
  QVL_SERVER_PID=$!
  for _ in $(seq 100); do
    port=$(sed -n 's/^Serving HTTP on .* port \([0-9]*\) .*/\1/p' "$log")
    [ -n "$port" ] && break
    kill -0 "$QVL_SERVER_PID" 2>/dev/null || break
    sleep 0.05
  done
  if [ -z "$port" ]; then
    echo "the server did not start" >&2
    cat "$log" >&2
    [ -n "${3:-}" ] || rm -f "$log"
    end_server
    return 1
  fi
  [ -n "${3:-}" ] || rm -f "$log"
  QVL_SERVER_URL="http://127.0.0.1:$port/"
}

end_server() {
  if [ -n "${QVL_SERVER_PID:-}" ]; then
    kill "$QVL_SERVER_PID" 2>/dev/null || true
    wait "$QVL_SERVER_PID" 2>/dev/null || true
    QVL_SERVER_PID=
  fi
}

node_packages() {
  local root
  root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
  if ! cmp -s "$root/package-lock.json" "$root/node_modules/.qvl-package-lock.json"; then
    (cd "$root" && npm ci --no-audit --no-fund --loglevel=error) || return 1
    cp "$root/package-lock.json" "$root/node_modules/.qvl-package-lock.json"
  fi
}
