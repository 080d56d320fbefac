#!/usr/bin/env bash
# Builds the shipped programs and runs the mute tool with a demo configuration on a null sound
# device.
#
#   bash scripts/demo.sh
#
# With a desktop ($DISPLAY set) tacetto.exe runs there until you close its window. Without one it
# runs on a virtual display (Xvfb): e2e_driver.exe waits for the window, presses the hotkey twice,
# prints the label after each press, takes pictures of the window and closes it; the pictures end
# up in build/demo/*.png. With E2E_SCREENSHOT_DIR set, volume-window-start.png and
# volume-window-muted.png are copied there as well.
#
# The demo configuration: device 1 ("In: default" of wine's null ALSA device), the microphone,
# hotkey Ctrl+Alt+M (845), 80 %, Scroll Lock as the light, not inverted. Wine reports Windows XP
# to tacetto.exe, so the tool uses the classic mixer, which wine accepts without a sound card.
# wine64 runs the x86_64 build (build/win64) of the same sources as the shipped 32-bit build.
#
# Environment: DEMO_WINEPREFIX (default build/demo-wine-prefix).
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"

# Windows XP for tacetto.exe. Run only where the display is: a wine session started without one
# would keep a desktop that has none, and the tool's window would go there.
set_windows_xp() {
  "$wine_loader" reg add 'HKCU\Software\Wine\AppDefaults\tacetto.exe' /v Version /d winxp64 /f \
    >/dev/null 2>&1
}
bin_dir="$root/build/win64/bin"
demo_dir="$root/build/demo"

if [[ "${1:-}" == "--inside-display" ]]; then
  # On the virtual display: a plain run of the tool, as a user would start it, and the driver
  # that plays the user.
  cd "$demo_dir/run"
  set_windows_xp
  "$wine_loader" "$bin_dir/tacetto.exe" &
  tool=$!
  driver_code=0
  timeout -k 5 60 "$wine_loader" "$bin_dir/e2e_driver.exe" demo "Z:${demo_dir//\//\\}" ||
    driver_code=$?
  if ! timeout 10 tail --pid="$tool" -f /dev/null; then
    echo "demo: tacetto.exe still running: ended"
    kill "$tool" 2>/dev/null || true
  fi
  tool_code=0
  wait "$tool" || tool_code=$?
  echo "demo: the shell saw tacetto.exe end with exit code $tool_code"
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

# shellcheck source=tests/e2e/wine_env.sh
source "$root/tests/e2e/wine_env.sh"
e2e_find_wine
e2e_ensure_locale
mkdir -p "$demo_dir"
e2e_wine_environment "${DEMO_WINEPREFIX:-$root/build/demo-wine-prefix}"
export wine_loader wine_server bin_dir demo_dir

# A private home with the null ALSA device; a desktop's X authority stays where it was.
export XAUTHORITY="${XAUTHORITY:-$HOME/.Xauthority}"
export HOME="$demo_dir/home"
e2e_make_home "$HOME"
e2e_prepare_prefix "$HOME"

rm -rf "$demo_dir/run"
mkdir -p "$demo_dir/run"
printf '1\r\n1\r\n845\r\n80\r\n1\r\n0\r\n' >"$demo_dir/run/tacetto.cfg"

if [[ -n "${DISPLAY:-}" ]]; then
  echo "demo: tacetto.exe runs on your desktop ($DISPLAY) with $demo_dir/run/tacetto.cfg;"
  echo "demo: press Ctrl+Alt+M to mute and unmute, close the window to end"
  cd "$demo_dir/run"
  set_windows_xp
  code=0
  "$wine_loader" "$bin_dir/tacetto.exe" || code=$?
  echo "demo: tacetto.exe ended with exit code $code"
  exit $code
fi

echo "demo: no display: running on a virtual display"
rm -f "$demo_dir"/*.bmp "$demo_dir"/*.png
code=0
xvfb-run -a -s "-screen 0 1024x768x24" "$0" --inside-display || code=$?

for bmp in "$demo_dir"/*.bmp; do
  [[ -f "$bmp" ]] || continue
  convert "$bmp" "${bmp%.bmp}.png" && rm -f "$bmp"
done
echo "demo: screenshots:"
for png in "$demo_dir"/*.png; do
  [[ -f "$png" ]] && echo "  $png"
done
if [[ -n "${E2E_SCREENSHOT_DIR:-}" ]]; then
  mkdir -p "$E2E_SCREENSHOT_DIR"
  for name in volume-window-start volume-window-muted; do
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
