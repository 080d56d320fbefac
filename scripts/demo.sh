#!/usr/bin/env bash
# Builds the shipped programs and runs the mute tool with a demo configuration on a null sound
# device.
#
#   bash scripts/demo.sh
#
# With a desktop ($DISPLAY set) tacetto.exe runs there until you close its window. Without one it
# runs on a virtual display (Xvfb), twice: told it runs on Windows XP (the classic mixer) and on
# Windows 10 (the capture endpoint, as Windows Vista to 11 users run it). Each time
# demo_driver.exe waits for the window, presses the hotkey twice, prints the label and the Scroll
# Lock light (as another program sees it) after the start, after each press and after the end,
# takes pictures of the window and closes it, and prints the calls that reached the sound
# system: the levels, and on Windows 10 the endpoint's scalar and its mute flag set, cleared and
# put back at the end. On Windows 10, before the close, another program mutes the device and then
# unmutes it, and the label and the light are printed after each. Then tastrel.exe answers
# Ctrl+Shift+M and is pictured too, and both windows are pictured at 150 % scaling (144 DPI). The
# pictures end up in build/demo/*.png (those of the Windows 10 run in build/demo/win10/); with
# E2E_SCREENSHOT_DIR set, volume-window-start.png, volume-window-muted.png, probe-window.png and
# windows-150-percent.png are copied there as well.
#
# The shipped 32-bit programs (build/win32) run where this machine executes 32-bit code, else
# the x86_64 build of the same sources. The sound system is the test doubles (tests/e2e/doubles):
# device 0 "Demo Microphone" at 60 %, its endpoint at 60 % and not muted. The configuration:
# device 0, the microphone, Ctrl+Shift+M (1613), 80 %, Scroll Lock, not inverted. On a desktop wine
# reports Windows XP to tacetto.exe, so the tool uses the classic mixer.
#
# Environment: DEMO_WINEPREFIX (default build/demo-wine-prefix).
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"

demo_dir="$root/build/demo"
title="Tacetto v0.2alpha by Quorvel"

# demo_driver ARGUMENT...: the demo's driver (demo/main.cpp). It also tells wine the Windows
# version of tacetto.exe (version xp|win10) and the screen DPI of the programs started from now on
# (dpi DPI). Run only where the display is: a wine session started without one would keep a
# desktop that has none, and the tool's window would go there.
demo_driver() {
  "$run_loader" "$bin_dir/demo_driver.exe" "$@"
}

# run_mute_tool VERSION PICTURES [elsewhere]: on the virtual display, a plain run of the tool in
# build/demo/run-VERSION, as a user would start it, told it runs on Windows VERSION (xp or
# win10), and the driver that plays the user (and another program that mutes and unmutes) and
# takes the pictures into PICTURES.
run_mute_tool() {
  cd "$demo_dir/run-$1"
  demo_driver version "$1"
  mkdir -p "$2"
  "$run_loader" "$bin_dir/tacetto.exe" &
  tool=$!
  timeout -k 5 60 "$run_loader" "$bin_dir/demo_driver.exe" demo "Z:${2//\//\\}" ${3:+"$3"} ||
    driver_code=$?
  if ! timeout 10 tail --pid="$tool" -f /dev/null; then
    echo "demo: tacetto.exe still running: ended"
    kill "$tool" 2>/dev/null || true
  fi
  local code=0
  wait "$tool" || code=$?
  ((code == 0)) || tool_code=$code
  echo "demo: the shell saw tacetto.exe ($1) end with exit code $code; what reached the sound system:"
  demo_driver log sound.log | tr -d '\r' || driver_code=1
}

if [[ "${1:-}" == "--inside-display" ]]; then
  driver_code=0 tool_code=0
  demo_driver dpi 0 # what an interrupted run may have left
  echo "demo: == Windows XP: the classic mixer"
  run_mute_tool xp "$demo_dir"
  echo "demo: == Windows 10: the capture endpoint, as Windows Vista to 11 users run it"
  run_mute_tool win10 "$demo_dir/win10" elsewhere
  cd "$demo_dir"
  "$run_loader" "$bin_dir/tastrel.exe" &
  timeout -k 5 60 "$run_loader" "$bin_dir/demo_driver.exe" probe "Z:${demo_dir//\//\\}" ||
    driver_code=$?
  timeout 10 tail --pid=$! -f /dev/null || kill $! 2>/dev/null || true
  # Each window at 150 % scaling (144 DPI), in turn, so that neither covers the other.
  demo_driver dpi 144
  cd "$demo_dir/run-win10"
  for program in "tacetto.exe:$title" "tastrel.exe:Tastrel"; do
    "$run_loader" "$bin_dir/${program%%:*}" &
    timeout -k 5 60 "$run_loader" "$bin_dir/demo_driver.exe" picture "${program#*:}" \
      "${program%%.*}-150" "Z:${demo_dir//\//\\}" || driver_code=$?
    timeout 10 tail --pid=$! -f /dev/null || kill $! 2>/dev/null || true
  done
  demo_driver dpi 0
  timeout 15 "$wine_server" -w || true
  [[ $driver_code -eq 0 && $tool_code -eq 0 ]]
  exit $?
