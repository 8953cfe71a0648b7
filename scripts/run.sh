#!/usr/bin/env bash
# Installs what is missing, builds what running needs (no tests), installs Tavelio for this
# user (~/.local, or TAVELIO_PREFIX), prepares the user's drive C and starts the program in
# its tool folder, on the shipped samples. A second run with nothing changed starts at once.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/deps.sh
prefix="${TAVELIO_PREFIX:-$HOME/.local}"
if [[ ! -f build/build.ninja ]]; then
  cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_INSTALL_PREFIX="$prefix" >/dev/null
fi
cmake --build build --target programs
# Programs that an older layout kept among the data: once gone, the links of drive C that
# lead to them dangle and are made again, to lib/tavelio, at the next start.
find "$prefix/share/tavelio/drive_c" -name '*.exe' -delete 2>/dev/null || true
cmake --install build --prefix "$prefix" | grep -v "^-- Up-to-date" || true
exec "$prefix/bin/tavelio-launch"
