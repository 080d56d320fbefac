# shellcheck shell=bash
# Sourced by tests/e2e/run_e2e.sh and the scripts that run the programs under wine (demo,
# benchmark, release check): finds wine, sets up its environment (the locale en_US.UTF-8 comes
# from scripts/setup.sh), a private home whose ALSA default is the null device, prepares a wine
# prefix once and installs the sound-system test doubles into it.

# Sets wine_loader (wine64), wine32_loader (wine, for 32-bit programs; empty when missing) and
# wine_server, Debian's wine paths; false (with a message) if wine64 is missing.
e2e_find_wine() {
  wine_loader=/usr/lib/wine/wine64 wine_server=/usr/lib/wine/wineserver wine32_loader=""
  [[ -x /usr/lib/wine/wine ]] && wine32_loader=/usr/lib/wine/wine
  [[ -x $wine_loader && -x $wine_server ]] || {
    echo "wine64 not found (scripts/setup.sh installs it)" >&2
    return 1
  }
}

# e2e_fixed_layout ARGS: runs the calling script once more with ARGS, and with it every wine
# process it starts, without address-space randomization (unless it already runs so). Wine 8's
# loaders are linked at 0x7d000000, and the kernel places their heap anywhere in the GiB above
# them; now and then the heap covers 0x7ffe0000, where each wine process must map the shared user
# data: that process then ends at its start ("failed to map the shared user data: c0000018"), and
# its CreateProcess fails with ERROR_INTERNAL_ERROR (1359). Not randomized, the heap follows the
# loader at once, far below that address.
e2e_fixed_layout() {
  [[ "${E2E_FIXED_LAYOUT:-}" == 1 ]] && return
  if ! setarch "$(uname -m)" -R true 2>/dev/null; then
    echo "setarch -R refused: a wine process may now and then fail at its start" >&2
    return
  fi
  E2E_FIXED_LAYOUT=1 exec setarch "$(uname -m)" -R bash "$0" "$@"
}

# e2e_loader_for win32|win64: the loader of that build's programs (needs e2e_find_wine).
e2e_loader_for() {
  if [[ $1 == win32 ]]; then echo "$wine32_loader"; else echo "$wine_loader"; fi
}

# e2e_wine_environment PREFIX: the variables every wine run here uses. Wine's traces are off
# unless E2E_WINEDEBUG names channels (for example +process,+server; they go to stderr).
e2e_wine_environment() {
  export WINEPREFIX="$1"
  export WINEDEBUG="${E2E_WINEDEBUG:--all}"
  export WINEDLLOVERRIDES="mscoree,mshtml="
  # The programs' texts are code page 1252: wine takes the ANSI code page from the locale.
  export LC_ALL=en_US.UTF-8
}

# e2e_make_home DIR: a private home whose ALSA default is the null device: wine then shows the
# mixer devices "Out: default" and "In: default" without a sound card.
e2e_make_home() {
  mkdir -p "$1"
  printf 'pcm.!default { type null }\n' >"$1/.asoundrc"
}

# e2e_caption_font: wine draws the caption buttons (minimize, maximize, close) with the glyphs of
# "Marlett"; without that face it takes another, and they show as letters. Debian's wine does
# not read the folder of fonts-wine, so its marlett.ttf goes into the prefix, and no other face:
# each one added changes what wine substitutes for the tools' font.
e2e_caption_font() {
  local fonts="$WINEPREFIX/drive_c/windows/Fonts"
  [[ -f "$fonts/marlett.ttf" ]] && return 0
  if ! { mkdir -p "$fonts" && cp /usr/share/wine/fonts/marlett.ttf "$fonts/"; }; then
    echo "could not put marlett.ttf (package fonts-wine) into $fonts" >&2
    return 1
  fi
}

