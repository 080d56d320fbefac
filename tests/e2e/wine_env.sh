# shellcheck shell=bash
# Sourced by tests/e2e/run_e2e.sh, scripts/demo.sh and scripts/benchmark.sh: finds wine, sets up
# its environment and a private home, prepares a wine prefix once, installs the sound doubles.

# Sets wine_loader (wine64), wine32_loader (wine, may be missing) and wine_server.
e2e_find_wine() {
  wine_loader="$(command -v wine64 || echo /usr/lib/wine/wine64)"
  wine32_loader=/usr/lib/wine/wine
  wine_server="$(command -v wineserver || echo /usr/lib/wine/wineserver)"
  if [[ ! -x "$wine_loader" || ! -x "$wine_server" ]]; then
    echo "wine64 not found" >&2
    return 1
  fi
}

# Whether 32-bit programs can execute here; prints why not.
e2e_can_run_32bit() {
  local output
  output="$("$wine32_loader" --version 2>&1)" && return 0
  echo "${output:-$wine32_loader cannot execute}"
  return 1
}

# e2e_wine_environment PREFIX: the variables every wine run here uses.
e2e_wine_environment() {
  export WINEPREFIX="$1"
  export WINEDEBUG=-all
  export WINEDLLOVERRIDES="mscoree,mshtml="
  # The programs' texts are code page 1252: wine takes the ANSI code page from the locale.
  export LC_ALL=en_US.UTF-8
}

e2e_ensure_locale() {
  if ! locale -a 2>/dev/null | grep -qix 'en_US\.utf-\?8'; then
    localedef -i en_US -f UTF-8 en_US.UTF-8 || {
      echo "cannot generate en_US.UTF-8 (package locales)" >&2
      return 1
    }
  fi
}

# e2e_make_home DIR: a private home whose ALSA default is the null device.
e2e_make_home() {
  mkdir -p "$1"
  printf 'pcm.!default { type null }\n' >"$1/.asoundrc"
}

# e2e_prepare_prefix HOME: makes $WINEPREFIX once (with syswow64 for the 32-bit programs).
# Without a window manager wine waits for hidden windows unless it manages them itself.
e2e_prepare_prefix() {
  [[ -f "$WINEPREFIX/.e2e-ready" ]] && return 0
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
}

# e2e_install_doubles BUILD_ROOT: the sound doubles of BUILD_ROOT/win64 into system32 and of
# BUILD_ROOT/win32 into syswow64, used by the mute tool only (in place of the system's).
e2e_install_doubles() {
  local arch folder
  for arch in win64:system32 win32:syswow64; do
    folder="$WINEPREFIX/drive_c/windows/${arch#*:}"
    if [[ -d "$1/${arch%%:*}/bin/doubles" && -d "$folder" ]]; then
      cp "$1/${arch%%:*}/bin/doubles/"*.dll "$folder/" || return 1
    fi
  done
  "$wine_loader" reg add 'HKCU\Software\Wine\AppDefaults\tacetto.exe\DllOverrides' /v winmm \
    /d native /f >/dev/null 2>&1 &&
    "$wine_loader" reg add 'HKCU\Software\Wine\AppDefaults\tacetto.exe\DllOverrides' \
      /v mmdevapi /d native /f >/dev/null 2>&1
}
