#!/usr/bin/env bash
# The sweep a curve is drawn from (restore/lib/sweep.h) against one run of its tool, Wiener and
# the inverse filter, on the camera sample blurred with psf1A and noised by snoise at 1024² and
# at 4000 × 3000 (12 MP): medians of RUNS runs (3 by default, 1 at 12 MP), and peak memory;
# then, at 1024², every restoration of the menu compared (both curves, the two steps).
#
#   bench/sweep.sh                   # builds into build-bench/ if needed
#   BUILD_DIR=build RUNS=5 bench/sweep.sh
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=$(realpath -m "${BUILD_DIR:-$root/build-bench}")
runs=${RUNS:-3}
if [ ! -d "$build" ]; then
  cmake -S "$root" -B "$build" -G Ninja -DTAVELIO_GUI=OFF >/dev/null
fi
cmake --build "$build" --target tool_align tool_blur tool_snoise tool_wiener tool_inverse \
  bench_sweep >/dev/null
tools="$build/drive_c/qor/ejecutable/auxiliares"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
for size in 1024x1024 4000x3000; do
  folder="$work/$size"
  mkdir "$folder"
  cp "$tools/psf1A.pgm" "$folder/"
  convert "$root/data/samples/camera.pgm" -resize "$size!" -depth 8 "$folder/foto.pgm"
  (cd "$folder" && "$tools/align.exe" foto.pgm && "$tools/blur.exe" align.pgm psf1A.pgm blur.pgm \
    && "$tools/snoise.exe" blur.pgm distor.pgm)
  times=$runs methods="wiener inverse comparar"
  [ "$size" = 1024x1024 ] || times=1 methods="wiener inverse"
  for method in $methods; do
    "$build/bin/bench_sweep" "$tools" "$folder" "$method" "$times"
  done
done
