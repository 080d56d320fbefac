#!/usr/bin/env bash
# Measures the shipped programs and writes docs/performance.md: start-up, hotkey latency, idle
# CPU time and peak memory of the mute tool against a minimal window program (all under wine64
# and Xvfb, on a null sound device), the sizes of the 32-bit executables, and the throughput of
# the configuration reader (native, Google Benchmark). Not a test: it only reports.
#
# Environment: BENCH_RUNS (start-ups per program, default 15), BENCH_PRESSES (hotkey presses per
# program, default 200; wine 8 hands out only 255 working mixer handles per process, and the mute
# tool opens one per press), BENCH_PAUSE_MS (least pause between presses, default 5),
# BENCH_IDLE_SECONDS (default 10).
set -euo pipefail
cd "$(dirname "$0")/.."
root="$(pwd)"

runs="${BENCH_RUNS:-15}"
presses="${BENCH_PRESSES:-200}"
pause_ms="${BENCH_PAUSE_MS:-5}"
idle_seconds="${BENCH_IDLE_SECONDS:-10}"
hotkey=845 # Ctrl+Alt+M
began=$(date +%s)

bash scripts/setup.sh

echo "== build win32, win64 and native"
cmake --preset win32 >/dev/null
cmake --build --preset win32 -j"$(nproc)" --target tacetto tastrel >/dev/null
cmake --preset win64 >/dev/null
cmake --build --preset win64 -j"$(nproc)" --target tacetto minimal_window bench_driver >/dev/null
cmake --preset native >/dev/null
cmake --build --preset native -j"$(nproc)" --target config_reader_benchmark >/dev/null

# shellcheck source=tests/e2e/wine_env.sh
source "$root/tests/e2e/wine_env.sh"
e2e_find_wine

bin="$root/build/win64/bin"
work="$(mktemp -d /tmp/benchmark.XXXXXX)"
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/run"
e2e_make_home "$work/home"
printf '1\r\n1\r\n%s\r\n80\r\n1\r\n0\r\n' "$hotkey" >"$work/run/tacetto.cfg"

e2e_wine_environment "$root/build/bench-prefix"
e2e_ensure_locale
e2e_prepare_prefix "$work/home"
if [[ ! -f "$WINEPREFIX/.bench-ready" ]]; then
  # The Windows XP setting makes the mute tool use the classic mixer, whose level wine can write.
  # Set on the display, where the programs will run.
  # shellcheck disable=SC2016 # the inner shell expands its own arguments
  HOME="$work/home" timeout 120 xvfb-run -a sh -c '
    "$1" reg add "HKCU\\Software\\Wine" /v Version /d winxp64 /f >/dev/null 2>&1 || exit 1
    "$2" -w' sh "$wine_loader" "$wine_server"
  touch "$WINEPREFIX/.bench-ready"
fi

echo "== measuring under wine (about $((runs + presses / 50 + 3 * (idle_seconds + 2) + 10)) s)"
# shellcheck disable=SC2016 # the inner shell expands its own arguments
(cd "$work/run" && HOME="$work/home" timeout 900 xvfb-run -a sh -c '
  "$1" "$2/bench_driver.exe" "$2/tacetto.exe" "$2/minimal_window.exe" "$3" "$4" "$5" "$6" "$7"
  code=$?
  "$8" -w
  exit $code' sh "$wine_loader" "$bin" "$hotkey" "$runs" "$presses" "$pause_ms" "$idle_seconds" \
  "$wine_server") | tr -d '\r' | tee "$work/wine.txt"

echo "== configuration reader (native)"
# A 100 MB file whose first line is the whole file: digits, then junk, then the other lines.
sample="$work/config-100mb.cfg"
rest=$'\r\n1\r\n845\r\n80\r\n1\r\n0\r\n'
digits=50000000
{
  head -c "$digits" /dev/zero | tr '\0' '1'
  head -c "$((100000000 - digits - ${#rest}))" /dev/zero | tr '\0' 'x'
  printf '%s' "$rest"
} >"$sample"
build/native/config_reader_benchmark --benchmark_repetitions=5 \
  --benchmark_report_aggregates_only=true --benchmark_out="$work/reader.json" \
  --benchmark_out_format=json "$sample"
rm -f "$sample"

sizes=()
for exe in build/win32/bin/*.exe; do
  sizes+=("$(basename "$exe") $(stat -c %s "$exe")")
done

{
  echo "date $(date -u '+%Y-%m-%d %H:%M UTC')"
  echo "uname $(uname -srm)"
  echo "cpu $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2- | sed 's/^ *//') ($(nproc) cores)"
  echo "wine $("$wine_loader" --version 2>/dev/null)"
  echo "took $(($(date +%s) - began))"
  echo "settings $runs $presses $idle_seconds $pause_ms"
  for size in "${sizes[@]}"; do
    echo "size $size"
  done
  cat "$work/wine.txt"
} >"$work/figures.txt"

python3 bench/report.py "$work/figures.txt" "$work/reader.json" >docs/performance.md
cat docs/performance.md
echo "benchmark took $(($(date +%s) - began)) s"
