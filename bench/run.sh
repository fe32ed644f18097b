#!/usr/bin/env bash
# The countdown window's cost beside the least program that does the same
# visible job, on each platform: under Wine against bench/baseline (Win32),
# and natively against bench/qt_baseline (Qt 6), each in an Xvfb of its own.
# Runs the programs of a platform in turn, RUNS times, and writes for each
# figure the medians and their ratio to bench/results.md (a platform not run
# keeps its previous section). Then the native micro-benchmarks.
#   bash bench/run.sh      RUNS=5 CPU_SECONDS=60 PLATFORMS="windows linux web" by default
set -euo pipefail
cd "$(dirname "$0")/.."
runs=${RUNS:-5}
cpu_seconds=${CPU_SECONDS:-60}
platforms=${PLATFORMS:-windows linux web}
bash tools/install-deps.sh
raw=$(mktemp) runtime=
running=()  # the programs under measurement that this run started
source tools/wine-session.sh
# Whatever happens: the programs this run started, its Wine session (with
# every program in it) and its displays end, and the scratch files go.
cleanup() {
  stop_processes "${running[@]}"
  wine_down
  rm -f "$raw" "$raw".*
  [ -z "$runtime" ] || rm -rf "$runtime"
}
trap cleanup EXIT
trap 'exit 130' INT TERM
results=bench/results.md

