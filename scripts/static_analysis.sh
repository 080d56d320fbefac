#!/usr/bin/env bash
# Static analysis; fails on any finding.
# - clang-tidy (.clang-tidy) over the portable sources, the unit tests
#   and the memory benchmark with the native build's compile_commands.json, over the fuzz
#   target, and over the Win32 code of both programs for both Windows targets, on the mingw
#   headers.
# - cppcheck over the same sources, and over the Win32 code with cppcheck's own description of
#   the Windows API (the mingw headers themselves are not parsed). Suppressions, each with its
#   reason, are in .cppcheck-suppressions.
set -euo pipefail
cd "$(dirname "$0")/.."

cmake --preset native >/dev/null  # writes build/native/compile_commands.json

portable=(common/*.cpp tacetto/*.cpp bench/config_memory.cpp)
unit=(tests/unit/*.cpp)
fuzz=(tests/fuzz/*.cpp)  # built only by the fuzz preset: compiled here with plain options
win32=(common/win32/*.cpp tacetto/win32/*.cpp tastrel/win32/*.cpp)

status=0

echo "== clang-tidy"
log=build/native/clang-tidy.log
if ! printf '%s\n' "${portable[@]}" |
    xargs -P "$(nproc)" -n 1 clang-tidy -p build/native --quiet >"$log" 2>&1; then
  status=1
fi
# The unit tests without the static analyzer: its path exploration through GoogleTest's macros
# takes some twenty seconds a file and finds nothing the tests themselves would not.
if ! printf '%s\n' "${unit[@]}" | xargs -P "$(nproc)" -n 1 clang-tidy -p build/native --quiet \
    --checks=-clang-analyzer-* >>"$log" 2>&1; then
  status=1
fi
if ! clang-tidy --quiet "${fuzz[@]}" -- -std=c++17 -I . >>"$log" 2>&1; then
  status=1
fi
for target in i686-w64-mingw32 x86_64-w64-mingw32; do
  cxx="/usr/lib/gcc/$target/12-win32/include/c++"
  if ! printf '%s\n' "${win32[@]}" |
      xargs -P "$(nproc)" -I '{}' clang-tidy --quiet '{}' -- -std=c++17 \
        --target="$target" -I . -isystem "$cxx" -isystem "$cxx/$target" \
        -isystem "/usr/$target/include" -DWIN32_LEAN_AND_MEAN -DNOMINMAX >>"$log" 2>&1; then
    status=1
  fi
done
# Everything but clang-tidy's counts of the warnings it did not show.
grep -v -e ' warnings\? generated\.$' -e '^Suppressed [0-9]* warnings' \
  -e '^Use -header-filter=' -e '^Use -system-headers' "$log" || true
if ((status != 0)); then
  echo "static analysis: clang-tidy found faults" >&2
fi

cppcheck_options=(--enable=warning,style,performance,portability --std=c++17 --language=c++
                  --inline-suppr --error-exitcode=1 --quiet --suppress=missingIncludeSystem
                  --suppressions-list=.cppcheck-suppressions -I .)

echo "== cppcheck"
if ! cppcheck "${cppcheck_options[@]}" --library=googletest "${portable[@]}" "${unit[@]}" \
    "${fuzz[@]}"; then
  echo "static analysis: cppcheck found faults in the portable sources" >&2
  status=1
fi
if ! cppcheck "${cppcheck_options[@]}" --library=windows --platform=win32A "${win32[@]}"; then
  echo "static analysis: cppcheck found faults in the Win32 adapters" >&2
  status=1
fi

if ((status == 0)); then
  echo "static analysis: no findings"
fi
exit "$status"
