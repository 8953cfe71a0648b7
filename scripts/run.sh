#!/usr/bin/env bash
# Installs what is missing, builds, installs Tavelio for this user (~/.local), prepares the
# user's drive C and starts the program in its tool folder, on the shipped samples.
# A second run with nothing changed starts at once.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/deps.sh
prefix="${TAVELIO_PREFIX:-$HOME/.local}"
if [[ ! -f build/build.ninja ]]; then
  cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_INSTALL_PREFIX="$prefix" >/dev/null
fi
cmake --build build
cmake --install build --prefix "$prefix" | grep -v "^-- Up-to-date" || true
exec "$prefix/bin/tavelio-launch"
