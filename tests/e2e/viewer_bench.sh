#!/usr/bin/env bash
# The viewer as a lab bench, and mistakes that explain themselves, in a real X server.
#
#   viewer_bench.sh BUILD_DIR [SCREENSHOT_FOLDER]
#
# Driven with the keyboard through xdotool as a student would: opens camera.BMP, chooses
# "Filtro Inverso" before any distortion (its console must stay open with the tool's message
# until Enter), presses "Mostrar imagen resturada" (the viewer must say which tool failed and
# why), then distorts with structured noise, shows the distorted image and reaches each view by
# its key, then removes the noise in its console, looks at what the restoration left, saves it,
# its spectrum and the report, and copies. With a folder, the screenshots the README shows are
# written there. Exit 77 (skipped) without Xvfb, xdotool, xclip or pdftotext.
set -euo pipefail

build=$(cd "$1" && pwd)
shots=${2:+$(cd "$2" && pwd)}

for program in xclip pdftotext; do
  command -v "$program" >/dev/null || { echo "falta $program: prueba omitida"; exit 77; }
done
source "$(dirname "$0")/xsession.sh"
log="$XDG_STATE_HOME/tavelio/fallos.log"
shot() { [[ -z "$shots" || -z "$2" ]] || import -window "$1" "$shots/$2"; }
title_is() { xdotool getwindowname "$1" | grep -qxF "$2"; }
start_tavelio

open_bitmap camera.BMP
focus "$main"

# 1. Tavelio > Filtro Inverso with no distor.pgm: the console stays open with the message.
keys alt+t Down Return
wait_for 20 xdotool search --onlyvisible --class xterm || fail "no se abre el terminal de Inverse.exe"
terminal=$(xdotool search --onlyvisible --class xterm | head -n1)
wait_for 20 grep -q 'Inverse.exe.*no se puede leer el archivo «distor.pgm»: no existe' "$log" \
  || fail "el fallo de Inverse.exe no queda en $log"
sleep 2
xdotool getwindowname "$terminal" >/dev/null 2>&1 || fail "la consola se cerró tras el fallo"
pgrep -f "tavcmd /c /p Inverse.bat" >/dev/null || fail "la consola no espera a Intro"
xdotool windowsize --sync "$terminal" 760 300
sleep 0.5
shot "$terminal" consola-fallo.png
focus "$terminal"
keys Return
wait_for 10 bash -c "! xdotool getwindowname $terminal" || fail "Intro no cierra la consola"

# 2. Mostrar imagen resturada: the viewer names the tool that failed, and why.
press_show Tab space
wait_for 20 window_named '^i_view32$' || fail "el visor no avisa de que falta Inverso.pgm"
message=$(window_named '^i_view32$' | head -n1)
sleep 0.5
shot "$message" visor-falta.png
focus "$message"
keys Return
# The viewer says on standard error what its box said, and our command shell logs it.
wait_for 10 grep -q 'i_view32.exe: No se puede abrir la imagen «Inverso.pgm».*Inverse.exe no pudo leer distor.pgm: no existe. ¿Aplicó antes una distorsión?' "$log" \
  || fail "el mensaje del visor no nombra la herramienta que falló: $(tail -n1 "$log")"

# 3. Distorsionar > Ruido Estructurado, then Mostrar Imagen Distorsionada.
focus "$main"
keys alt+d Down Return
wait_for 20 test -s distor.pgm || fail "distor.pgm no aparece"
sleep 1
press_show shift+Tab space
wait_for 20 window_named '^distor\.pgm$' || fail "el visor de distor.pgm no aparece"
viewer=$(window_named '^distor\.pgm$' | head -n1)
xdotool windowsize --sync "$viewer" 760 600 windowmove --sync "$viewer" 20 20
focus "$viewer"

# 4. Each view by its key. The spectrum fitted into a view smaller than itself still shows
# the single-bin noise peaks.
view() {
  local key=$1 title=$2 file=$3
  keys "$key"
  wait_for 10 title_is "$viewer" "$title" || fail "la tecla $key no lleva a «$title»"
  sleep 0.5
  shot "$viewer" "$file"
}
# The pointer on the peak snoise.exe puts 85 cycles right of the centre, (341, 256).
xdotool mousemove --window "$viewer" $(((760 - 512) / 2 + 341)) $((42 + 256))
view e "distor.pgm — Espectro" visor-fourier.png
xdotool windowsize --sync "$viewer" 420 440
keys f
sleep 0.5
shot "$viewer" visor-fourier-ajustado.png
xdotool windowsize --sync "$viewer" 760 600
keys ctrl+0
view d "distor.pgm — Diferencia con align.pgm" visor-diferencia.png
view i "distor.pgm" ""
view b "align.pgm (en lugar de distor.pgm)" visor-parpadeo.png
view b "distor.pgm" ""
keys h
xdotool windowsize --sync "$viewer" 760 760
sleep 0.5
shot "$viewer" visor-histograma.png

