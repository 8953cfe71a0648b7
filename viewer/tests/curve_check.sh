#!/usr/bin/env bash
# i_view32.exe --curva with no display, on a chain made with the real tools: a Wiener result
# gives a k table of at least 40 rows; a motion removal, or a result whose distor.pgm was made
# again since, gives one line, the bad-input status and nothing on standard output.
#
#   curve_check.sh BUILD_DIR
set -euo pipefail

build=$(cd "$1" && pwd)
tools="$build/drive_c/qor/ejecutable/auxiliares"
viewer="$build/drive_c/irfanview/i_view32.exe"
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
cd "$scratch"
fail() { echo "FALLO: $*" >&2; exit 1; }

cp "$tools/psf1A.pgm" .
"$tools/align.exe" "$tools/coins.pgm" >/dev/null
"$tools/blur.exe" align.pgm psf1A.pgm blur.pgm
"$tools/snoise.exe" blur.pgm distor.pgm
echo 0.001 | "$tools/wiener.exe" distor.pgm psf1A.pgm wiener.pgm >/dev/null
"$tools/motion.exe" distor.pgm 25 mov25.pgm

unset DISPLAY WAYLAND_DISPLAY QT_QPA_PLATFORM
table=$("$viewer" --curva wiener.pgm) || fail "--curva wiener.pgm falla"
[[ $(head -n1 <<<"$table") == "k;PSNR;SSIM" ]] || fail "la tabla no empieza por k;PSNR;SSIM"
rows=$(grep -cE '^[0-9e,+-]+;[0-9]+,[0-9]{2};[0-9],[0-9]{4}$' <<<"$table")
((rows >= 40)) || fail "la tabla tiene $rows filas"
grep -q '^0,001;' <<<"$table" || fail "la tabla no tiene la k del resultado"

refused() {
  local out status=0
  out=$("$viewer" --curva "$1" 2>err.txt) || status=$?
  [[ $status == 2 && -z $out && $(wc -l <err.txt) == 1 ]] \
    || fail "--curva $1: estado $status, salida «$out», error «$(cat err.txt)»"
}
refused mov25.pgm
"$tools/blur.exe" align.pgm psf1A.pgm distor.pgm
refused wiener.pgm
echo "--curva wiener.pgm: $rows filas; mov25.pgm y un distor.pgm rehecho, rechazados"
