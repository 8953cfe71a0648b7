#!/usr/bin/env bash
# A blind student's steps with the real screen reader, end to end.
#
#   screen_reader.sh BUILD_DIR
#
# Starts Xvfb, a private session bus with AT-SPI, openbox, speech-dispatcher with a voice that
# writes each utterance as a line of a file, and Orca. Then, by keyboard through xdotool:
# "Distorsión con un movimiento de 25" must be heard explained; "Filtro Wiener" must open a
# console Orca reads, its question with the advised k heard, and a typed k must reach wiener.exe;
# the About box must be heard by its name, never as "Form1"; E in the viewer must be heard as
# "Espectro". Exit 77 (skipped) without Orca,
# speech-dispatcher, AT-SPI or a terminal Orca can read. orca-speech/ beside this script is the
# speech-dispatcher set-up whose one voice writes to $SPOKEN_FILE (ORCA_SPEECH_SETUP names
# another). What Orca said is left in BUILD_DIR/e2e-orca-spoken.txt, its log in e2e-orca.log.
set -euo pipefail

build=$(cd "$1" && pwd)
here=$(cd "$(dirname "$0")" && pwd)
setup=${ORCA_SPEECH_SETUP:-$here/orca-speech}
for program in orca speech-dispatcher dbus-daemon openbox mate-terminal; do
  command -v "$program" >/dev/null || { echo "falta $program: prueba omitida"; exit 77; }
done
[[ -x /usr/libexec/at-spi-bus-launcher ]] || { echo "falta at-spi2-core: prueba omitida"; exit 77; }
[[ -f "$setup/speechd.conf" ]] || { echo "falta $setup/speechd.conf: prueba omitida"; exit 77; }

source "$here/xsession.sh"
# What Orca said stays beside the build for whoever reads a failure.
keep_speech() {
  [[ -f "${SPOKEN_FILE:-}" ]] && cp "$SPOKEN_FILE" "$build/e2e-orca-spoken.txt"
  [[ -f "$scratch/orca.log" ]] && cp "$scratch/orca.log" "$build/e2e-orca.log"
  true
}
trap 'keep_speech; cleanup' EXIT

# Everything private to this run: the runtime folder holds speech-dispatcher's socket.
export XDG_RUNTIME_DIR="$scratch/run" HOME="$scratch/home"
mkdir -p "$XDG_RUNTIME_DIR" "$HOME"
chmod 700 "$XDG_RUNTIME_DIR"
eval "$(dbus-daemon --session --fork --print-address=1 --print-pid=1 \
  | sed -n '1s/^/export DBUS_SESSION_BUS_ADDRESS=/p; 2s/^/bus_pid=/p')"
pids+=("$bus_pid")
/usr/libexec/at-spi-bus-launcher --launch-immediately >"$scratch/atspi.log" 2>&1 &
pids+=($!)
openbox >"$scratch/openbox.log" 2>&1 &
pids+=($!)
cp -r "$setup" "$scratch/spd"
export SPOKEN_FILE="$scratch/spoken.txt"
: >"$SPOKEN_FILE"
speech-dispatcher -s -t 0 -C "$scratch/spd" >"$scratch/spd.log" 2>&1 &
pids+=($!)
sleep 2
orca -u "$scratch/orca-settings" -r --debug-file="$scratch/orca.log" >/dev/null 2>&1 &
pids+=($!)
wait_for 20 grep -q . "$SPOKEN_FILE" || fail "Orca no habla"

# The program finds the screen reader and chooses its console itself, as on a student's
# desktop: nothing forces Qt's accessibility on or names the terminal.
unset TAVELIO_TERMINAL QT_LINUX_ACCESSIBILITY_ALWAYS_ON

