# Sourced by the tool benchmarks after they set `targets` and `sizes`: builds those targets
# into $build (build-bench/ unless BUILD_DIR names another), sets `tools` to the build tree's
# tool folder and makes a scratch folder `work`, removed on exit, holding both PSFs and the
# camera sample at each size of `sizes` (W or WxH) as imgW.pgm or imgWxH.pgm. scikit-image,
# which the Wiener comparison runs, is installed from Debian when it is missing.

root=$(cd "$(dirname "$0")/.." && pwd)
build=$(realpath -m "${BUILD_DIR:-$root/build-bench}")
runs=${RUNS:-5}
if [ ! -d "$build" ]; then
  cmake -S "$root" -B "$build" -G Ninja -DTAVELIO_GUI=OFF >/dev/null
fi
# shellcheck disable=SC2086
cmake --build "$build" --target $targets bench_spawn >/dev/null

if ! /usr/bin/python3 -c "import skimage" 2>/dev/null; then
  sudo=""; [ "$(id -u)" -eq 0 ] || sudo=sudo
  $sudo apt-get install -y python3-skimage >/dev/null
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
tools="$build/drive_c/qor/ejecutable/auxiliares"
cp "$tools/psf1A.pgm" "$tools/psf2A.pgm" "$work/"
for size in ${sizes:-512 2048}; do
  geometry=$size; [[ $size == *x* ]] || geometry="${size}x$size"
  convert "$root/data/samples/camera.pgm" -resize "$geometry!" -depth 8 "$work/img$size.pgm"
done