fi

start=$(date +%s)
bash "$root/scripts/setup.sh"
for preset in win32 win64; do
  echo "demo: building preset $preset"
  cmake --preset "$preset" -S "$root" >/dev/null
  cmake --build --preset "$preset" >/dev/null
done
echo "demo: shipped programs: $root/build/win32/bin/tacetto.exe, $root/build/win32/bin/tastrel.exe"

# shellcheck source=scripts/wine_env.sh
source "$root/scripts/wine_env.sh"
e2e_find_wine
mkdir -p "$demo_dir"
e2e_wine_environment "${DEMO_WINEPREFIX:-$root/build/demo-wine-prefix}"

# A private home with the null ALSA device; a desktop's X authority stays where it was.
export XAUTHORITY="${XAUTHORITY:-$HOME/.Xauthority}"
export HOME="$demo_dir/home"
e2e_make_home "$HOME"
e2e_prepare_prefix "$HOME"
if why="$(e2e_runs_32bit)"; then
  arch=win32
  e2e_install_doubles "$root/build/win64/bin" "$root/build/win32/bin"
else
  echo "demo: $why: running the x86_64 build"
  arch=win64
  e2e_install_doubles "$root/build/win64/bin"
fi
bin_dir="$root/build/$arch/bin" run_loader="$(e2e_loader_for "$arch")"
"$wine_server" -w  # the wine session started here had no display: let it end
export wine_server bin_dir demo_dir run_loader
echo "demo: running $bin_dir/tacetto.exe"

rm -rf "$demo_dir"/run-*
for version in xp win10; do
  mkdir -p "$demo_dir/run-$version"
  printf '0\r\n1\r\n1613\r\n80\r\n1\r\n0\r\n' >"$demo_dir/run-$version/tacetto.cfg"
  # 60 %: level 39321, scalar 0x3f19999a.
  printf 'device Demo Microphone\nline 0x1003 39321\nwavein 0 3f19999a 0 demo-mic\n' \
    >"$demo_dir/run-$version/sound.txt"
done

if [[ -n "${DISPLAY:-}" ]]; then
  echo "demo: tacetto.exe runs on your desktop ($DISPLAY) with $demo_dir/run-xp/tacetto.cfg;"
  echo "demo: press Ctrl+Shift+M to mute and unmute, close the window to end"
  cd "$demo_dir/run-xp"
  demo_driver version xp
  code=0
  "$run_loader" "$bin_dir/tacetto.exe" || code=$?
  echo "demo: tacetto.exe ended with exit code $code"
  exit $code
fi

echo "demo: no display: running on a virtual display"
rm -rf "$demo_dir"/*.bmp "$demo_dir"/*.png "$demo_dir/win10"
code=0
xvfb-run -a -s "-screen 0 1024x768x24" "$0" --inside-display || code=$?

for bmp in "$demo_dir"/*.bmp "$demo_dir"/win10/*.bmp; do
  [[ -f "$bmp" ]] || continue
  convert "$bmp" "${bmp%.bmp}.png" && rm -f "$bmp"
done
# The two windows at 150 % in one picture, one above the other.
if [[ -f "$demo_dir/tacetto-150.png" && -f "$demo_dir/tastrel-150.png" ]]; then
  convert "$demo_dir/tacetto-150.png" -size 1x16 xc:white "$demo_dir/tastrel-150.png" \
    -background white -append "$demo_dir/windows-150-percent.png"
fi
echo "demo: screenshots:"
for png in "$demo_dir"/*.png "$demo_dir"/win10/*.png; do
  [[ -f "$png" ]] && echo "  $png"
done
if [[ -n "${E2E_SCREENSHOT_DIR:-}" ]]; then
  mkdir -p "$E2E_SCREENSHOT_DIR"
  for name in volume-window-start volume-window-muted probe-window windows-150-percent; do
    if [[ -f "$demo_dir/$name.png" ]]; then
      cp "$demo_dir/$name.png" "$E2E_SCREENSHOT_DIR/$name.png"
      echo "demo: copied $name.png to $E2E_SCREENSHOT_DIR"
    fi
  done
fi
echo "demo: took $(($(date +%s) - start)) s"
if [[ $code -ne 0 ]]; then
  echo "demo: FAILED (exit code $code)"
fi
exit $code
