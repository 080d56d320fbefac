# shellcheck shell=bash
# Sourced by tests/e2e/run_e2e.sh and scripts/demo.sh: finds wine64, sets up its environment, a
# private home whose ALSA default is the null device, and prepares a wine prefix once.

# Sets wine_loader and wine_server; false (with a message) if wine64 is missing.
e2e_find_wine() {
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
    return 1
  fi
}

# e2e_wine_environment PREFIX: the variables every wine run here uses.
e2e_wine_environment() {
  export WINEPREFIX="$1"
  export WINEDEBUG=-all
  export WINEDLLOVERRIDES="mscoree,mshtml="
  # The programs' texts are code page 1252: wine takes the ANSI code page from the locale.
  export LC_ALL=en_US.UTF-8
}

# Generates en_US.UTF-8 if it is missing; false if that is not possible.
e2e_ensure_locale() {
  if ! locale -a 2>/dev/null | grep -qix 'en_US\.utf-\?8'; then
    echo "generating the locale en_US.UTF-8"
    localedef -i en_US -f UTF-8 en_US.UTF-8 || {
      echo "cannot generate en_US.UTF-8 (package locales)" >&2
      return 1
    }
  fi
}

# e2e_make_home DIR: a private home whose ALSA default is the null device: wine then shows the
# mixer devices "Out: default" and "In: default" without a sound card.
e2e_make_home() {
  mkdir -p "$1"
  printf 'pcm.!default { type null }\n' >"$1/.asoundrc"
}

# e2e_prepare_prefix HOME: prepares $WINEPREFIX once (needs e2e_find_wine). Without a window
# manager wine waits for hidden windows unless it manages them itself: Managed=N.
e2e_prepare_prefix() {
  if [[ -f "$WINEPREFIX/.e2e-ready" ]]; then
    return 0
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
}
