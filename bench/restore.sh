#!/usr/bin/env bash
# The restoration tools (motion, Inverse, wiener, snr, shuffle, homo, hiemph) against their
# floors at 512² and 2048², the first steps of the chains, wiener.exe at 512² in instructions
# (callgrind), and wiener.exe against scikit-image's restoration.wiener at 2048² and 4096².
#
#   bench/restore.sh             # builds into build-bench/ if needed, 5 runs of each
#   BUILD_DIR=build RUNS=9 bench/restore.sh
set -euo pipefail

targets="tool_align tool_mblur tool_blur tool_snoise tool_motion tool_inverse tool_wiener
 tool_snr tool_shuffle tool_homo tool_hiemph imgtools_floor"
sizes="512 2048 4096"
source "$(dirname "$0")/prepare.sh"
/usr/bin/python3 "$root/bench/tools.py" restore "$tools" "$build/bin/imgtools_floor" "$work" "$runs"
