#!/usr/bin/env bash
# i_view32.exe --comparar with no display, on chains made with the real tools: the student's
# folder keeps every file byte for byte (and its time) with only the PDF added; on a 25-pixel
# motion blur its motion removal ranks above the inverse filter, and on "Con ruido" the two
# steps rank first; a restoration instead of a distortion gives one line and the bad-input status.
#
#   compare_check.sh BUILD_DIR
set -euo pipefail

build=$(cd "$1" && pwd)
tools="$build/drive_c/qor/ejecutable/auxiliares"
viewer="$build/drive_c/irfanview/i_view32.exe"
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
cd "$scratch"
fail() { echo "FALLO: $*" >&2; exit 1; }
unset DISPLAY WAYLAND_DISPLAY QT_QPA_PLATFORM

# The methods as the page lists them, best first.
ranking() {
  pdftotext -layout "$1" - | grep -oE '^ *[0-9]+ +(Con movimiento igual a [0-9]+|Filtro Inverso|Filtro Wiener|Retiro Ruido Estructurado( \+ Filtro Wiener)?)' \
    | sed -E 's/^ *[0-9]+ +//'
}

# Compares in the folder and checks that nothing but the PDF changed.
compare() {
  local listing
  listing=$(stat -c '%n %s %Y' -- * && md5sum -- *)
  "$viewer" --comparar comparacion.pdf distor.pgm || fail "--comparar falla"
  [[ -s comparacion.pdf ]] || fail "no hay comparacion.pdf"
  mv comparacion.pdf "../$1.pdf"
  [[ $(stat -c '%n %s %Y' -- * && md5sum -- *) == "$listing" ]] \
    || fail "--comparar ha tocado la carpeta del alumno"
}

mkdir mov ruido
cd mov
cp "$tools/psf1A.pgm" "$tools/psf2A.pgm" .
"$tools/align.exe" "$tools/coins.pgm" >/dev/null
"$tools/mblur.exe" align.pgm 25 distor.pgm
"$tools/motion.exe" distor.pgm 25 mov25.pgm
compare mov
cd ../ruido
cp "$tools/psf1A.pgm" "$tools/psf2A.pgm" .
"$tools/align.exe" "$tools/coins.pgm" >/dev/null
"$tools/blur.exe" align.pgm psf1A.pgm Dis_Ruido.pgm
"$tools/snoise.exe" Dis_Ruido.pgm distor.pgm
compare ruido

cd ../mov
status=0
out=$("$viewer" --comparar otra.pdf mov25.pgm 2>../err.txt) || status=$?
[[ $status == 2 && -z $out && $(wc -l <../err.txt) == 1 && ! -e otra.pdf ]] \
  || fail "--comparar mov25.pgm: estado $status, error «$(cat ../err.txt)»"

if ! command -v pdftotext >/dev/null; then
  echo "--comparar no toca la carpeta (sin pdftotext no se lee el orden)"
  exit 0
fi
cd ..
mov=$(ranking mov.pdf)
[[ $(grep -nx 'Con movimiento igual a 25' <<<"$mov" | cut -d: -f1) -lt \
   $(grep -nx 'Filtro Inverso' <<<"$mov" | cut -d: -f1) ]] \
  || fail "en un movimiento de 25, el orden es: $mov"
first=$(ranking ruido.pdf | head -n1)
[[ $first == "Retiro Ruido Estructurado + Filtro Wiener" ]] \
  || fail "con ruido, el primero es «$first»"
echo "--comparar no toca la carpeta; movimiento 25 antes que el inverso; con ruido, primero $first"
