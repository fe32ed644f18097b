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
# builds, since most of it waits on windows, buses and browsers. The packages
# are made from those builds, without building again in folders that tests
# are running from. Each set writes to build/test-logs/<name>.log, printed
# at the end. When a build or the packaging fails, or this is interrupted,
# the sets still running are stopped (TERM, then KILL after a grace period)
# and every log so far is printed.
set -euo pipefail
cd "$(dirname "$0")/.."
source tools/processes.sh
bash tools/install-deps.sh
SOURCE_DATE_EPOCH=${SOURCE_DATE_EPOCH:-$(git log -1 --format=%ct 2>/dev/null || echo 1334997900)}
export SOURCE_DATE_EPOCH
logs="$PWD/build/test-logs"
rm -rf "$logs"
mkdir -p "$logs"
jobs=$(nproc)
start=$SECONDS
names=() pids=() failed=() stopped=()

stop_all() {  # the sets still running, each with everything it started
  local pid tree=()
  for pid in "${pids[@]}"; do mapfile -t -O "${#tree[@]}" tree < <(process_tree "$pid"); done
  QVL_STOP_GRACE=10 stop_processes "${tree[@]}"
  pids=()
}
trap stop_all EXIT
trap 'exit 130' INT TERM

say() { printf '[%3ds] %s\n' $((SECONDS - start)) "$*"; }
build() {  # build <preset>
  say "building $1"
  { cmake --preset "$1" && nice -n 10 cmake --build --preset "$1" -j "$jobs"; } \
    >"$logs/build-$1.log" 2>&1 || step_failed "build-$1"
}
stage() {  # stage <name> <command...>: in the background, into its log
  local name=$1
  shift
  say "testing $name"
  ("$@") >"$logs/$name.log" 2>&1 &
  names+=("$name")
  pids+=($!)
}
report() {  # report [<log>...]: every set's log and those named, then the verdict
  local name
  for name in "${names[@]}" "$@"; do
    echo
    if [[ " ${stopped[*]} " == *" $name "* ]]; then echo "=== $name (stopped)"; else echo "=== $name"; fi
    cat "$logs/$name.log"
  done
  echo
  if [ ${#failed[@]} -gt 0 ]; then
    say "FAILED: ${failed[*]} (logs in build/test-logs/)"
    exit 1
  fi
  say "all tests passed"
}
step_failed() {  # step_failed <log>: a build or the packaging failed
  local i
  say "$1 failed: stopping the tests still running"
  for i in "${!pids[@]}"; do
    if running "${pids[$i]}"; then stopped+=("${names[$i]}"); fi
  done
  stop_all
  failed+=("$1")
  report "$1"
}

linux_tests() {
  local runtime
  runtime=$(mktemp -d)
  trap "rm -rf '$runtime'" EXIT
  XDG_RUNTIME_DIR=$runtime ctest --preset linux
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
stage web bash tests/web/run.sh build/web build/web-cmake/contract
say "packaging"
nice -n 10 bash tools/package.sh --no-build >"$logs/package.log" 2>&1 || step_failed package
stage packages bash tests/packages/run.sh build/packages build/windows build/linux
say "building again elsewhere"
nice -n 10 bash tests/packages/reproducible.sh >"$logs/reproducible.log" 2>&1 || failed+=(reproducible)

for i in "${!names[@]}"; do
  wait "${pids[$i]}" || failed+=("${names[$i]}")
done
pids=()
report reproducible
