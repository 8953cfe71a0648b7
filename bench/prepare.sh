# Sourced by the tool benchmarks after they set `targets`: builds those targets into $build
# (build-bench/ unless BUILD_DIR names another), sets `tools` to the build tree's tool folder
# and makes a scratch folder `work`, removed on exit, holding both PSFs and the camera sample
# at 512² and 2048² as img512.pgm and img2048.pgm.

root=$(cd "$(dirname "$0")/.." && pwd)
build=$(realpath -m "${BUILD_DIR:-$root/build-bench}")
runs=${RUNS:-5}
if [ ! -d "$build" ]; then
  cmake -S "$root" -B "$build" -G Ninja -DTAVELIO_GUI=OFF >/dev/null
fi
# shellcheck disable=SC2086
cmake --build "$build" --target $targets >/dev/null

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
tools="$build/drive_c/qor/ejecutable/auxiliares"
cp "$tools/psf1A.pgm" "$tools/psf2A.pgm" "$work/"
for side in 512 2048; do
  convert "$root/data/samples/camera.pgm" -resize "${side}x${side}!" -depth 8 "$work/img$side.pgm"
done
