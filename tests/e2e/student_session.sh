#!/usr/bin/env bash
# A student's first session, end to end, in a real X server.
#
#   student_session.sh BUILD_DIR [SCREENSHOT.png]
#
# Starts Xvfb, prepares a fresh drive C from the build tree, starts Tavelio in its tool folder
# and drives it with the keyboard through xdotool as a person would: opens camera.BMP through
# the dialog, distorts it with a motion of 25, removes that motion, presses both show buttons,
# runs "Filtro Wiener", whose terminal window is answered with Enter, and opens the About box
# and its system information. Checks the working images the real tools write and the windows
# that open. Exit 77 (skipped) when there is no Xvfb or xdotool. TAVELIO_INSTALLED=/usr runs
# the installed package instead of the build tree (see xsession.sh).
set -euo pipefail

build=$(cd "$1" && pwd)
screenshot=${2:-}

source "$(dirname "$0")/xsession.sh"
start_tavelio

# 1. A&brir...: the dialog, the file name typed, Enter.
open_bitmap camera.BMP
[[ "$(pgmcheck psnr align.pgm camera.pgm)" == inf ]] || fail "align.pgm no es camera.pgm"
[[ "$(pgmcheck size align.pgm)" == "512 512 255" ]] || fail "align.pgm no es de 8 bits"
focus "$main"

# 2. Distorsionar > Distorsión determinando la cantidad de movimiento > ... de 25.
keys alt+d Down Down Right Down Return
wait_for 20 test -s distor.pgm || fail "distor.pgm no aparece"
[[ "$(pgmcheck size distor.pgm)" == "512 512 65535" ]] || fail "distor.pgm no es de 16 bits"
"$tools/mblur.exe" align.pgm 25 "$scratch/referencia.pgm"
[[ "$(pgmcheck psnr distor.pgm "$scratch/referencia.pgm")" == inf ]] || fail "distor.pgm no es el movimiento de 25"

# 3. Tavelio > Quitar una distorsión > Con movimiento igual a 25.
keys alt+t Right Down Return
wait_for 20 test -s mov25.pgm || fail "mov25.pgm no aparece"
restored=$(pgmcheck psnr mov25.pgm align.pgm)
awk -v db="$restored" 'BEGIN { exit !(db == "inf" || db >= 50) }' || fail "mov25.pgm: $restored dB"
# Its header tells the whole chain, each tool as its batch line names it.
chain=$(pgmcheck comments mov25.pgm | cut -d' ' -f1 | paste -sd' ')
[[ "$chain" == "align.exe mblur.exe motion.exe" ]] || fail "mov25.pgm cuenta «$chain»"

# 4. Both show buttons: Space presses the focused one, Enter closes the message.
press_show space
wait_for 20 window_named '^distor\.pgm$' || fail "el visor de distor.pgm no aparece"
press_show Tab space
wait_for 20 window_named '^mov25\.pgm$' || fail "el visor de Mov25.pgm no aparece"
grep -q $'i_view32.exe  Mov25.pgm \r' irfanview.bat || fail "irfanview.bat no nombra Mov25.pgm"

if [[ -n "$screenshot" ]]; then
  # The window at its designed client size, the two viewers beside it.
  xdotool windowsize --sync "$main" 592 580 windowmove --sync "$main" 8 8
  xdotool windowmove --sync "$(window_named '^distor\.pgm$' | head -n1)" 612 8
  xdotool windowmove --sync "$(window_named '^mov25\.pgm$' | head -n1)" 1148 8
  focus "$main"
  sleep 0.5
  import -window root -crop 1684x596+0+0 "$screenshot"
fi

# 5. Tavelio > Filtro Wiener: a terminal asks for k; Enter takes the advised value.
focus "$main"
keys alt+t Down Down Return
answer_console "wiener.exe distor.pgm psf1A.pgm wiener.pgm"
wait_for 30 test -s wiener.pgm || fail "wiener.pgm no aparece"
[[ "$(pgmcheck size wiener.pgm)" == "512 512 255" ]] || fail "wiener.pgm no es de 8 bits"

# 6. A&yuda > Acerca de Tavelio, then "Info. del &sistema...": msinfo32.exe, found through
# drive C's registry file.
focus "$main"
keys alt+y Return
wait_for 10 window_named '^Form1$' || fail "el cuadro Acerca de no aparece"
focus "$(window_named '^Form1$' | head -n1)"
keys alt+s
wait_for 20 window_named '^Información del sistema$' || fail "la información del sistema no aparece"

echo "1 passed, 0 failed"