# e2e_prepare_prefix HOME: prepares $WINEPREFIX once (needs e2e_find_wine). Without a window
# manager wine waits for hidden windows unless it manages them itself: Managed=N.
# The prefix is made with the 32-bit loader installed so that it gets a populated syswow64; one
# made without it is made anew. Either way it gets the caption buttons' font.
e2e_prepare_prefix() {
  if [[ -f "$WINEPREFIX/.e2e-ready" ]]; then
    # A kernel that does not execute 32-bit code never fills the folder: nothing to make anew.
    if [[ -z "$wine32_loader" || -f "$WINEPREFIX/drive_c/windows/syswow64/kernel32.dll" ]] ||
      ! "$wine32_loader" --version >/dev/null 2>&1; then
      e2e_caption_font
      return
    fi
    echo "the wine prefix $WINEPREFIX has no 32-bit system folder: making it anew"
    "$wine_server" -k 2>/dev/null || true
    rm -rf "$WINEPREFIX"
  fi
  echo "preparing the wine prefix $WINEPREFIX"
  mkdir -p "$WINEPREFIX"
  # shellcheck disable=SC2016 # the inner shell expands its own arguments
  HOME="$1" timeout 300 xvfb-run -a sh -c '
    "$1" wineboot -i >/dev/null 2>&1
    "$1" reg add "HKCU\\Software\\Wine\\X11 Driver" /v Managed /d N /f >/dev/null 2>&1 || exit 1
    "$2" -w' sh "$wine_loader" "$wine_server" || {
    echo "could not prepare the wine prefix" >&2
    return 1
  }
  touch "$WINEPREFIX/.e2e-ready"
  e2e_caption_font
}

# The only libraries the programs may import: KnownDLLs on every Windows from XP on, which the
# loader never takes from the program's folder.
e2e_known_dlls="advapi32.dll comdlg32.dll gdi32.dll kernel32.dll msvcrt.dll ole32.dll"
e2e_known_dlls+=" oleaut32.dll shell32.dll user32.dll"

# e2e_imports EXE: the libraries EXE imports, in lower case, one a line.
e2e_imports() {
  x86_64-w64-mingw32-objdump -p "$1" | awk '/DLL Name:/ {print tolower($3)}' | sort -u
}

# e2e_runs_32bit: true if 32-bit Windows programs execute here (needs e2e_find_wine and a
# prepared prefix). Otherwise says why, and returns 2 when the kernel itself refuses 32-bit code
# (a machine fact, as with ia32_emulation off), 1 when wine is missing or fails.
e2e_runs_32bit() {
  if [[ -z "$wine32_loader" ]]; then
    echo "32-bit programs cannot run here: /usr/lib/wine/wine is missing (package wine32:i386)"
    return 1
  fi
  # Started by bash itself, so that a refused exec is told as such and not run as a script.
  local output
  output="$("$wine32_loader" --version 2>&1)"
  if [[ $? -eq 126 || "$output" == *"Exec format error"* ]]; then
    echo "32-bit programs cannot run here: the kernel does not execute them (Exec format error)"
    return 2
  fi
  if ! output="$(timeout 60 "$wine32_loader" cmd /c exit 2>&1)"; then
    echo "32-bit programs cannot run here: wine cmd failed: ${output:0:200}"
    return 1
  fi
}

# e2e_install_doubles WIN64_BIN [WIN32_BIN [EXE...]]: puts the sound-system test doubles of the
# builds (BIN/doubles/*.dll) into the prefix's system folders, x86_64 into system32 and i686 into
# syswow64, and makes only the mute tool (and each EXE) load them rather than wine's own. The device
# enumerator's class is found through the registry at system32\mmdevapi.dll (wine's prefix has it
# for both views), so the override also serves its creation.
e2e_install_doubles() {
  local windows="${WINEPREFIX:?}/drive_c/windows" dll
  for dll in winmm mmdevapi; do
    cp "$1/doubles/$dll.dll" "$windows/system32/$dll.dll" || return 1
    if [[ -n "${2:-}" ]]; then
      cp "$2/doubles/$dll.dll" "$windows/syswow64/$dll.dll" || return 1
    fi
  done
  # The common controls, too, are looked for in a program's folder first, where the end-to-end
  # tests plant a library of that name beside the probe tool.
  local key="HKCU\\Software\\Wine\\AppDefaults\\" override exe dll order
  local overrides=("tastrel.exe:comctl32:native,builtin")
  for exe in tacetto.exe "${@:3}"; do
    overrides+=("$exe:winmm:native" "$exe:mmdevapi:native")
  done
  for override in "${overrides[@]}"; do
    IFS=: read -r exe dll order <<<"$override"
    "$wine_loader" reg add "$key$exe\DllOverrides" /v "$dll" /d "$order" /f >/dev/null 2>&1 || {
      echo "could not set the DLL override of $dll for $exe" >&2
      return 1
    }
  done
}
