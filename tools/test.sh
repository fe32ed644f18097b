#!/usr/bin/env bash
# Every test, as CI runs it on a fresh machine: the forms natively (plain,
# then under AddressSanitizer and UndefinedBehaviorSanitizer); the Linux
# programs in-process at scales 1 and 1.5, then end to end on X (with and
# without a window manager) and Wayland, on GNOME Shell, KWin and sway, and
# with the Orca screen reader; the Windows programs under Wine at
# 144 and 96 DPI, then end to end; the web pages in headless Chromium; the
# release packages installed, started and removed (the .deb on this
# machine); last, the programs and packages built again elsewhere and
# compared byte for byte.
#
# The builds run one after another, niced, with the machine's cores; each
# set of tests starts as soon as its build is done and runs beside the later
# builds, since most of it waits on windows, buses and browsers. Each set
# writes to build/test-logs/<name>.log, printed at the end. Anything still
# running when this ends (or is interrupted) is ended with it.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/install-deps.sh
SOURCE_DATE_EPOCH=${SOURCE_DATE_EPOCH:-$(git log -1 --format=%ct 2>/dev/null || echo 1334997900)}
export SOURCE_DATE_EPOCH
logs="$PWD/build/test-logs"
rm -rf "$logs"
mkdir -p "$logs"
jobs=$(nproc)
start=$SECONDS
names=() pids=()

kill_tree() {  # kill_tree <pid>: the process and everything it started
  local child
  for child in $(pgrep -P "$1" 2>/dev/null); do kill_tree "$child"; done
  kill -TERM "$1" 2>/dev/null || true
}
stop_all() {
  local pid
  for pid in "${pids[@]}"; do kill_tree "$pid"; done
  wait 2>/dev/null || true
}
trap stop_all EXIT
trap 'exit 130' INT TERM

say() { printf '[%3ds] %s\n' $((SECONDS - start)) "$*"; }
build() {  # build <preset> [targets...]
  local preset=$1
  shift
  say "building $preset"
  cmake --preset "$preset" >"$logs/build-$preset.log" 2>&1 &&
    nice -n 10 cmake --build --preset "$preset" -j "$jobs" ${1:+--target "$@"} \
      >>"$logs/build-$preset.log" 2>&1 ||
    { cat "$logs/build-$preset.log"; return 1; }
}
stage() {  # stage <name> <command...>: in the background, into its log
  local name=$1
  shift
  say "testing $name"
  ("$@") >"$logs/$name.log" 2>&1 &
  names+=("$name")
  pids+=($!)
}

linux_tests() {
  XDG_RUNTIME_DIR=$(mktemp -d) ctest --preset linux
  bash tests/linux/run.sh build/linux
}
windows_tests() {
  source tools/wine-session.sh
  trap wine_down EXIT
  trap 'exit 130' INT TERM
  echo "Windows forms at 144 DPI:"
  QVL_FORCE_XVFB=1 wine_up "$PWD/build/windows" 144
  QVL_EXPECT_DPI=144 ctest --preset windows -L forms
  wine_down
  echo "Windows at 96 DPI:"
  QVL_FORCE_XVFB=1 wine_up "$PWD/build/windows" 96
  QVL_EXPECT_DPI=96 ctest --preset windows
  bash tests/e2e/run.sh build/windows
}

build linux
stage linux linux_tests
stage desktops bash tests/desktops/run.sh build/linux
stage orca /usr/bin/python3 tests/desktops/orca.py build/linux
build native
stage native ctest --preset native -j "$jobs"
build windows
stage windows windows_tests
build native-sanitize
stage sanitize ctest --preset native-sanitize -j "$jobs"
build web
stage web bash tests/web/run.sh build/web
say "packaging"
nice -n 10 bash tools/package.sh >"$logs/package.log" 2>&1 || { cat "$logs/package.log"; exit 1; }
stage packages bash tests/packages/run.sh build/packages build/windows build/linux
say "building again elsewhere"
reproducible=0
nice -n 10 bash tests/packages/reproducible.sh >"$logs/reproducible.log" 2>&1 || reproducible=1

failed=()
for i in "${!names[@]}"; do
  wait "${pids[$i]}" || failed+=("${names[$i]}")
done
pids=()
[ "$reproducible" = 0 ] || failed+=(reproducible)
for name in "${names[@]}" reproducible; do
  echo
  echo "=== $name"
  cat "$logs/$name.log"
done
echo
if [ ${#failed[@]} -gt 0 ]; then
  say "FAILED: ${failed[*]} (logs in build/test-logs/)"
  exit 1
fi
say "all tests passed"
