#!/usr/bin/env bash
# Every menu entry, chosen with the keyboard in a real window.
#
#   every_entry.sh BUILD_DIR
#
# Drive C's tools and viewer are replaced by stand-ins that only record how they were started
# (their name on disk, their arguments and their folder). Each of the fifteen operations and
# both show buttons are then chosen through the access keys and arrow keys, and the test checks
# that our command shell started the right program with the right arguments in the working
# folder, once per start. Exit 77 (skipped) without Xvfb or xdotool.
set -euo pipefail

build=$(cd "$1" && pwd)
source "$(dirname "$0")/xsession.sh"

for program in align mblur blur snoise motion inverse wiener snr transfor shuffle homo hiemph; do
  rm -f "$program.exe"
  printf '#!/bin/sh\necho "$(basename "$0")|$*|$PWD" >> "%s/calls.log"\n' "$scratch" >"$program.exe"
  chmod +x "$program.exe"
done
viewer=$(dirname "$(dirname "$(dirname "$tools")")")/irfanview/i_view32.exe
rm -f "$viewer"
cp "$tools/align.exe" "$viewer"
: >"$scratch/calls.log"
start_tavelio

log_has() { test "$(wc -l <"$scratch/calls.log")" -ge "$1"; }

# Chooses a menu entry by its keys and waits until the log has grown by `count` starts.
choose() {
  local count=$1
  shift
  local before
  before=$(wc -l <"$scratch/calls.log")
  focus "$main"
  keys "$@"
  wait_for 15 log_has $((before + count)) || fail "$* no arranca $count programa(s)"
}

choose 1 alt+d Right Return                    # Sin ruido
choose 2 alt+d Right Down Return               # Con ruido: two starts, two seconds apart
choose 1 alt+d Down Return                     # Ruido Estructurado
choose 1 alt+d Down Down Right Return          # movimiento de 10
choose 1 alt+d Down Down Right Down Return     # movimiento de 25
choose 1 alt+d Down Down Right Down Down Return
choose 1 alt+t Right Return                    # Con movimiento igual a 10
choose 1 alt+t Right Down Return
choose 1 alt+t Right Down Down Return
choose 1 alt+t Down Return                     # Filtro Inverso, in a terminal
choose 1 alt+t Down Down Return                # Filtro Wiener, in a terminal
choose 1 alt+t Down Down Down Return           # Retiro Ruido Estructurado, in a terminal
choose 1 alt+t Down Down Down Down Return      # FFT
choose 2 alt+t Down Down Down Down Down Return # Filtro Homomórfico
choose 2 alt+t Down Down Down Down Down Down Return

# The show buttons: Space on the focused Command2, Enter closes the message; then Command1.
for button in space "Tab space"; do
  before=$(wc -l <"$scratch/calls.log")
  focus "$main"
  # shellcheck disable=SC2086
  keys $button
  wait_for 10 window_named '^Nerbo1$' || fail "el mensaje no aparece"
  focus "$(window_named '^Nerbo1$' | head -n1)"
  keys Return
  wait_for 15 log_has $((before + 1)) || fail "el visor no arranca"
done

expected="blur.exe|align.pgm psf1A.pgm distor.pgm
blur.exe|align.pgm psf1A.pgm Dis_Ruido.pgm
snoise.exe|Dis_Ruido.pgm distor.pgm
snoise.exe|align.pgm distor.pgm
mblur.exe|align.pgm 10 distor.pgm
mblur.exe|align.pgm 25 distor.pgm
mblur.exe|Align.pgm 50 distor.pgm
motion.exe|distor.pgm 10 mov10.pgm
motion.exe|distor.pgm 25 mov25.pgm
motion.exe|distor.pgm 50 mov50.pgm
inverse.exe|distor.pgm psf2A.pgm Inverso.pgm
wiener.exe|distor.pgm psf1A.pgm wiener.pgm
snr.exe|distor.pgm retiro.pgm
transfor.exe|align.pgm FFT.pgm
shuffle.exe|align.pgm
homo.exe|shuff.pgm homo.pgm
hiemph.exe|align.pgm alto.pgm
hiemph.exe|alto.pgm enfasis.pgm
i_view32.exe|distor.pgm
i_view32.exe|Enfasis.pgm"
actual=$(sed "s#|$tools\$##" "$scratch/calls.log")
if [[ "$actual" != "$expected" ]]; then
  diff <(echo "$expected") <(echo "$actual") >&2 || true
  fail "los programas no se arrancaron como se esperaba (o no en $tools)"
fi
echo "1 passed, 0 failed"