keys Escape

# 5. Retiro Ruido Estructurado: Enter takes the proposed regions, and after success the console
# closes at once. The restored image's difference shows what the restoration left.
focus "$main"
keys alt+t Down Down Down Return
answer_console "snr.exe distor.pgm retiro.pgm"
wait_for 30 test -s retiro.pgm || fail "retiro.pgm no aparece"
wait_for 5 bash -c "! xdotool getwindowname $terminal" || fail "la consola no se cierra tras el éxito"
press_show Tab space
wait_for 20 window_named '^retiro\.pgm$' || fail "el visor de retiro.pgm no aparece"
viewer=$(window_named '^retiro\.pgm$' | head -n1)
xdotool windowsize --sync "$viewer" 760 600 windowmove --sync "$viewer" 20 20
focus "$viewer"
view d "retiro.pgm — Diferencia con align.pgm" visor-diferencia-retiro.png

# 6. What leaves the viewer. "Guardar como..." in Qt's own dialog, a name typed: the image with
# its own samples and the lines that say how it was made; the spectrum under the name offered;
# Ctrl+C what is shown; "Guardar informe..." the page the student hands in.
save_as() {
  local dialog=$1 typed=$2 file=$3
  wait_for 10 window_named "^$dialog\$" || fail "no se abre «$dialog»"
  focus "$(window_named "^$dialog\$" | head -n1)"
  if [[ -n $typed ]]; then
    keys ctrl+a
    xdotool type --delay 40 "$typed"
  fi
  keys Return
  wait_for 20 test -s "$file" || fail "«$dialog» no escribe $file"
  # Without a window manager nothing gives the focus back.
  focus "$viewer"
}
keys i
keys ctrl+s
save_as "Guardar como" restaurada.png restaurada.png
[[ $(compare -metric AE retiro.pgm restaurada.png null: 2>&1) == 0 ]] \
  || fail "restaurada.png no tiene los píxeles de retiro.pgm"
[[ $(identify -format %z restaurada.png) == $(identify -format %z retiro.pgm) ]] \
  || fail "restaurada.png no tiene la profundidad de retiro.pgm"
identify -verbose restaurada.png | grep -qF "snr.exe distor.pgm retiro.pgm" \
  || fail "restaurada.png no dice cómo se hizo retiro.pgm"
keys e
keys ctrl+s
save_as "Guardar como" "" retiro-espectro.png
keys ctrl+c
xclip -selection clipboard -t image/png -o >copia.png || fail "el portapapeles no tiene una imagen"
[[ $(compare -metric AE copia.png retiro-espectro.png null: 2>&1) == 0 ]] \
  || fail "Ctrl+C no copia el espectro que se guardó"
keys alt+a
sleep 0.5
[[ -z "$shots" ]] || import -window root -crop 330x150+20+20 "$shots/visor-archivo.png"
keys i
wait_for 10 window_named "^Guardar informe\$" || fail "no se abre «Guardar informe»"
focus "$(window_named "^Guardar informe\$" | head -n1)"
keys Return
# Then the conclusions, in a dialog of their own: Tab leaves the field for "Guardar".
wait_for 10 window_named "^Conclusiones de informe-retiro.pdf\$" \
  || fail "no se piden las conclusiones"
focus "$(window_named "^Conclusiones de informe-retiro.pdf\$" | head -n1)"
xdotool type --delay 40 "Se recupera casi todo."
keys Tab Return
wait_for 20 test -s informe-retiro.pdf || fail "«Guardar informe» no escribe informe-retiro.pdf"
focus "$viewer"
pdftotext informe-retiro.pdf - | grep -qF "snr.exe distor.pgm retiro.pgm" \
  || fail "el informe no dice cómo se hizo retiro.pgm"
pdftotext informe-retiro.pdf - | grep -qF "Se recupera casi todo." \
  || fail "el informe no lleva las conclusiones escritas"
[[ -z "$shots" ]] || pdftoppm -png -r 60 -singlefile informe-retiro.pdf "$shots/informe"
keys Escape

# 7. The same measures for scripts, without a window.
measures=$("$build/drive_c/irfanview/i_view32.exe" --medidas retiro.pgm)
grep -q '^SSIM 0\.' <<<"$measures" || fail "--medidas no da el SSIM: $measures"
echo "$measures"
echo "1 passed, 0 failed"
