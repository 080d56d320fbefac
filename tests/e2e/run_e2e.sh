#!/usr/bin/env bash
# Runs the end-to-end scenarios of the Windows programs under wine64, one at a time, on a
# private wine prefix and a virtual display.
#
#   tests/e2e/run_e2e.sh BIN_DIR [SCENARIO...]
#
# BIN_DIR holds e2e_driver.exe, e2e_mixer_probe.exe and the programs under test (the win64
# preset's build/win64/bin). Without scenario names all of them run. Each scenario runs in a
# fresh folder (the driver writes its tacetto.cfg there) with a time limit. Ends with the line
# "N passed, M failed" and exits non-zero if any scenario failed.
#
# Environment: E2E_WINEPREFIX (default BIN_DIR/../wine-prefix), E2E_SCENARIO_TIMEOUT (seconds,
# default 120), E2E_SCREENSHOT_DIR (scenarios that take pictures save them there as BMP; they are
# turned into PNG at the end).
set -u

if [[ "${1:-}" == "--inside-display" ]]; then
  inside=1
  shift
else
  inside=0
fi

if [[ $# -lt 1 ]]; then
  echo "usage: $0 BIN_DIR [SCENARIO...]" >&2
  exit 2
fi
bin_dir="$(cd "$1" && pwd)" || exit 2
shift

# shellcheck source=tests/e2e/wine_env.sh
source "$(dirname "${BASH_SOURCE[0]}")/wine_env.sh"
e2e_find_wine || exit 2
e2e_wine_environment "${E2E_WINEPREFIX:-$(dirname "$bin_dir")/wine-prefix}"
scenario_timeout="${E2E_SCENARIO_TIMEOUT:-120}"

if [[ $inside -eq 0 ]]; then
  for needed in e2e_driver.exe e2e_mixer_probe.exe; do
    if [[ ! -f "$bin_dir/$needed" ]]; then
      echo "missing $bin_dir/$needed" >&2
      exit 2
    fi
  done
  e2e_ensure_locale || exit 2

  work_root="$(mktemp -d /tmp/e2e.XXXXXX)"
  trap 'rm -rf "$work_root"' EXIT
  e2e_make_home "$work_root/home"
  export E2E_WORK_ROOT="$work_root"
  e2e_prepare_prefix "$work_root/home" || exit 2

  if [[ -n "${E2E_SCREENSHOT_DIR:-}" ]]; then
    mkdir -p "$E2E_SCREENSHOT_DIR" && E2E_SCREENSHOT_DIR="$(cd "$E2E_SCREENSHOT_DIR" && pwd)"
    export E2E_SCREENSHOT_DIR
  fi
  HOME="$work_root/home" xvfb-run -a "$0" --inside-display "$bin_dir" "$@"
  code=$?
  if [[ -n "${E2E_SCREENSHOT_DIR:-}" ]]; then
    for bmp in "$E2E_SCREENSHOT_DIR"/*.bmp; do
      [[ -f "$bmp" ]] || continue
      if convert "$bmp" "${bmp%.bmp}.png"; then
        rm -f "$bmp"
        echo "screenshot ${bmp%.bmp}.png"
      fi
    done
  fi
  exit $code
fi

# Inside the virtual display from here on.
if [[ $# -gt 0 ]]; then
  scenarios=("$@")
else
  mapfile -t scenarios < <("$wine_loader" "$bin_dir/e2e_driver.exe" list | tr -d '\r')
fi

start=$(date +%s)
passed=0
failed=0
failed_names=()
for scenario in "${scenarios[@]}"; do
  case "$scenario" in
    tacetto-*) program="$bin_dir/tacetto.exe" ;;
    tastrel-*) program="$bin_dir/tastrel.exe" ;;
    *) program="$bin_dir/e2e_mixer_probe.exe" ;;
  esac
  echo "=== $scenario"
  if [[ ! -f "$program" ]]; then
    echo "FAIL $scenario: program missing: $program"
    failed=$((failed + 1))
    failed_names+=("$scenario")
    continue
  fi
  folder="$(mktemp -d "$E2E_WORK_ROOT/scenario.XXXXXX")"
  (cd "$folder" && timeout -k 5 "$scenario_timeout" "$wine_loader" "$bin_dir/e2e_driver.exe" \
    "$scenario" "$program")
  code=$?
  if [[ $code -eq 0 ]]; then
    passed=$((passed + 1))
  else
    if [[ $code -eq 124 || $code -eq 137 ]]; then
      echo "FAIL $scenario: no result within $scenario_timeout s"
    fi
    failed=$((failed + 1))
    failed_names+=("$scenario")
    # Whatever is left of this scenario must not disturb the next one.
    "$wine_server" -k >/dev/null 2>&1
  fi
  rm -rf "$folder"
done
timeout 15 "$wine_server" -w >/dev/null 2>&1

echo "scenarios took $(($(date +%s) - start)) s"
if [[ $failed -gt 0 ]]; then
  echo "failed: ${failed_names[*]}"
fi
echo "$passed passed, $failed failed"
[[ $failed -eq 0 && $passed -gt 0 ]]
