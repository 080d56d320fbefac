#!/usr/bin/env bash
# Refreshes the pictures in docs/ from the real programs on a virtual display:
#   docs/volume-window-start.png, docs/volume-window-muted.png, docs/probe-window.png,
#   docs/windows-150-percent.png (all taken by scripts/demo.sh)
#
#   bash scripts/update_screenshots.sh
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
docs="$root/docs"
mkdir -p "$docs"

# The demo takes its pictures only on a virtual display.
env -u DISPLAY E2E_SCREENSHOT_DIR="$docs" bash "$root/scripts/demo.sh"

echo "pictures in $docs:"
ls -l "$docs"/*.png
