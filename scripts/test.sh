#!/usr/bin/env bash
# Installs what is missing, builds with warnings as errors and runs every test headless:
# the unit and window tests (offscreen), the tools' quality tests, the end-to-end run in a
# real X server, and a short fuzzing run of the image reader (FUZZ_SECONDS, default 60).
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/deps.sh --test
cmake -S . -B build-test -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTAVELIO_WERROR=ON >/dev/null
cmake --build build-test
bash scripts/fuzz.sh
export QT_QPA_PLATFORM=offscreen
(cd build-test && ctest --output-on-failure -j2)
