# Sourced by the scripts that run the Windows program: a Wine session of
# their own, with a virtual display when there is none and one warm
# wineserver throughout.
#   wine_up <build-dir> [dpi]   wine_down (safe to call twice)
#
# Each session runs in a prefix of its own, so that ending its wineserver
# ends exactly the programs this session started, never a user's or another
# run's Wine programs in the same build folder. The prefix is a copy of one
# prepared once per build folder: Wine's system libraries are hard links,
# everything a session may change (the registry, the DPI in it, the ini
# files) a copy.

source "$(dirname "${BASH_SOURCE[0]}")/display.sh"

wine_up() {
  local build=$1 dpi=${2:-96} template="$1/wineprefix"
  export WINEDEBUG=-all
  export WINEDLLOVERRIDES="mscoree,mshtml="
  export WINEARCH=win64
  QVL_XVFB_PID=
  if [ -z "${DISPLAY:-}" ] || [ "${QVL_FORCE_XVFB:-0}" = 1 ]; then
    virtual_display || return 1
  fi
  (
    flock 9
    if [ ! -f "$template/.qvl-ready" ]; then
      export WINEPREFIX="$template"
      wineboot -i >/dev/null 2>&1
      wineserver -w
      # No window manager here: without this, hiding a window waits 2 s.
      wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1
      wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1
      wineserver -k
      wineserver -w
      touch "$template/.qvl-ready"
    fi
  ) 9>"$build/wineprefix.lock"
  QVL_WINE_SESSION=$(mktemp -d "$build/wine-session.XXXXXX")
  export WINEPREFIX="$QVL_WINE_SESSION/prefix"
  cp -al "$template" "$WINEPREFIX"
  (cd "$template" && find . -type f ! -path './drive_c/windows/system32/*' ! -path './drive_c/windows/winsxs/*' \
     -exec cp -p --remove-destination --parents -t "$WINEPREFIX" {} +)
  # The DPI is read when the server starts.
  wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null 2>&1
  wineserver -k
  wineserver -w
  # Persistent while the session runs; should the session itself be killed,
  # the server still ends a minute after its last program.
  wineserver -p60
  # Wine's helper services start with the first program; start them now, with
  # no pipe of ours open, so that no caller waits on them for end of output.
  wine cmd.exe /c exit 0 </dev/null >/dev/null 2>&1
}

wine_down() {
  if [ -n "${QVL_WINE_SESSION:-}" ]; then
    # SIGINT to the server and every program of the session, then SIGKILL.
    WINEPREFIX="$QVL_WINE_SESSION/prefix" wineserver -k 2>/dev/null || true
    WINEPREFIX="$QVL_WINE_SESSION/prefix" wineserver -w 2>/dev/null || true
    rm -rf "$QVL_WINE_SESSION"
    QVL_WINE_SESSION=
  fi
  end_virtual_display
  return 0
}
