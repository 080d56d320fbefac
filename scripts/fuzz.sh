#!/usr/bin/env bash
# Builds the fuzz targets (clang, libFuzzer, AddressSanitizer, UndefinedBehaviorSanitizer) and
# runs each for FUZZ_SECONDS (default 60) from its committed seed corpus. Fails on any finding;
# prints the executions run per target. Builds into FUZZ_BUILD_DIR (default build/fuzz); inputs
# found on the way stay in its work/ folder, and a failing input lands in its artifacts/.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds="${FUZZ_SECONDS:-60}"
build="${FUZZ_BUILD_DIR:-build/fuzz}"

cmake --preset fuzz -B "$build" >/dev/null
cmake --build "$build" -j"$(nproc)"

# target and longest input: a configuration file spanning several reads of the reader's buffer,
# its first line a number text long enough for many digits, exponents and padding.
targets=("config:8192")

declare -A runs
status=0
for entry in "${targets[@]}"; do
  target="${entry%%:*}"
  max_len="${entry##*:}"
  work="$build/work/$target"
  artifacts="$build/artifacts/$target/"
  log="$build/$target.log"
  mkdir -p "$work" "$artifacts"
  echo "== fuzz $target for ${seconds}s"
  if ! "$build/tests/fuzz/${target}_fuzz" -max_total_time="$seconds" -max_len="$max_len" \
      -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 -artifact_prefix="$artifacts" \
      "$work" "tests/fuzz/corpus/$target" >"$log" 2>&1; then
    echo "fuzz: $target found a fault; see $log and $artifacts" >&2
    tail -n 40 "$log" >&2
    status=1
  fi
  runs[$target]="$(sed -n 's/^Done \([0-9]*\) runs in .*/\1/p' "$log" | tail -n 1)"
  if [[ -z "${runs[$target]}" ]]; then
    echo "fuzz: $target did not finish its run" >&2
    status=1
  fi
done

echo "== fuzz executions in ${seconds}s per target"
for entry in "${targets[@]}"; do
  target="${entry%%:*}"
  printf '%-16s %12s runs\n' "$target" "${runs[$target]:-none}"
done
exit "$status"
