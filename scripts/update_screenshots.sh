#!/usr/bin/env bash
# Refreshes the pictures in docs/ from the real programs on a virtual display:
#   docs/volume-window-start.png, docs/volume-window-muted.png  (scripts/demo.sh)
#   docs/probe-window.png                                        (the probe tool's scenario)
#
#   bash scripts/update_screenshots.sh
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
docs="$root/docs"
mkdir -p "$docs"

# The demo takes its pictures only on a virtual display.
env -u DISPLAY E2E_SCREENSHOT_DIR="$docs" bash "$root/scripts/demo.sh"

# The probe tool's window with its answer, from the end-to-end scenario that pictures it.
probe_scenario=tastrel-ctrl-alt-m
if grep -qs "\"$probe_scenario\"" "$root"/tests/e2e/*_scenarios.cpp; then
  env -u DISPLAY E2E_SCREENSHOT_DIR="$docs" \
    bash "$root/tests/e2e/run_e2e.sh" "$root/build/win64/bin" "$probe_scenario"
fi

echo "pictures in $docs:"
ls -l "$docs"/*.png
