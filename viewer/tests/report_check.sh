#!/usr/bin/env bash
# i_view32.exe --informe with no display: the report of a small chain made with the real tools
# is one A4 page that holds the figures --medidas prints and the lines the tools wrote; a
# refusal is one line, a non-zero status and no PDF. Exit 77 (skipped) without pdftotext.
#
#   report_check.sh BUILD_DIR
set -euo pipefail

command -v pdftotext >/dev/null || { echo "falta pdftotext (poppler-utils): prueba omitida"; exit 77; }
build=$(cd "$1" && pwd)
tools="$build/drive_c/qor/ejecutable/auxiliares"
viewer="$build/drive_c/irfanview/i_view32.exe"
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
cd "$scratch"
fail() { echo "FALLO: $*" >&2; exit 1; }

"$tools/align.exe" "$tools/camera.pgm" >/dev/null
"$tools/mblur.exe" align.pgm 25 distor.pgm
"$tools/motion.exe" distor.pgm 25 mov25.pgm

unset DISPLAY WAYLAND_DISPLAY QT_QPA_PLATFORM
conclusions="El filtro recupera la imagen casi entera."
"$viewer" --informe informe.pdf mov25.pgm --conclusiones "$conclusions" \
  || fail "--informe no escribe el informe"
pdfinfo informe.pdf | grep -Eq '^Pages: +1$' || fail "el informe no es de una página"
pdfinfo informe.pdf | grep -q '(A4)' || fail "el informe no es A4"
text=$(pdftotext informe.pdf -)
for image in distor.pgm mov25.pgm; do
  while read -r measure value _; do
    grep -qF "$measure ${value/./,}" <<<"$text" || fail "el informe no da $measure $value de $image"
  done < <("$viewer" --medidas "$image")
done
for line in "mblur.exe align.pgm 25 distor.pgm" "motion.exe distor.pgm 25 mov25.pgm"; do
  grep -qF "$line" <<<"$text" || fail "el informe no dice «$line»"
done

# Letters as written, without ligatures: a search for "filtro" finds it.
! grep -q $'\xef\xac' <<<"$text" || fail "el texto del informe tiene ligaduras"
# The method in the menu's words, its explanation and the student's conclusions.
for said in "Con movimiento igual a 25" "Eliminamos la distorsión provocado por el movimiento" \
  "$conclusions"; do
  grep -qF "$said" <<<"$text" || fail "el informe no dice «$said»"
done
# The FFT is no restoration: no dB figure.
"$tools/transfor.exe" align.pgm FFT.pgm
"$viewer" --informe fft.pdf FFT.pgm
! pdftotext fft.pdf - | grep -q "dB" || fail "el informe de FFT.pgm da dB"
# Another photograph opened since: no figure against it, and align.pgm named.
"$tools/align.exe" "$tools/coins.pgm" >/dev/null
"$viewer" --informe viejo.pdf mov25.pgm
stale=$(pdftotext viejo.pdf -)
! grep -q "dB" <<<"$stale" || fail "el informe da dB frente a otra fotografía"
grep -q "align.pgm se hizo de coins.pgm" <<<"$stale" || fail "el informe no dice que align.pgm es otra"

# Conclusions at the limit fit; one character more is refused, in one line, before any PDF.
limit=$(printf 'x%.0s' $(seq 3000))
"$viewer" --informe limite.pdf mov25.pgm --conclusiones "$limit" || fail "3000 caracteres no caben"
pdfinfo limite.pdf | grep -Eq '^Pages: +[12]$' || fail "el informe al límite pasa de dos páginas"
status=0
error=$("$viewer" --informe largo.pdf mov25.pgm --conclusiones "${limit}x" 2>&1) || status=$?
[[ $status == 2 && $(wc -l <<<"$error") == 1 && $error == *3000* ]] \
  || fail "conclusiones de más: estado $status, «$error»"
[[ ! -e largo.pdf ]] || fail "conclusiones de más: se escribe largo.pdf"

echo basura >rota.pgm
for arguments in "mal.pdf rota.pgm" "no/existe/mal.pdf mov25.pgm" "mal.pdf falta.pgm"; do
  # shellcheck disable=SC2086
  if error=$("$viewer" --informe $arguments 2>&1); then fail "--informe $arguments no falla"; fi
  [[ $(wc -l <<<"$error") == 1 && $error == "i_view32.exe: "* ]] \
    || fail "--informe $arguments no da una línea: $error"
  ! ls | grep -q mal || fail "--informe $arguments deja $(ls | grep mal)"
done
echo "informe de mov25.pgm: $(grep -c . <<<"$text") líneas de texto, con las medidas de --medidas"