# What was spoken from line $1 on.
spoken_since() { tail -n +"$1" "$SPOKEN_FILE"; }
mark() { wc -l <"$SPOKEN_FILE"; }
# Orca takes the events in turn and may lag the keys by seconds on a busy machine: each step
# waits until it has said what it had to say (its log still for two seconds, at most a minute).
settle() {
  local before="" now deadline=$((SECONDS + 60))
  while ((SECONDS < deadline)); do
    now=$(stat -c %s "$scratch/orca.log" "$SPOKEN_FILE" | paste -sd.)
    [[ "$now" == "$before" ]] && return 0
    before=$now
    sleep 2
  done
}
# Waits up to a minute for text $2 spoken since line $1; fails with what was heard.
hear() {
  wait_for 60 bash -c "tail -n +$1 '$SPOKEN_FILE' | grep -F -q -- '$2'" \
    || fail "no se oye «$2»; se oyó: $(spoken_since "$1" | tr '\n' '|')"
}

start_tavelio
settle
open_bitmap camera.BMP
focus "$main"
settle

# 1. Distorsionar > ... > Distorsión con un movimiento de 25: the explanation is heard.
from=$(mark)
keys alt+d Down Down Right Down Return
hear "$from" "Nuestra imagen es distorsionada"
wait_for 20 test -s distor.pgm || fail "distor.pgm no aparece"

# 2. Tavelio > Filtro Wiener: the console's question and its advice are heard, and the k
# typed reaches the tool.
settle
focus "$main"
from=$(mark)
keys alt+t Down Down Return
wait_for 20 xdotool search --onlyvisible --class mate-terminal \
  || fail "no se abre un terminal que Orca lea"
wait_for 20 pgrep -f "wiener.exe distor.pgm" || fail "wiener.exe no arranca"
# The question carries the advised k. The advice printed above it is read only when Orca
# reaches the terminal before the tool has printed it, so it is not required.
hear "$from" "k [0,0"
settle
focus "$(xdotool search --onlyvisible --class mate-terminal | head -n1)"
xdotool type --delay 60 "0,0123"
keys Return
wait_for 30 test -s wiener.pgm || fail "wiener.pgm no aparece"
pgmcheck comments wiener.pgm | grep -q 'k=0.0123' \
  || fail "la k tecleada no llega: $(pgmcheck comments wiener.pgm | tail -n1)"

# 3. Ayuda > Acerca de Tavelio: heard by its name, its portrait named, never "Form1".
settle
focus "$main"
from=$(mark)
keys alt+y Return
wait_for 10 window_named '^Form1$' || fail "el cuadro Acerca de no aparece"
hear "$from" "Acerca de Tavelio"
hear "$from" "Retrato"
settle
keys Tab
hear "$from" "Aceptar"
keys Tab
hear "$from" "del sistema"
back=$(mark)
keys Tab
hear "$back" "Retrato"
settle
! spoken_since "$from" | grep -F -q 'Form1' || fail "se oye «Form1»: $(spoken_since "$from" | tr '\n' '|')"
keys Tab space # "Aceptar" closes the box
wait_for 10 bash -c '! xdotool search --onlyvisible --name "^Form1$"' || fail "el cuadro Acerca de no se cierra"

# 4. The distorted image's viewer, from its show button: E shows the spectrum and says so.
settle
focus "$main"
from=$(mark)
for _ in 1 2 3 4; do # Tab, as a student would, to the button
  spoken_since "$from" | grep -F -q "Mostrar Imagen Distorsionada push button" && break
  keys Tab
  settle
done
hear "$from" "Mostrar Imagen Distorsionada push button"
keys space
wait_for 10 window_named '^Nerbo1$' || fail "el mensaje del botón no aparece"
hear "$from" "Nerbo1"
settle
focus "$(window_named '^Nerbo1$' | head -n1)"
keys Return
wait_for 20 window_named '^distor\.pgm$' || fail "el visor de distor.pgm no aparece"
settle
focus "$(window_named '^distor\.pgm$' | head -n1)"
from=$(mark)
keys e
hear "$from" "Espectro"

echo "1 passed, 0 failed"
