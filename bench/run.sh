#!/usr/bin/env bash
# The countdown window's cost beside the least Win32 program that does the
# same visible job (bench/baseline), under Wine in one Xvfb. Runs the three
# programs in turn, RUNS times, and prints for each figure the medians and
# their ratio; writes bench/results.md. Then the native micro-benchmarks.
#   bash bench/run.sh            RUNS=5 CPU_SECONDS=60 by default
set -euo pipefail
cd "$(dirname "$0")/.."
runs=${RUNS:-5}
cpu_seconds=${CPU_SECONDS:-60}
bash tools/install-deps.sh
cmake --preset windows >/dev/null
cmake --build --preset windows -j "$(nproc)" \
  --target qvlfest_lcars qvlfest_plain qvl_bench_baseline qvl_bench_driver
build="$PWD/build/windows"
winpath() { echo "Z:${1//\//\\}"; }

source tools/wine-session.sh
trap wine_down EXIT
QVL_FORCE_XVFB=1 wine_up "$build"

# Nanoseconds that all threads of a process have spent on a CPU, user and
# system together (schedstat, finer than the clock ticks of /proc/pid/stat).
cpu_ns() { cat /proc/"$1"/task/*/schedstat | awk '{n += $1} END {printf "%.0f", n}'; }

programs=("qvl_bench_baseline|qvl baseline" "QVLFEST|time until qvlfest" \
          "QVLFEST (Non-LCARS)|time until qvlfest")
raw=$(mktemp)
for run in $(seq "$runs"); do
  for entry in "${programs[@]}"; do
    name=${entry%%|*} title=${entry#*|}
    exe="$build/$name.exe"
    # The started program inherits the driver's output: a file, not a pipe,
    # so that nothing waits for the program to end.
    wine "$build/qvl_bench_driver.exe" "$(winpath "$exe")" "$title" >"$raw.ms" </dev/null
    ms=$(tr -d '\r' <"$raw.ms")
    pid=$(pgrep -n -f "\\\\${name//[()]/.}\\.exe\$")
    c0=$(cpu_ns "$pid")
    sleep "$cpu_seconds"
    c1=$(cpu_ns "$pid")
    hwm=$(awk '/VmHWM/ {print $2}' "/proc/$pid/status")
    wine "$build/qvl_bench_driver.exe" close "$title" >/dev/null </dev/null || kill "$pid"
    for _ in $(seq 100); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
    kill "$pid" 2>/dev/null || true
    while kill -0 "$pid" 2>/dev/null; do sleep 0.1; done
    cpu_ms=$(awk -v a="$c0" -v b="$c1" 'BEGIN {printf "%.1f", (b - a) / 1e6}')
    size=$(stat -c %s "$exe")
    echo "$name|$ms|$cpu_ms|$hwm|$size" >>"$raw"
    echo "run $run $name: start-up ${ms} ms, CPU ${cpu_ms} ms in ${cpu_seconds} s, peak ${hwm} KiB"
  done
done

median() {  # median of column $2 for program $1
  awk -F'|' -v n="$1" -v c="$2" '$1 == n {print $c}' "$raw" | sort -g |
    awk '{v[NR] = $1} END {print (NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2)}'
}
ratio() { awk -v a="$1" -v b="$2" 'BEGIN {printf (b > 0 ? "%.2f" : "n/a"), (b > 0 ? a / b : 0)}'; }

{
  echo "# Benchmark: the countdown window against the least Win32 program"
  echo
  echo "Machine: $(nproc) cores, $(awk -F': ' '/model name/ {print $2; exit}' /proc/cpuinfo)," \
       "$(free -g | awk '/Mem:/ {print $2}') GiB; $(wine --version); Xvfb; $(date -u +%Y-%m-%d)."
  echo "Medians of $runs interleaved runs; CPU time is user + system of the program's own"
  echo "process over $cpu_seconds s after start-up; the peak working set is the process's"
  echo "VmHWM under Wine, which includes Wine's own libraries for both programs."
  echo
  echo "| Figure | Program | Product | Baseline | Ratio |"
  echo "|---|---|---|---|---|"
  for name in "QVLFEST" "QVLFEST (Non-LCARS)"; do
    for fig in "Start-up (ms)|2" "CPU time over ${cpu_seconds} s (ms)|3" "Peak working set (KiB)|4" \
               "Executable size (bytes)|5"; do
      label=${fig%%|*} col=${fig#*|}
      p=$(median "$name" "$col") b=$(median qvl_bench_baseline "$col")
      echo "| $label | $name.exe | $p | $b | $(ratio "$p" "$b") |"
    done
  done
} >bench/results.md
cat bench/results.md
rm -f "$raw" "$raw.ms"

cmake --preset bench >/dev/null
cmake --build --preset bench -j "$(nproc)"
build/bench/bench/qvl_native_bench
