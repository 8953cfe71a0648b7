#!/usr/bin/env bash
# i_view32.exe --comparar at 1024²: the whole command, from start to the PDF written (every
# restoration of the menu, both curves, and the two steps on "Con ruido"), on the camera sample
# after "Con ruido" and after a 25-pixel motion blur, chains made with the real tools. Prints
# the median wall time, the CPU and the peak memory (/usr/bin/time's maximum resident set) of
# RUNS runs (5 by default), the figures the page ranks first, and whether the folder kept every
# byte. The target is 3 s of wall time on a 2-core machine.
#
#   bench/comparar.sh                   # builds into build-bench/ if needed
#   BUILD_DIR=build RUNS=3 bench/comparar.sh
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=$(realpath -m "${BUILD_DIR:-$root/build-bench}")
runs=${RUNS:-5}
for program in convert /usr/bin/time; do
  command -v "$program" >/dev/null || { echo "falta $program" >&2; exit 1; }
done
if [[ ! -f "$build/build.ninja" ]]; then
  cmake -S "$root" -B "$build" -G Ninja >/dev/null
fi
cmake --build "$build" --target i_view32 tool_align tool_blur tool_snoise tool_mblur >/dev/null
tools="$build/drive_c/qor/ejecutable/auxiliares"
viewer="$build/drive_c/irfanview/i_view32.exe"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
unset DISPLAY WAYLAND_DISPLAY QT_QPA_PLATFORM
echo "i_view32.exe --comparar a 1024×1024, $runs veces, $(nproc) núcleos"
for chain in ruido movimiento25; do
  folder="$work/$chain"
  mkdir "$folder"
  cd "$folder"
  cp "$tools/psf1A.pgm" "$tools/psf2A.pgm" .
  convert "$root/data/samples/camera.pgm" -resize '1024x1024!' -depth 8 foto.pgm
  "$tools/align.exe" foto.pgm >/dev/null
  if [[ $chain == ruido ]]; then
    "$tools/blur.exe" align.pgm psf1A.pgm Dis_Ruido.pgm
    "$tools/snoise.exe" Dis_Ruido.pgm distor.pgm
  else
    "$tools/mblur.exe" align.pgm 25 distor.pgm
  fi
  before=$(md5sum -- *)
  figures=()
  for ((i = 0; i < runs; i++)); do
    figures+=("$(/usr/bin/time -f '%e %U %S %M' "$viewer" --comparar "$work/$chain.pdf" \
      distor.pgm 2>&1 >/dev/null | tail -n1)")
  done
  [[ $(md5sum -- *) == "$before" ]] && kept="intacta" || kept="CAMBIADA"
  # The median of one awk expression over the runs' "wall user system peak-KB" lines.
  median() {
    printf '%s\n' "${figures[@]}" | awk "{ print $1 }" | sort -g | sed -n "$(((runs + 1) / 2))p"
  }
  peak=$(printf '%s\n' "${figures[@]}" | awk '{ print $4 / 1024 }' | sort -g | tail -n1)
  printf '  %-13s %.2f s (mediana), CPU %.2f s, pico %.0f MB; carpeta %s\n' \
    "$chain" "$(median '$1')" "$(median '$2 + $3')" "$peak" "$kept"
  if command -v pdftotext >/dev/null; then
    pdftotext -layout "$work/$chain.pdf" - | grep -E '^ *1 ' | sed -E 's/^ */    primero: /' \
      | head -n1 || true
  fi
done
