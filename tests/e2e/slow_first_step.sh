#!/usr/bin/env bash
# "Con ruido" when its first tool outlasts the pause, end to end in a real X server.
#
#   slow_first_step.sh BUILD_DIR [SCREENSHOT.png]
#
# The working folder holds a Dis_Ruido.pgm left from an earlier photograph (coins), and
# blur.exe takes seven seconds: a wrapper in this drive C's tool folder sleeps before it runs
# the real one. After opening camera.BMP, "Con ruido" is chosen; past the two-second pause
# snoise.exe has not started, the About box opens meanwhile, and distor.pgm is then made from
# camera's blur, as its header lines tell. Exit 77 (skipped) without Xvfb or xdotool.
set -euo pipefail

build=$(cd "$1" && pwd)
screenshot=${2:-}

source "$(dirname "$0")/xsession.sh"

# The photograph of an earlier session left its intermediate file behind.
mkdir "$scratch/earlier"
(cd "$scratch/earlier" && "$tools/align.exe" "$tools/coins.pgm")
"$tools/blur.exe" "$scratch/earlier/align.pgm" psf1A.pgm Dis_Ruido.pgm
real_blur=$(readlink -f "$tools/blur.exe")
rm "$tools/blur.exe"
printf '#!/bin/sh\nsleep 7\nexec "%s" "$@"\n' "$real_blur" >"$tools/blur.exe"
chmod +x "$tools/blur.exe"

start_tavelio
open_bitmap camera.BMP
focus "$main"

# Distorsionar > Distorsión simple > Con ruido.
clicked=$(date +%s%N)
keys alt+d Right Down Return
sleep 3.5
[[ -z "$(pgrep -f "snoise.exe Dis_Ruido.pgm" || true)" && ! -e distor.pgm ]] \
  || fail "snoise.exe empezó antes de que blur.exe terminara"
# The window keeps handling events while it waits: the About box opens.
keys alt+y Return
wait_for 10 window_named '^Form1$' || fail "el cuadro Acerca de no se abre durante la espera"
if [[ -n "$screenshot" ]]; then
  xdotool windowmove --sync "$(window_named '^Form1$' | head -n1)" 640 120
  sleep 0.5
  import -window root -crop 1180x700+0+0 "$screenshot"
fi

wait_for 30 test -s distor.pgm || fail "distor.pgm no aparece"
(($(date +%s%N) - clicked >= 7000000000)) || fail "distor.pgm apareció antes de que blur.exe terminara"
made=$(pgmcheck comments distor.pgm | paste -sd'|')
[[ "$made" == "align.exe camera.pgm huella="????????????????"|blur.exe align.pgm psf1A.pgm Dis_Ruido.pgm|snoise.exe Dis_Ruido.pgm distor.pgm" ]] \
  || fail "distor.pgm no viene del desenfoque de camera: «$made»"

echo "1 passed, 0 failed"
