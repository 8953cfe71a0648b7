#!/usr/bin/env bash
# Every tool on large and awkward photographs, as one table: ratio to its floor and peak memory
# at 4096² and 4000 × 3000 (a 12-megapixel phone photograph), and the time on prime sides
# (1021 × 769) against 1024 × 768.
#
#   bench/photos.sh              # builds into build-bench/ if needed, at most 3 runs of each
#   BUILD_DIR=build RUNS=1 bench/photos.sh
set -euo pipefail

targets="tool_align tool_mblur tool_blur tool_snoise tool_transfor tool_motion tool_inverse
 tool_wiener tool_snr tool_shuffle tool_homo tool_hiemph imgtools_floor"
sizes="4096 4000x3000 1024x768 1021x769"
source "$(dirname "$0")/prepare.sh"
/usr/bin/python3 "$root/bench/tools.py" photos "$tools" "$build/bin/imgtools_floor" "$work" "$runs"
