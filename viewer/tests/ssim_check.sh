#!/usr/bin/env bash
# i_view32.exe --medidas against scikit-image: makes the images of ssim_reference.txt again
# with the real tools and checks that the viewer's SSIM of each lies within 0.001 of the
# stored value. No Python needed.
#
#   ssim_check.sh BUILD_DIR
set -euo pipefail

build=$(cd "$1" && pwd)
here=$(cd "$(dirname "$0")" && pwd)
source "$here/sample_runs.sh"
tools="$build/drive_c/qor/ejecutable/auxiliares"
viewer="$build/drive_c/irfanview/i_view32.exe"
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

failed=0 checked=0 worst=0
for sample in camera coins text; do
  mkdir "$scratch/$sample"
  sample_images "$tools" "$tools/$sample.pgm" "$scratch/$sample"
done
while read -r sample name expected; do
  [[ $sample == \#* ]] && continue
  measured=$(cd "$scratch/$sample" && "$viewer" --medidas "$name.pgm" | awk '$1 == "SSIM" { print $2 }')
  difference=$(awk -v a="$measured" -v b="$expected" 'BEGIN { d = a - b; printf "%.6f", d < 0 ? -d : d }')
  worst=$(awk -v a="$difference" -v b="$worst" 'BEGIN { print (a > b ? a : b) }')
  checked=$((checked + 1))
  if awk -v d="$difference" 'BEGIN { exit !(d > 0.001) }'; then
    echo "FALLO: $sample $name: SSIM $measured, scikit-image $expected" >&2
    failed=$((failed + 1))
  fi
done <"$here/ssim_reference.txt"

((checked == 51)) || { echo "FALLO: $checked valores en lugar de 51" >&2; exit 1; }
echo "$checked imágenes, diferencia máxima con scikit-image $worst"
((failed == 0))
