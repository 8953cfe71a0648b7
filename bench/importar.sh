#!/usr/bin/env bash
# tavelio-importar on phone photographs: the time and the peak memory of importing a 48- and a
# 108-megapixel JPEG and a 12- and a 48-megapixel HEIC at the teaching size, and the 48-megapixel
# JPEG kept whole (--tamano-completo). The photographs are made here: a gradient with grain
# (bench_phone_photo), and heif-enc for HEIC, 4:2:0 as a phone writes it.
#
#   bench/importar.sh            # builds into build/ if needed, 3 runs of each
#   BUILD_DIR=build-x RUNS=5 bench/importar.sh
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=$(realpath -m "${BUILD_DIR:-$root/build}")
runs=${RUNS:-3}
if [ ! -d "$build" ]; then
  cmake -S "$root" -B "$build" -G Ninja >/dev/null
fi
cmake --build "$build" --target tavelio-importar bench_phone_photo >/dev/null

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export TAVELIO_DRIVE_C="$work/drive_c"
"$build/bin/bench_phone_photo" 8000 6000 "$work/p48.jpg"
"$build/bin/bench_phone_photo" 12000 9000 "$work/p108.jpg"
"$build/bin/bench_phone_photo" 4032 3024 "$work/p12.jpg"
heif-enc -q 80 -p chroma=420 "$work/p12.jpg" -o "$work/p12.heic" >/dev/null
heif-enc -q 80 -p chroma=420 "$work/p48.jpg" -o "$work/p48.heic" >/dev/null

# One import: "seconds peak-MB".
measure() {
  /usr/bin/time -f '%e %M' -o "$work/time" \
    "$build/bin/tavelio-importar" --sin-recortar --reemplazar "$@" >/dev/null 2>&1
  awk '{ printf "%s %.0f\n", $1, $2 / 1024 }' "$work/time"
}

printf '%-34s %10s %10s %10s\n' photograph "file MB" "best s" "peak MB"
for case in "p48.jpg" "p108.jpg" "p12.heic" "p48.heic" "--tamano-completo p48.jpg"; do
  file=${case##* }
  options=${case% *}; [ "$options" != "$case" ] || options=""
  best=""; peak=0
  for _ in $(seq "$runs"); do
    # shellcheck disable=SC2086
    read -r seconds megabytes < <(measure $options "$work/$file" bench)
    if [ -z "$best" ] || awk "BEGIN { exit !($seconds < $best) }"; then best=$seconds; fi
    [ "$megabytes" -gt "$peak" ] && peak=$megabytes
  done
  size=$(stat -c %s "$work/$file")
  printf '%-34s %10.1f %10s %10s\n' "$case" "$(awk "BEGIN { print $size / 1048576 }")" "$best" "$peak"
done
