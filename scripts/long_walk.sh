#!/usr/bin/env bash
# A long walk of the user's world: the rows random-world (endpoint) and random-world-xp (mixer) of
# the end-to-end suite, in both builds, with STEPS steps each (default 2000) and a seed of their
# own (E2E_SEED repeats one). Not part of scripts/test.sh: about 7 minutes per row and build.
#
#   bash scripts/long_walk.sh [STEPS]
set -euo pipefail
cd "$(dirname "$0")/.."
start=$(date +%s)
E2E_WALK_STEPS="${1:-2000}" bash tests/e2e/run_e2e.sh random-world random-world-xp
echo "long walk: $(($(date +%s) - start)) s"
