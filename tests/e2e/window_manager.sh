#!/usr/bin/env bash
# The main window and the About box under a real window manager (openbox), end to end.
#
#   window_manager.sh BUILD_DIR
#
# The main window, resized once, then started and ended with "&Salir" three times in a row,
# keeps its outer frame to the pixel: a frame counted twice would grow it at every start. The
# About box, moved and resized, comes back at its designed size wherever the window manager
# puts it, after "Aceptar" and after its close box. Exit 77 (skipped) without openbox.
set -euo pipefail

build=$(cd "$1" && pwd)
command -v openbox >/dev/null || { echo "falta openbox: prueba omitida"; exit 77; }
source "$(dirname "$0")/xsession.sh"

openbox >"$scratch/openbox.log" 2>&1 &
pids+=($!)
wait_for 10 xprop -root _NET_SUPPORTING_WM_CHECK || fail "openbox no arranca"
# xprop answers before openbox manages windows; one more moment.
sleep 1

framed() { xprop -id "$main" _NET_FRAME_EXTENTS | grep -q ' = '; }
start_framed() {
  start_tavelio
  wait_for 10 framed || fail "openbox no enmarca la ventana"
  sleep 0.5 # the frame reaches the program after the first paint
}
# The client area: left,top widthxheight.
geometry() {
  xwininfo -id "$1" | awk '/Absolute upper-left X/ { x = $4 } /Absolute upper-left Y/ { y = $4 }
    /Width:/ { w = $2 } /Height:/ { h = $2 } END { print x "," y " " w "x" h }'
}
placement() { grep '^Main' "$XDG_CONFIG_HOME/Nerbo1/Nerbo1.conf" | tr '\n' ' '; }
salir() {
  focus "$main"
  keys alt+a s
  wait "${pids[-1]}" || fail "Tavelio termina con error"
}

start_framed
xdotool windowsize --sync "$main" 700 650
sleep 0.5
salir
saved=$(placement)
client=""
for run in 1 2 3; do
  start_framed
  shown=$(geometry "$main")
  [[ -z "$client" || "$shown" == "$client" ]] || fail "arranque $run: ventana $shown, antes $client"
  client=$shown
  salir
  [[ "$(placement)" == "$saved" ]] || fail "arranque $run: guardado $(placement), antes $saved"
done
echo "tres arranques: $client; $saved"

# The About box: A&yuda > Acerca de Tavelio.
start_framed
about() {
  focus "$main"
  keys alt+y Return
  wait_for 10 window_named '^Form1$' || fail "el cuadro Acerca de no aparece"
  form=$(window_named '^Form1$' | head -n1)
  sleep 0.5
}
about
designed=$(geometry "$form")
[[ "$designed" == *" 581x508" ]] || fail "Form1 abre con $designed"
for close in "Tab space" "alt+F4"; do
  xdotool windowmove --sync "$form" 300 250 windowsize --sync "$form" 320 200
  sleep 0.5
  moved=$(geometry "$form")
  focus "$form"
  keys $close
  wait_for 10 bash -c "! xdotool search --onlyvisible --name '^Form1$'" || fail "Form1 no se cierra ($close)"
  about
  again=$(geometry "$form")
  [[ "$again" == *" 581x508" && "$again" != "$moved" ]] \
    || fail "Form1 vuelve con $again tras $moved ($close)"
done
echo "Form1: $designed; vuelve igual tras moverlo: $again"
salir
