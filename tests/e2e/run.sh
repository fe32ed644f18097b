#!/usr/bin/env bash
# End-to-end: each built program under Wine, looked at from outside and
# clicked with the X pointer. Needs a Wine session (tools/wine-session.sh);
# ends the program it started, whatever happens.
#   tests/e2e/run.sh <windows-build-dir>
set -uo pipefail
build=$(cd "$1" && pwd)
here=$(cd "$(dirname "$0")" && pwd)
source "$here/../../tools/processes.sh"
pid=
trap '[ -z "$pid" ] || stop_processes "$pid"' EXIT
trap 'exit 130' INT TERM
shots="$build/screenshots"
mkdir -p "$shots"
probe() { wine "$build/tests/win32/qvl_probe.exe" "$@"; }
failures=0 passes=0
check() {  # check <what> <command...>
  local what=$1; shift
  if "$@"; then passes=$((passes + 1)); echo "  ok: $what"
  else failures=$((failures + 1)); echo "  FAILED: $what"; fi
}
due() {  # due <shown|a11y-shown> <title>: the sentence shown is due now, by the tests' oracle
  local line
  line=$(probe "$1" "$2" | tr -d '\r') || return 1
  python3 "$here/../oracle.py" "${line%%$'\t'*}" "${line#*$'\t'}"
}
center() {  # center <title> <control>: "x y" of its middle on the screen
  local x y w h
  read -r x y w h < <(probe rect "$1" "$2" | tr -d '\r') || return 1
  echo "$((x + w / 2)) $((y + h / 2))"
}
click() {
  local at
  at=$(center "$1" "$2") || return 1
  # shellcheck disable=SC2086
  xdotool mousemove $at click 1
}
shot() {  # shot <title> <file>: the window alone, once it is painted
  local x y w h
  probe painted "$1" >/dev/null || return 1
  read -r x y w h < <(probe rect "$1" - | tr -d '\r') || return 1
  import -window root "$shots/screen.png" &&
    convert "$shots/screen.png" -crop "${w}x${h}+${x}+${y}" +repage "$shots/$2" &&
    rm -f "$shots/screen.png"
}

# drag <title> <button>: a press of that button on the title strip moves the
# window with the pointer; its release ends the move, so that a later move of
# the pointer leaves the window where it is and the next click reaches Menu.
drag() {
  local x y w h x2 y2 rest
  read -r x y w h < <(probe rect "$1" - | tr -d '\r') || return 1
  xdotool mousemove $((x + 40)) $((y + 8)) mousedown "$2"
  # The move starts from where the pointer is when the program takes it up.
  probe moving "$1" >/dev/null || { echo "    no move began"; xdotool mouseup "$2"; return 1; }
  xdotool mousemove $((x + 80)) $((y + 28)) mousemove $((x + 140)) $((y + 68))
  probe at "$1" $((x + 100)) $((y + 60)) >/dev/null ||
    { echo "    the window did not follow the pointer to $((x + 100)),$((y + 60))"; xdotool mouseup "$2"; return 1; }
  xdotool mouseup "$2" mousemove $((x + 300)) $((y + 200))
  # The click is handled after the pointer's last travel: if the window
  # still followed the pointer, it has moved on by then.
  click "$1" Command3 && probe visible "$1" Frame1 ||
    { echo "    the click after the move did not reach Menu"; return 1; }
  read -r x2 y2 rest < <(probe rect "$1" - | tr -d '\r') || return 1
  [ "$x2" -eq $((x + 100)) ] && [ "$y2" -eq $((y + 60)) ] ||
    { echo "    the window went on to $x2,$y2"; return 1; }
  # A click on "Until Quorvell Fest !!!", below the panel, hides it again.
  click "$1" Label12 && probe hidden "$1" Frame1
}

main_title="time until qvlfest"
for name in "QVLFEST" "QVLFEST (Non-LCARS)"; do
  echo "$name.exe"
  wine "$build/$name.exe" >/dev/null 2>&1 &
  pid=$!
  check "its window shows the sentence due now" due shown "$main_title"
  check "a screen reader reads the sentence due now" due a11y-shown "$main_title"
  check "a screen reader reads the title strip" probe a11y "$main_title" Label2 "  Time until Quorvell Fest"
  for b in "Command3|Menu" "Command4|X" "Command5|duckduckgo.com" "Command6|Official QVL Fest website" \
           "Command7|QVL Fest Facebook Page" "Command8|About this program"; do
    check "a screen reader reads the button ${b#*|}" probe a11y "$main_title" "${b%%|*}" "${b#*|}"
  done
  check "a screen reader is told the developer area is off screen" \
    bash -c "wine '$build/tests/win32/qvl_probe.exe' offscreen '$main_title' Label15 &&
             wine '$build/tests/win32/qvl_probe.exe' offscreen '$main_title' Command1"
  check "and that the sentence and Menu are not" \
    bash -c "! wine '$build/tests/win32/qvl_probe.exe' offscreen '$main_title' Final &&
             ! wine '$build/tests/win32/qvl_probe.exe' offscreen '$main_title' Command3"
  check "the menu panel starts hidden" probe hidden "$main_title" Frame1
  check "countdown screenshot" shot "$main_title" "$name countdown.png"
  for button in 1 2 3; do
    check "dragged by its title strip with button $button, to its release" drag "$main_title" $button
  done
  check "Menu clicked" click "$main_title" Command3
  check "the menu panel is shown" probe visible "$main_title" Frame1
  check "screenshot with the menu" shot "$main_title" "$name menu.png"
  check "About this program clicked" click "$main_title" Command8
  check "the about box opens" probe visible "About QVLFEST" -
  check "about box screenshot" shot "About QVLFEST" "$name about.png"
  if [ "$name" = "QVLFEST" ]; then version="Version 2.1.0"; else version="Version 2.1.1"; fi
  check "the about box reads $version" probe visible "About QVLFEST" "text:$version"
  if [ "$name" = "QVLFEST" ]; then
    check "no red label" probe hidden "About QVLFEST" "text:NON LCARS FONT VERSION"
  else
    check "the red label" probe visible "About QVLFEST" "text:NON LCARS FONT VERSION"
  fi
  check "a screen reader reads System Info..." probe a11y "About QVLFEST" "text:&System Info..." "System Info..."
  check "a screen reader reads the version" probe a11y "About QVLFEST" "text:$version" "$version"
  check "OK clicked" click "About QVLFEST" "text:OK"
  check "the about box closes" probe gone "About QVLFEST"
  for key in Escape Return; do
    click "$main_title" Command3 && probe visible "$main_title" Frame1 && click "$main_title" Command8 &&
      probe active "About QVLFEST"
    check "$key pressed" xdotool key "$key"
    check "$key closes the about box" probe gone "About QVLFEST"
  done
  check "X clicked" click "$main_title" Command4
  check "the program ends" timeout 10 tail --pid="$pid" -f /dev/null
  stop_processes "$pid"
  pid=
done
echo "screenshots in $shots"
echo "e2e: $passes passed, $failures failed"
[ "$failures" -eq 0 ]
