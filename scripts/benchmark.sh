#!/usr/bin/env bash
# Measures the shipped programs and writes docs/performance.md and its chart: for the i686 build
# under 32-bit wine and the x86_64 build under wine64 (one prefix, Xvfb), start-up, hotkey
# latency, peak memory and idle cost of the mute tool against the minimal program doing the same
# platform work (bench/same_work.cpp), and of that program against a copy of itself (the run's
# noise), on the Windows XP mixer path and on the capture endpoint path; the physical floors (an
# empty window, a blocking loop) for information; a soak of tool and floor on the endpoint path;
# the sizes of the 32-bit executables. Not a test: it only reports.
#
# Environment: BENCH_RUNS (start-ups per program, default 10), BENCH_ROUNDS (instances per program
# for the hotkey, default 12), BENCH_PRESSES (hotkey presses per instance, default 100; wine 8's
# own mixer hands out only 255 working handles per process, and both programs open one per
# press on the XP path), BENCH_PAUSE_MS (least pause between presses, default 5),
# BENCH_CHANGES and BENCH_REPLUGS (on the endpoint path with the sound doubles: changes made
# elsewhere and devices plugged in again, per program, defaults 100 and 20), BENCH_IDLE_RUNS
# (idle runs, tool, floor and copy side by side, default 12), BENCH_IDLE_SECONDS (one-second
# samples of each idle run, default 3), BENCH_SOAK_PRESSES (presses of each soaked instance,
# default 5000; 0 leaves the soak out), BENCH_BUILDS (default "win32 win64").
set -euo pipefail
cd "$(dirname "$0")/.."
root="$(pwd)"

runs="${BENCH_RUNS:-10}"
rounds="${BENCH_ROUNDS:-12}"
presses="${BENCH_PRESSES:-100}"
pause_ms="${BENCH_PAUSE_MS:-5}"
idle_seconds="${BENCH_IDLE_SECONDS:-3}"
idle_runs="${BENCH_IDLE_RUNS:-12}"
changes="${BENCH_CHANGES:-100}"
replugs="${BENCH_REPLUGS:-20}"
soak_presses="${BENCH_SOAK_PRESSES:-5000}"
read -r -a builds <<<"${BENCH_BUILDS:-win32 win64}"
hotkey=1613 # Ctrl+Shift+M
began=$(date +%s)

bash scripts/setup.sh

echo "== build ${builds[*]}"
for preset in "${builds[@]}"; do
  cmake --preset "$preset" >/dev/null
  targets=(tacetto tastrel minimal_window bench_driver)
  # The sound-system test doubles, where the tree has them.
  if [[ "$(cmake --build --preset "$preset" --target help)" == *"... double_winmm"* ]]; then
    targets+=(double_winmm double_mmdevapi)
  fi
  cmake --build --preset "$preset" -j2 --target "${targets[@]}" >/dev/null
done

work="$(mktemp -d /tmp/benchmark.XXXXXX)"
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/run"
# The wine set-up of the end-to-end tests: a private home whose ALSA default is the null device,
# one prefix with a 32-bit system folder, Managed=N.
# shellcheck source=scripts/wine_env.sh
source scripts/wine_env.sh
e2e_find_wine
e2e_wine_environment "$root/build/bench-prefix"
export HOME="$work/home"
e2e_make_home "$HOME"
e2e_prepare_prefix "$HOME"
# The tool is configured for device 1, its microphone line, start level 80.
printf '1\r\n1\r\n%s\r\n80\r\n1\r\n0\r\n' "$hotkey" >"$work/run/tacetto.cfg"

# The doubles replace winmm and mmdevapi in the system folders, for both builds or for neither.
doubles=1
for preset in win32 win64; do
  [[ -f "build/$preset/bin/doubles/winmm.dll" && -f "build/$preset/bin/doubles/mmdevapi.dll" ]] ||
    doubles=0
done
if ((doubles)); then
  sound="the sound-system test doubles (tests/e2e/doubles)"
  e2e_install_doubles build/win64/bin build/win32/bin minimal_window.exe minimal_copy.exe
  "$wine_server" -w # the wine session started here had no display: let it end
  printf 'device Out\ndevice In\nline 0x1003 7000\nwavein 1 3f000000 0 in\n' >"$work/run/sound.txt"
