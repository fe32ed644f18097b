# Sourced by the scripts that run the Windows program: one private Wine
# prefix in the build folder (its DPI set per session), a virtual display
# when there is none, and one warm wineserver for the whole session.
#   wine_up <build-dir> [dpi]   wine_down (safe to call twice)

source "$(dirname "${BASH_SOURCE[0]}")/display.sh"

wine_up() {
  local build=$1 dpi=${2:-96}
  export WINEPREFIX="$build/wineprefix"
  export WINEDEBUG=-all
  export WINEDLLOVERRIDES="mscoree,mshtml="
  export WINEARCH=win64
  QVL_XVFB_PID=
  if [ -z "${DISPLAY:-}" ] || [ "${QVL_FORCE_XVFB:-0}" = 1 ]; then
    virtual_display || return 1
  fi
  if [ ! -f "$WINEPREFIX/.qvl-ready" ]; then
    wineboot -i >/dev/null 2>&1
    wineserver -w
    # No window manager here: without this, hiding a window waits 2 s.
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1
    wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1
    wineserver -k
    wineserver -w
    touch "$WINEPREFIX/.qvl-ready"
  fi
  # The DPI is read when the server starts.
  if [ "$(cat "$WINEPREFIX/.qvl-dpi" 2>/dev/null)" != "$dpi" ]; then
    wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null 2>&1
    wineserver -k
    wineserver -w
    echo "$dpi" >"$WINEPREFIX/.qvl-dpi"
  fi
  wineserver -p
  # Wine's helper services start with the first program; start them now, with
  # no pipe of ours open, so that no caller waits on them for end of output.
  wine cmd.exe /c exit 0 </dev/null >/dev/null 2>&1
}

wine_down() {
  if [ -n "${WINEPREFIX:-}" ]; then
    wineserver -k 2>/dev/null || true
    wineserver -w 2>/dev/null || true
  fi
  end_virtual_display
  return 0
}
