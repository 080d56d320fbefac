#!/usr/bin/env bash
# Builds the release package: dist/tacetto-0.2.zip with both 32-bit programs, the sample
# configuration as tacetto-sample.cfg (no tacetto.cfg: the first start lists the devices), the
# plain-text guide and their SHA256SUMS, byte for byte the same from the same commit.
# Usage: scripts/release.sh [build-dir] [dist-dir]
set -euo pipefail
cd "$(dirname "$0")/.."

build_dir="${1:-build/win32}"
dist_dir="${2:-dist}"
version="0.2"
name="tacetto-$version"

# Every time stamp in the package is the commit's.
export SOURCE_DATE_EPOCH="${SOURCE_DATE_EPOCH:-$(git log -1 --format=%ct 2>/dev/null || echo 0)}"
export TZ=UTC

cmake -S . -B "$build_dir" --toolchain cmake/toolchain-i686-w64-mingw32.cmake \
  -DCMAKE_BUILD_TYPE=MinSizeRel >/dev/null
cmake --build "$build_dir" --target tacetto tastrel -j"$(nproc)" >/dev/null

staging="$dist_dir/$name"
rm -rf "$staging" "$dist_dir/$name.zip"
mkdir -p "$staging"
cp "$build_dir/bin/tacetto.exe" "$build_dir/bin/tastrel.exe" "$staging/"
cp res/tacetto-sample.cfg "$staging/tacetto-sample.cfg"
sed 's/$/\r/' docs/GUIDE.txt >"$staging/GUIDE.txt"
(cd "$staging" && sha256sum GUIDE.txt tacetto-sample.cfg tacetto.exe tastrel.exe >SHA256SUMS)

files=(GUIDE.txt SHA256SUMS tacetto-sample.cfg tacetto.exe tastrel.exe)
for file in "${files[@]}"; do
  chmod 0644 "$staging/$file"
  touch -d "@$SOURCE_DATE_EPOCH" "$staging/$file"
done
# Fixed order, no extra attributes, no directory entries.
(cd "$staging" && zip -q -X -D "../$name.zip" "${files[@]}")
touch -d "@$SOURCE_DATE_EPOCH" "$dist_dir/$name.zip"
(cd "$dist_dir" && sha256sum "$name.zip" >SHA256SUMS)
echo "release: $dist_dir/$name.zip"
