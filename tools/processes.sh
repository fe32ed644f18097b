# Sourced by the scripts that start processes: they end what they started by
# the ids they hold, never by name, so that nothing of a user's or another
# run's is touched.
#   stop_processes <pid>...  TERM, then KILL what is left after a grace period
#                            (QVL_STOP_GRACE seconds, 5 by default); reaps
#                            those that are this shell's children
#   process_tree <pid>       the process and its descendants, deepest first

running() {  # running <pid>: alive and not a zombie waiting to be reaped
  local state
  state=$(sed 's/.*) //' "/proc/$1/stat" 2>/dev/null) || return 1
  [ -n "$state" ] && [ "${state%% *}" != Z ]
}

stop_processes() {  # callers may run under set -e: a process already gone is no failure
  local pid left=() tries=$((${QVL_STOP_GRACE:-5} * 10))
  [ $# -gt 0 ] || return 0
  kill -TERM "$@" 2>/dev/null || true
  while :; do
    left=()
    for pid in "$@"; do
      if running "$pid"; then left+=("$pid"); fi
    done
    if [ ${#left[@]} -eq 0 ] || [ "$tries" -le 0 ]; then break; fi
    tries=$((tries - 1))
    sleep 0.1
  done
  if [ ${#left[@]} -gt 0 ]; then kill -KILL "${left[@]}" 2>/dev/null || true; fi
  for pid in "$@"; do wait "$pid" 2>/dev/null || true; done
  return 0
}

process_tree() {
  local child
  for child in $(pgrep -P "$1" 2>/dev/null || true); do process_tree "$child"; done
  echo "$1"
}
