#!/usr/bin/env bash
# Installs, on Debian 12 as root, what the builds and tests need. Idempotent: when everything is
# present it only checks and returns.
set -euo pipefail

packages=(
  cmake g++ make libgtest-dev libgmock-dev clang-format
  clang libclang-rt-14-dev clang-tidy cppcheck
  g++-mingw-w64-i686 g++-mingw-w64-x86-64
  wine64 wine32:i386 xvfb xauth x11-utils imagemagick locales zip unzip python3
  # The font wine draws the tools' "MS Sans Serif" with, which the end-to-end rows' window sizes
  # were measured in, and wine's own fonts: wine recommends them, but they may be missing.
  fonts-liberation fonts-wine
)

# The shipped programs are 32-bit: wine32 comes from the i386 architecture.
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  echo "setup: adding the i386 architecture"
  dpkg --add-architecture i386
fi

missing=()
for package in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$package")
  fi
done

if ((${#missing[@]} > 0)); then
  echo "setup: installing ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  # A mirror in the middle of a sync fails an index now and then: once more, then on with the
  # indexes that came.
  apt-get update -qq || { sleep 10 && apt-get update -qq; } ||
    echo "setup: some package indexes did not come; going on with those that did"
  if ! apt-get install -y -qq "${missing[@]}" >/dev/null; then
    # Without one architecture's security index the 32-bit libraries lag their 64-bit twins, and
    # nothing can be installed beside them; the release's own versions exist for both.
    release="$(. /etc/os-release && echo "$VERSION_CODENAME")"
    echo "setup: installing again from $release itself"
    apt-get install -y -qq -t "$release" "${missing[@]}" >/dev/null
  fi
fi

# wine runs with this locale so that its ANSI code page is 1252.
if ! locale -a 2>/dev/null | grep -qi '^en_US\.utf-\?8$'; then
  echo "setup: generating the en_US.UTF-8 locale"
  localedef -i en_US -f UTF-8 en_US.UTF-8
fi

echo "setup: ready"
