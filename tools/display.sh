# Sourced by the scripts that need an X server: a virtual one (Xvfb) on a
# display number that Xvfb itself finds free, so that several can run side
# by side.
#   virtual_display      sets DISPLAY and QVL_XVFB_PID; fails if Xvfb does not start
#   end_virtual_display  stops it again (safe to call twice)

source "$(dirname "${BASH_SOURCE[0]}")/processes.sh"

virtual_display() {
  local fifo n=""
  fifo=$(mktemp -u)
  mkfifo "$fifo"
  # -noreset: a client that connects while the last one is leaving would
  # otherwise meet a server in the middle of its reset, and be refused.
  Xvfb -displayfd 7 -screen 0 1280x1024x24 -nolisten tcp -noreset 7>"$fifo" >/dev/null 2>&1 &
  QVL_XVFB_PID=$!
  read -r -t 10 n <"$fifo" || true
  rm -f "$fifo"
  if [ -z "$n" ] || ! kill -0 "$QVL_XVFB_PID" 2>/dev/null; then
    echo "Xvfb did not start" >&2
    end_virtual_display
    return 1
  fi
  export DISPLAY=":$n"
}

end_virtual_display() {
  if [ -n "${QVL_XVFB_PID:-}" ]; then
    stop_processes "$QVL_XVFB_PID"
    QVL_XVFB_PID=
  fi
}
