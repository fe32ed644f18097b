# Sourced by the scripts that run the Windows program: a private Wine prefix
# in the build folder, a virtual display when there is none, and one warm
# wineserver for the whole session.
#   wine_up <build-dir> [dpi]   wine_down

wine_up() {
  local build=$1 dpi=${2:-96}
  export WINEPREFIX="$build/wineprefix-$dpi"
  export WINEDEBUG=-all
  export WINEDLLOVERRIDES="mscoree,mshtml="
  export WINEARCH=win64
  QVL_XVFB_PID=
  if [ -z "${DISPLAY:-}" ] || [ "${QVL_FORCE_XVFB:-0}" = 1 ]; then
    local n
    for n in $(seq 91 140); do
      [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] || break
    done
    Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
    QVL_XVFB_PID=$!
    export DISPLAY=":$n"
    local i
    for i in $(seq 50); do [ -e "/tmp/.X11-unix/X$n" ] && break; sleep 0.1; done
  fi
  if [ ! -f "$WINEPREFIX/.qvl-ready" ]; then
    wineboot -i >/dev/null 2>&1
    wineserver -w
    # No window manager here: without this, hiding a window waits 2 s.
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1
    wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1
    wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null 2>&1
    wineserver -k
    wineserver -w
    touch "$WINEPREFIX/.qvl-ready"
  fi
  wineserver -p
  # Wine's helper services start with the first program; start them now, with
  # no pipe of ours open, so that no caller waits on them for end of output.
  wine cmd.exe /c exit 0 </dev/null >/dev/null 2>&1
}

# Safe to call twice (scripts call it when done and again on exit).
wine_down() {
  wineserver -k 2>/dev/null || true
  wineserver -w 2>/dev/null || true
  if [ -n "${QVL_XVFB_PID:-}" ]; then
    kill "$QVL_XVFB_PID" 2>/dev/null || true
    wait "$QVL_XVFB_PID" 2>/dev/null || true
    QVL_XVFB_PID=
  fi
  return 0
}
