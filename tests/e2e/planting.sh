#!/usr/bin/env bash
# Library planting: a library is put beside the programs under the name of winmm.dll,
# comctl32.dll and every library their import tables name that is not a KnownDLL, with the
# native-first load order for those names. Both programs must start (the mute tool without a
# configuration file shows the device list, the probe tool its window) and none of the planted
# libraries may be loaded.
#
#   tests/e2e/planting.sh BIN_DIR
#
# BIN_DIR holds tacetto.exe, tastrel.exe and planted.dll of one build; the 32-bit build runs under
# wine, the 64-bit one under wine64. Prints "planting: passed" or "planting: FAILED ...".
# Environment: E2E_WINEPREFIX (default BIN_DIR/../wine-prefix).
set -u
# shellcheck source=tests/e2e/wine_env.sh
source "$(dirname "${BASH_SOURCE[0]}")/wine_env.sh"

if [[ "${1:-}" != "--inside-display" ]]; then
  if [[ $# -ne 1 ]]; then
    echo "usage: $0 BIN_DIR" >&2
    exit 2
  fi
  bin_dir="$(cd "$1" && pwd)" || exit 2
  e2e_find_wine && e2e_ensure_locale || exit 2
  e2e_wine_environment "${E2E_WINEPREFIX:-$(dirname "$bin_dir")/wine-prefix}"
  work="$(mktemp -d /tmp/planting.XXXXXX)"
  trap 'rm -rf "$work"' EXIT
  e2e_make_home "$work/home"
  e2e_prepare_prefix "$work/home" || exit 2
  HOME="$work/home" xvfb-run -a "$0" --inside-display "$bin_dir" "$work"
  exit $?
fi
bin_dir="$2"
work="$3"
e2e_find_wine || exit 2

loader="$wine_loader"
if x86_64-w64-mingw32-objdump -f "$bin_dir/tacetto.exe" | grep -q "pei-i386"; then
  loader="$wine32_loader"
  if ! reason="$(e2e_runs_32bit)"; then
    echo "planting: NOT RUN: $reason"
    exit 2
  fi
fi

folder="$work/programs"
mkdir -p "$folder"
cp "$bin_dir/tacetto.exe" "$bin_dir/tastrel.exe" "$folder/"
names="winmm.dll comctl32.dll"
for name in $(e2e_imports "$folder/tacetto.exe") $(e2e_imports "$folder/tastrel.exe"); do
  if [[ " $e2e_known_dlls $names " != *[[:space:]]"$name"[[:space:]]* ]]; then
    names+=" $name"
  fi
done
for name in $names; do
  cp "$bin_dir/planted.dll" "$folder/$name"
done
echo "planted beside the programs: $names"
overrides="$(echo "$names" | sed 's/\.dll//g; s/ /,/g')"
export WINEDLLOVERRIDES="$WINEDLLOVERRIDES;$overrides=n,b"

# wait_for_window TITLE: true once a top-level window of that title exists (20 s at most).
wait_for_window() {
  local deadline=$((SECONDS + 20))
  while ((SECONDS < deadline)); do
    if xwininfo -root -tree 2>/dev/null | grep -q "^ *0x[0-9a-f]* \"$1\":"; then
      return 0
    fi
    sleep 0.2
  done
  return 1
}

failures=""
cd "$folder" || exit 2
"$loader" tacetto.exe >/dev/null 2>&1 &
wait_for_window "Veltrane" || failures+=" tacetto.exe showed no device list;"
"$loader" tastrel.exe >/dev/null 2>&1 &
wait_for_window "Tastrel" || failures+=" tastrel.exe showed no window;"
"$wine_server" -k
wait
for marker in *.loaded; do
  [[ -e "$marker" ]] && failures+=" ${marker%.loaded} was loaded from the programs' folder;"
done

if [[ -n "$failures" ]]; then
  echo "planting: FAILED$failures"
  exit 1
fi
echo "planting: passed"
