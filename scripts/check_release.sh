#!/usr/bin/env bash
# Builds the release package twice from the same commit in separate build folders and checks
# that the executables and the zip are byte-identical, that the zip holds what it should and
# that the programs import only KnownDLLs and carry their application manifest.
set -euo pipefail
cd "$(dirname "$0")/.."
# shellcheck source=scripts/wine_env.sh
source scripts/wine_env.sh

work=build/reproducible
rm -rf "$work"
bash scripts/release.sh "$work/build-a" "$work/dist-a" >/dev/null
bash scripts/release.sh "$work/build-b" "$work/dist-b" >/dev/null

failed=0
check() {
  if cmp -s "$1" "$2"; then
    echo "same: $(basename "$1") ($(stat -c %s "$1") bytes)"
  else
    echo "DIFFERENT: $1 $2"
    failed=1
  fi
}
check "$work/build-a/bin/tacetto.exe" "$work/build-b/bin/tacetto.exe"
check "$work/build-a/bin/tastrel.exe" "$work/build-b/bin/tastrel.exe"
check "$work/dist-a/tacetto-0.2.zip" "$work/dist-b/tacetto-0.2.zip"

listing=$(unzip -Z1 "$work/dist-a/tacetto-0.2.zip" | tr '\n' ' ')
expected="GUIDE.txt SHA256SUMS tacetto-sample.cfg tacetto.exe tastrel.exe "
if [[ "$listing" != "$expected" ]]; then
  echo "zip holds: $listing; expected: $expected"
  failed=1
fi
unpacked="$work/unpacked"
mkdir -p "$unpacked"
unzip -q -o "$work/dist-a/tacetto-0.2.zip" -d "$unpacked"
if ! (cd "$unpacked" && sha256sum --quiet -c SHA256SUMS); then
  echo "SHA256SUMS does not match the files"
  failed=1
fi
for exe in tacetto.exe tastrel.exe; do
  if ! i686-w64-mingw32-objdump -f "$unpacked/$exe" | grep -q "pei-i386"; then
    echo "$exe is not a 32-bit Windows program"
    failed=1
  fi
  # Only KnownDLLs: any other library is looked for in the program's folder first.
  for dll in $(e2e_imports "$unpacked/$exe"); do
    if [[ " $e2e_known_dlls " != *[[:space:]]"$dll"[[:space:]]* ]]; then
      echo "$exe imports $dll, which is not one of the KnownDLLs $e2e_known_dlls"
      failed=1
    fi
  done
  if ! grep -qa "O.r.i.g.i.n.a.l.F.i.l.e.n.a.m.e" "$unpacked/$exe"; then
    echo "$exe has no version information"
    failed=1
  fi
  # The application manifest: run as the invoker, the Windows versions, DPI awareness.
  if ! i686-w64-mingw32-windres -i "$unpacked/$exe" -J coff -O rc |
    python3 scripts/check_manifest.py "$exe"; then
    failed=1
  fi
done
# No tacetto.cfg: the first start from the unpacked folder shows the device list.
if [[ -e "$unpacked/tacetto.cfg" ]]; then
  echo "the zip holds a tacetto.cfg"
  failed=1
fi
cmp -s "$unpacked/tacetto-sample.cfg" res/tacetto-sample.cfg || { echo "the sample differs"; failed=1; }

if ((failed)); then
  echo "release: 0 passed, 1 failed"
  exit 1
fi
echo "release: 1 passed, 0 failed"
