#!/usr/bin/env bash
# Installs what is missing and runs every test headless, on one build: the Debian package's
# (scripts/package.sh, warnings as errors, build tree build-deb), then a short fuzzing run of
# the image reader (FUZZ_SECONDS, default 30), the unit and window tests (offscreen), the
# tools' quality tests and the end-to-end runs in a real X server on that build tree, and last
# the package as a lab installs it (scripts/acceptance.sh: installed, two students without
# root, purged). Needs root or sudo for the last step.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/deps.sh --test
DEB_BUILD_OPTIONS="nocheck noddebs" bash scripts/package.sh
FUZZ_SECONDS=${FUZZ_SECONDS:-30} bash scripts/fuzz.sh
(cd build-deb && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j2)
bash scripts/acceptance.sh build-deb
