#!/usr/bin/env bash
# Runs every end-to-end scenario against the 32-bit programs (BUILD/win32/bin, under wine) and
# the 64-bit ones (BUILD/win64/bin, under wine64), one scenario at a time, on one private wine
# prefix with the sound doubles installed, on a virtual display.
#
#   tests/e2e/run_e2e.sh [SCENARIO...]          BUILD: $E2E_BUILD, default build
#
# Prints "win32: N passed, M failed" and "win64: N passed, M failed"; a scenario that did not run
# counts as failed. Where the kernel does not execute 32-bit programs the win32 line says so and
# the 64-bit half decides the result; where wine32 is missing or broken the run fails.
set -u
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
build="$(cd "${E2E_BUILD:-$root/build}" && pwd)" || exit 2
# shellcheck source=scripts/wine_env.sh
source "$root/scripts/wine_env.sh"
e2e_fixed_layout "$@"
e2e_find_wine || exit 2
e2e_wine_environment "${E2E_WINEPREFIX:-$build/wine-e2e}"

if [[ "${1:-}" != "--inside-display" ]]; then
  work="$(mktemp -d /tmp/e2e.XXXXXX)"
  trap 'rm -rf "$work"' EXIT
  e2e_make_home "$work/home"
  e2e_prepare_prefix "$work/home" || exit 2
  E2E_WORK="$work" HOME="$work/home" xvfb-run -a -s "-screen 0 1024x768x24" "$0" \
    --inside-display "$@"
  exit $?
fi
shift

summary=()
code=0
archs=(win64)
why="$(e2e_runs_32bit)"
case $? in
  0) archs=(win32 win64) ;;
  2) summary+=("win32: NOT RUN, nothing of it passed or failed: $why") ;;
  *)
    summary+=("win32: NOT RUN, counted as failed: $why")
    code=1
    ;;
esac
e2e_install_doubles "$build/win64/bin" "${archs[1]:+$build/win32/bin}" || code=1
# The rows' window sizes hold for the font they were taken with, the pictures need wine's
# caption buttons' font: a run on other ones stops here.
driver64="$build/win64/bin/e2e_driver.exe"
if [[ -f $driver64 ]] && ! font="$(timeout 60 "$wine_loader" "$driver64" font)"; then
  echo "${font//$'\r'/}"
  for arch in "${archs[@]}"; do
    summary+=("$arch: NOT RUN, counted as failed: wine does not draw the fonts as measured")
  done
  printf '%s\n' "${summary[@]}"
  exit 1
fi
for arch in "${archs[@]}"; do
  loader="$(e2e_loader_for "$arch")"
  bin="$build/$arch/bin"
  if [[ ! -f "$bin/e2e_driver.exe" ]]; then
    summary+=("$arch: NOT RUN, counted as failed: $bin/e2e_driver.exe is missing")
    code=1
    continue
  fi
  if [[ $# -gt 0 ]]; then
    total=$#
  else
    total=$("$loader" "$bin/e2e_driver.exe" list | tr -d '\r' | grep -c .)
  fi
  mkdir -p "$E2E_WORK/$arch"
  echo "== $arch: $bin under $loader"
  start=$(date +%s)
  # 30 s a row, and a second a step of a walk longer than the suite's
  timeout -k 5 $((total * 30 + 30 + ${E2E_WALK_STEPS:-0})) "$loader" "$bin/e2e_driver.exe" "$bin" "$E2E_WORK/$arch" "$@" |
    tr -d '\r' | tee "$E2E_WORK/$arch.out"
  passed=$(grep -c '^PASS ' "$E2E_WORK/$arch.out")
  failed=$((total - passed))
  summary+=("$arch: $passed passed, $failed failed" "($arch took $(($(date +%s) - start)) s)")
  [[ $failed -eq 0 ]] || code=1
  "$wine_server" -k >/dev/null 2>&1
done
printf '%s\n' "${summary[@]}"
exit $code
