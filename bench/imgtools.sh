#!/usr/bin/env bash
# The distortion tools (align, mblur, blur, snoise, transfor) against their floors at 512² and
# 2048² (see bench/tools.py for what a floor is).
#
#   bench/imgtools.sh            # builds into build-bench/ if needed, 5 runs of each
#   BUILD_DIR=build RUNS=9 bench/imgtools.sh
set -euo pipefail

targets="tool_align tool_mblur tool_blur tool_snoise tool_transfor tool_shuffle tool_hiemph
 imgtools_floor"
sizes="512 2048"
source "$(dirname "$0")/prepare.sh"
/usr/bin/python3 "$root/bench/tools.py" imgtools "$tools" "$build/bin/imgtools_floor" "$work" "$runs"