# Nanoseconds that all threads of a process have spent on a CPU, user and
# system together (schedstat, finer than the clock ticks of /proc/pid/stat).
cpu_ns() { cat /proc/"$1"/task/*/schedstat | awk '{n += $1} END {printf "%.0f", n}'; }
stop() {  # stop <pid>: ends a program this run started, waiting for it to go
  local p kept=()
  stop_processes "$1"
  for p in "${running[@]}"; do [ "$p" = "$1" ] || kept+=("$p"); done
  running=("${kept[@]}")
}
median() {  # median of column $2 for program $1
  awk -F'|' -v n="$1" -v c="$2" '$1 == n {print $c}' "$raw" | sort -g |
    awk '{v[NR] = $1} END {print (NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2)}'
}
ratio() { awk -v a="$1" -v b="$2" 'BEGIN {printf (b > 0 ? "%.2f" : "n/a"), (b > 0 ? a / b : 0)}'; }
table() {  # table <baseline> <programs...>
  local baseline=$1 name fig label col p b
  shift
  echo "| Figure | Program | Product | Baseline | Ratio |"
  echo "|---|---|---|---|---|"
  for name in "$@"; do
    for fig in "Start-up (ms)|2" "CPU time over ${cpu_seconds} s (ms)|3" "Peak resident memory (KiB)|4" \
               "Executable size (bytes)|5"; do
      label=${fig%%|*} col=${fig#*|}
      p=$(median "$name" "$col") b=$(median "$baseline" "$col")
      echo "| $label | $name | $p | $b | $(ratio "$p" "$b") |"
    done
  done
}
record() {  # record <name> <ms> <pid> <executable> [<other pid whose CPU counts>]
  local c0 c1 o0=0 o1=0 hwm cpu_ms
  c0=$(cpu_ns "$3"); [ -n "${5:-}" ] && o0=$(cpu_ns "$5")
  sleep "$cpu_seconds"
  c1=$(cpu_ns "$3"); [ -n "${5:-}" ] && o1=$(cpu_ns "$5")
  hwm=$(awk '/VmHWM/ {print $2}' "/proc/$3/status")
  cpu_ms=$(awk -v a="$c0" -v b="$c1" -v c="$o0" -v d="$o1" 'BEGIN {printf "%.1f", (b - a + d - c) / 1e6}')
  echo "$1|$2|$cpu_ms|$hwm|$(stat -c %s "$4")" >>"$raw"
  echo "run $run $1: start-up $2 ms, CPU $cpu_ms ms in $cpu_seconds s, peak $hwm KiB"
}
section() {  # section <title>: the section of that title in the present results, if any
  [ -f "$results" ] && awk -v t="## $1" '$0 == t {on = 1} on && /^## / && $0 != t {on = 0} on' "$results"
}

windows() {
  cmake --preset windows -DQVL_BENCH=ON >/dev/null
  cmake --build --preset windows -j "$(nproc)" \
    --target qvlfest_lcars qvlfest_plain qvl_bench_baseline qvl_bench_driver
  cmake --preset windows -DQVL_BENCH=OFF >/dev/null
  local build="$PWD/build/windows" entry name title exe ms pid start starts
  winpath() { echo "Z:${1//\//\\}"; }
  session_process() {  # session_process <name>: the program of that image in this Wine session
    local p
    for p in $(pgrep -f "\\\\${1//[()]/.}\\.exe\$"); do
      tr '\0' '\n' <"/proc/$p/environ" 2>/dev/null | grep -qxF "WINEPREFIX=$WINEPREFIX" && echo "$p"
    done | tail -1
  }
  close_program() {  # close_program <title> <pid>: as a user would, then for sure
    wine "$build/bench/qvl_bench_driver.exe" close "$1" >/dev/null </dev/null || true
    for _ in $(seq 100); do kill -0 "$2" 2>/dev/null || break; sleep 0.1; done
    stop "$2"
  }
  QVL_FORCE_XVFB=1 wine_up "$build"
  for run in $(seq "$runs"); do
    for entry in "qvl_bench_baseline|qvl baseline" "QVLFEST|time until qvlfest" \
                 "QVLFEST (Non-LCARS)|time until qvlfest"; do
      name=${entry%%|*} title=${entry#*|} exe="$build/$name.exe"
      [ "$name" = qvl_bench_baseline ] && exe="$build/bench/$name.exe"
      # A start under Wine spreads widely (process creation, the first
      # timer tick): its figure is the middle of three starts, the last of
      # which stays running for the CPU and memory readings.
      starts=()
      for start in 1 2 3; do
        # The started program inherits the driver's output: a file, not a
        # pipe, so that nothing waits for the program to end.
        wine "$build/bench/qvl_bench_driver.exe" "$(winpath "$exe")" "$title" >"$raw.ms" </dev/null
        starts+=("$(tr -d '\r' <"$raw.ms")")
        pid=$(session_process "$name")
        running+=("$pid")
        [ "$start" = 3 ] && break
        close_program "$title" "$pid"
      done
      ms=$(printf '%s\n' "${starts[@]}" | sort -g | sed -n 2p)
      record "$name.exe" "$ms" "$pid" "$exe"
      close_program "$title" "$pid"
    done
  done
  wine_down
  {
    echo "## Windows, under Wine"
    echo
    echo "$(wine --version) in Xvfb. Against \`bench/baseline\`, the least Win32 program with"
    echo "the same visible job. Start-up is the middle of three starts in each run; CPU time is"
    echo "the program's own process; the peak is its VmHWM, which includes Wine's own libraries"
    echo "for both programs."
    echo
    table qvl_bench_baseline.exe QVLFEST.exe "QVLFEST (Non-LCARS).exe"
    echo
  } >"$raw.windows"
}

linux() {
  cmake --preset linux -DQVL_BENCH=ON >/dev/null
  cmake --build --preset linux -j "$(nproc)" \
    --target qvlfest_linux_lcars qvlfest_linux_plain qvl_qt_baseline qvl_linux_driver
  cmake --preset linux -DQVL_BENCH=OFF >/dev/null
  local build="$PWD/build/linux" entry name title ms pid exe
  virtual_display
  if [ -z "${XDG_RUNTIME_DIR:-}" ]; then
    runtime=$(mktemp -d)
    export XDG_RUNTIME_DIR=$runtime
  fi
  for run in $(seq "$runs"); do
    for entry in "qvl_qt_baseline|qvl baseline" "qvlfest|time until qvlfest" \
                 "qvlfest-non-lcars|time until qvlfest"; do
      name=${entry%%|*} title=${entry#*|}
      exe="$build/$name"
      [ "$name" = qvl_qt_baseline ] && exe="$build/bench/$name"
      read -r ms pid < <("$build/bench/qvl_linux_driver" "$exe" "$title")
      running+=("$pid")
      record "$name" "$ms" "$pid" "$exe" "$QVL_XVFB_PID"
      stop "$pid"
    done
  done
  end_virtual_display
  {
    echo "## Linux, native"
    echo
    echo "Qt $(dpkg-query -W -f='${Version}' libqt6core6 | cut -d+ -f1) on Xvfb. Against \`bench/qt_baseline\`, the least Qt 6 program"
    echo "with the same visible job, built with the same flags. Start-up runs until the"
    echo "sentence's colour is on screen; CPU time is the program's and the X server's."
    echo
    table qvl_qt_baseline qvlfest qvlfest-non-lcars
    echo
  } >"$raw.linux"
}

web() {
  RUNS=$runs CPU_SECONDS=$cpu_seconds bash bench/web.sh >/dev/null
  { cat build/web-bench.md; echo; } >"$raw.web"
}

for p in $platforms; do "$p"; done
[ -f "$raw.windows" ] || section "Windows, under Wine" >"$raw.windows"
[ -f "$raw.linux" ] || section "Linux, native" >"$raw.linux"
[ -f "$raw.web" ] || section "Web, headless Chromium" >"$raw.web"
{
  echo "# Benchmark: the countdown window against the least program with its job"
  echo
  echo "Machine: $(nproc) cores, $(awk -F': ' '/model name/ {print $2; exit}' /proc/cpuinfo)," \
       "$(free -g | awk '/Mem:/ {print $2}') GiB; $(date -u +%Y-%m-%d). Medians of $runs"
  echo "interleaved runs; CPU time over $cpu_seconds s after start-up. Targets on the desktop: CPU"
  echo "at most 1.05 of the baseline's, no other ratio above 1.25 (the size is a static C++ runtime"
  echo "against none, and is not held to it); the web's in its section."
  echo
  cat "$raw.windows" "$raw.linux" "$raw.web"
} >"$results.new"
mv "$results.new" "$results"
cat "$results"
rm -f "$raw" "$raw".*

cmake --preset bench >/dev/null
cmake --build --preset bench -j "$(nproc)"
build/bench/bench/qvl_native_bench
