#!/usr/bin/env bash
# The explorer of a Wiener result (viewer/explorervalue.h), offscreen, on the camera sample
# blurred with psf1A and noised by snoise at 1024² and at 4000 × 3000 (12 MP): the time its
# curve takes, the redraw of a slider move while dragged and once let go, and peak memory.
# Targets: a move ≤ 50 ms at 1024² and ≤ 300 ms at 12 MP; the curve ≤ 1 s and ≤ 10 s; ≤ 300 MB
# at 12 MP.
#
#   BUILD_DIR=build bench/explorer.sh
#   SIZES=1024x1024 bench/explorer.sh
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=$(realpath -m "${BUILD_DIR:-$root/build}")
cmake --build "$build" --target tool_align tool_blur tool_snoise tool_wiener bench_explorer \
  >/dev/null
tools="$build/drive_c/qor/ejecutable/auxiliares"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
for size in ${SIZES:-1024x1024 4000x3000}; do
  folder="$work/$size"
  mkdir "$folder"
  cp "$tools/psf1A.pgm" "$folder/"
  convert "$root/data/samples/camera.pgm" -resize "$size!" -depth 8 "$folder/foto.pgm"
  (cd "$folder" && "$tools/align.exe" foto.pgm && "$tools/blur.exe" align.pgm psf1A.pgm blur.pgm \
    && "$tools/snoise.exe" blur.pgm distor.pgm \
    && echo | "$tools/wiener.exe" distor.pgm psf1A.pgm wiener.pgm) >/dev/null
  "$build/bin/bench_explorer" "$folder"
done
