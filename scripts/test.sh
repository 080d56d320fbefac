#!/usr/bin/env bash
# Sets up the machine, builds the three presets, runs the unit tests (also under AddressSanitizer
# and UndefinedBehaviorSanitizer), the static analysis, the fuzzers for FUZZ_SECONDS each
# (default 60), the end-to-end tests of the real programs under wine and the reproducible
# release package.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh

for preset in native win32 win64; do
  echo "== build $preset"
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" -j"$(nproc)"
done

echo "== unit tests"
ctest --preset native

echo "== unit tests under AddressSanitizer and UndefinedBehaviorSanitizer"
cmake --preset native-asan >/dev/null
cmake --build --preset native-asan -j"$(nproc)"
ctest --preset native-asan

echo "== static analysis"
bash scripts/static_analysis.sh

echo "== fuzzing"
bash scripts/fuzz.sh

echo "== end-to-end tests under wine: the 32-bit and the 64-bit programs"
bash tests/e2e/run_e2e.sh

echo "== release package, built twice and compared"
bash scripts/check_release.sh
