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
# default 120).
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

wine_loader="$(command -v wine64 || true)"
if [[ -z "$wine_loader" && -x /usr/lib/wine/wine64 ]]; then
  wine_loader=/usr/lib/wine/wine64
fi
wine_server="$(command -v wineserver || true)"
if [[ -z "$wine_server" && -x /usr/lib/wine/wineserver ]]; then
  wine_server=/usr/lib/wine/wineserver
fi
if [[ -z "$wine_loader" || -z "$wine_server" ]]; then
  echo "wine64 not found" >&2
  exit 2
fi

export WINEPREFIX="${E2E_WINEPREFIX:-$(dirname "$bin_dir")/wine-prefix}"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
# The programs' texts are code page 1252: wine takes the ANSI code page from the locale.
export LC_ALL=en_US.UTF-8
scenario_timeout="${E2E_SCENARIO_TIMEOUT:-120}"

if [[ $inside -eq 0 ]]; then
  for needed in e2e_driver.exe e2e_mixer_probe.exe; do
    if [[ ! -f "$bin_dir/$needed" ]]; then
      echo "missing $bin_dir/$needed" >&2
      exit 2
    fi
  done
  if ! locale -a 2>/dev/null | grep -qix 'en_US\.utf-\?8'; then
    echo "generating the locale en_US.UTF-8"
    localedef -i en_US -f UTF-8 en_US.UTF-8 || {
      echo "cannot generate en_US.UTF-8 (package locales)" >&2
      exit 2
    }
  fi

  # A private home whose ALSA default is the null device: wine then shows the mixer devices
  # "Out: default" and "In: default" without a sound card.
  work_root="$(mktemp -d /tmp/e2e.XXXXXX)"
  trap 'rm -rf "$work_root"' EXIT
  mkdir -p "$work_root/home"
  printf 'pcm.!default { type null }\n' >"$work_root/home/.asoundrc"
  export E2E_WORK_ROOT="$work_root"

  # Without a window manager wine waits for hidden windows unless it manages them itself.
  if [[ ! -f "$WINEPREFIX/.e2e-ready" ]]; then
    echo "preparing the wine prefix $WINEPREFIX"
    mkdir -p "$WINEPREFIX"
    # shellcheck disable=SC2016 # the inner shell expands its own arguments
    HOME="$work_root/home" timeout 300 xvfb-run -a sh -c '
      "$1" wineboot -i >/dev/null 2>&1
      "$1" reg add "HKCU\\Software\\Wine\\X11 Driver" /v Managed /d N /f >/dev/null 2>&1 || exit 1
      "$2" -w' sh "$wine_loader" "$wine_server" || {
      echo "could not prepare the wine prefix" >&2
      exit 2
    }
    touch "$WINEPREFIX/.e2e-ready"
  fi

  HOME="$work_root/home" xvfb-run -a "$0" --inside-display "$bin_dir" "$@"
  exit $?
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