else
  # Without a sound card wine's own sound system shows "Out: default" and "In: default" on
  # ALSA's null device.
  sound="wine's own sound system on ALSA's null device"
fi

# Roughly, in milliseconds, from runs on this 2-core machine: 200 for a start and its end (seven
# programs start on the two paths); a hotkey instance 500 and 6 per press plus its pause (tool,
# floor and copy on two paths); a change made elsewhere 30 and a device back 150, each plus its
# pause (three programs); an idle run of three programs side by side 2000 and a second for each
# sample and the settling (on two paths; the empty window and the blocking loop 800 and those
# seconds); 8 per soak press; 5000 for wine's start and end.
per_build=$((200 * 7 * (runs + 1) + 6 * rounds * (500 + presses * (6 + 3 * pause_ms / 2)) +
  3 * (changes * (30 + 3 * pause_ms / 2) + replugs * (150 + 3 * pause_ms / 2))))
per_build=$(((per_build + 2 * (idle_runs * 2000 + 800 + (idle_runs + 1) * 1000 * (idle_seconds +
  1)) + 2 * (1000 + 8 * soak_presses) + 5000) / 1000))
estimate=$((${#builds[@]} * per_build))
echo "== measuring under wine on $sound, about $per_build s per build, $estimate s in all"
for preset in "${builds[@]}"; do
  echo "build $preset" >>"$work/wine.txt"
  if [[ "$preset" == win32 ]] && ! why="$(e2e_runs_32bit)"; then
    echo "$why"
    echo "unavailable $preset $why" >>"$work/wine.txt"
    continue
  fi
  loader="$(e2e_loader_for "$preset")"
  # shellcheck disable=SC2016 # the inner shell expands its own arguments
  if ! (cd "$work/run" && timeout 1800 xvfb-run -a sh -c '
    "$1" "$2/bench_driver.exe" "$2" "$3" "$4" "$5" "$6" "$7" "$8" "$9" "${10}" "${11}" "${12}"
    code=$?
    "${13}" -w
    exit $code' sh "$loader" "$root/build/$preset/bin" "$hotkey" "$runs" "$rounds" "$presses" \
    "$pause_ms" "$idle_seconds" "$idle_runs" "$soak_presses" $((doubles ? changes : 0)) \
    $((doubles ? replugs : 0)) "$wine_server" \
    2>"$work/driver.err") |
    tr -d '\r' | tee -a "$work/wine.txt"; then
    cat "$work/driver.err" >&2
    sed "s/^/note $preset /" "$work/driver.err" >>"$work/wine.txt"
    if ! grep -q '^startup ' <(sed -n "/^build $preset\$/,\$p" "$work/wine.txt"); then
      echo "unavailable $preset $(head -c 200 "$work/driver.err" | tr '\n' ' ')" >>"$work/wine.txt"
    fi
  fi
done

{
  echo "date $(date -u '+%Y-%m-%d %H:%M UTC')"
  echo "uname $(uname -srm)"
  echo "cpu $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2- | sed 's/^ *//') ($(nproc) cores)"
  echo "load $(cut -d' ' -f1-3 /proc/loadavg)"
  echo "wine $("$wine_loader" --version 2>/dev/null)"
  echo "sound $sound"
  echo "took $(($(date +%s) - began))"
  echo "estimate $estimate"
  echo "settings $runs $rounds $presses $idle_seconds $idle_runs $pause_ms $soak_presses $changes $replugs"
  for exe in build/win32/bin/tacetto.exe build/win32/bin/tastrel.exe; do
    echo "size $(basename "$exe") $(stat -c %s "$exe")"
  done
  cat "$work/wine.txt"
} >"$work/figures.txt"
# The raw figures, for a look afterwards.
cp "$work/figures.txt" build/bench-figures.txt

python3 -B bench/report.py "$work/figures.txt" docs/performance-hotkey.png >docs/performance.md
cat docs/performance.md
echo "benchmark took $(($(date +%s) - began)) s (estimated: $estimate s for the measuring)"
