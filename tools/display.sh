# Sourced by the scripts that need an X server: a virtual one (Xvfb) on the
# first free display number.
#   virtual_display      sets DISPLAY and QVL_XVFB_PID
#   end_virtual_display  stops it again (safe to call twice)

virtual_display() {
  local n
  for n in $(seq 91 199); do
    [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] || break
  done
  Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
  QVL_XVFB_PID=$!
  export DISPLAY=":$n"
  for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X$n" ] && break; sleep 0.1; done
}

end_virtual_display() {
  if [ -n "${QVL_XVFB_PID:-}" ]; then
    kill "$QVL_XVFB_PID" 2>/dev/null || true
    wait "$QVL_XVFB_PID" 2>/dev/null || true
    QVL_XVFB_PID=
  fi
}
