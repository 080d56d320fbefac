#!/usr/bin/env bash
# Peak memory of the configuration reader on huge files (bench/config_memory.cpp), each case in
# its own process, against a baseline of the same program doing nothing. Prints a table.
# The 1 GiB first line is made up while it is read; with BENCH_REAL_FILE=1 (and 2 GiB free in
# /tmp) the same content is also written to /tmp and read back with read(2).
set -euo pipefail
cd "$(dirname "$0")/.."

cmake --preset native >/dev/null
cmake --build --preset native -j"$(nproc)" --target config_memory >/dev/null
program=build/native/config_memory

line_bytes=$((1 << 30))
work="$(mktemp -d /tmp/config_memory.XXXXXX)"
trap 'rm -rf "$work"' EXIT

# A million lines: device, an empty line, hotkey, then "8" over and over.
{
  printf '0\r\n\r\n1\r\n'
  awk 'BEGIN { for (i = 0; i < 1000000; ++i) printf "8\r\n" }'
} >"$work/million_lines.cfg"

rows=()
run() {  # label, file size, arguments
  local label="$1" size="$2"
  shift 2
  local out
  out="$("$program" "$@")"
  read -r _ bytes peak values <<<"$out"
  rows+=("$(printf '%-26s %14s %14s %14s   %s' "$label" "$size" "$bytes" "$peak" "$values")")
}

run "baseline (does nothing)" - baseline
run "1 GiB first line (made up)" "$((line_bytes + 11))" long-line "$line_bytes"
run "a million lines" "$(stat -c %s "$work/million_lines.cfg")" file "$work/million_lines.cfg"

if [[ "${BENCH_REAL_FILE:-0}" == 1 ]]; then
  free_kib="$(df -Pk /tmp | awk 'NR == 2 { print $4 }')"
  if ((free_kib > 2 * 1024 * 1024)); then
    {
      printf '1'
      head -c $((line_bytes - 1)) /dev/zero | tr '\0' '0'
      printf '\r\n0\r\n1234\r\n'
    } >"$work/long_line.cfg"
    run "1 GiB first line (file)" "$(stat -c %s "$work/long_line.cfg")" file "$work/long_line.cfg"
    rm -f "$work/long_line.cfg"
  else
    echo "bench: less than 2 GiB free in /tmp; the real 1 GiB file is left out" >&2
  fi
fi

printf '%-26s %14s %14s %14s   %s\n' "case" "file bytes" "bytes read" "peak RSS KiB" \
  "the six values"
printf '%s\n' "${rows[@]}"
