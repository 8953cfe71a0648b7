# The X session the end-to-end tests drive: sourced by them after `build` is set.
#
# Gives a scratch folder cleaned up on exit, a private Xvfb, a fresh drive C whose tool folder
# is the current folder, helpers to wait and to type, start_tavelio, which starts the program
# there and sets `main` to its window, and open_bitmap, press_show and answer_console, the
# steps the sessions share. Exit 77 (skipped) without Xvfb or xdotool. A test that brings its
# own X server defines start_display, which starts it and exports DISPLAY, before sourcing.

needed=(xdotool xterm import)
declare -F start_display >/dev/null || needed+=(Xvfb)
for program in "${needed[@]}"; do
  command -v "$program" >/dev/null || { echo "falta $program: prueba omitida"; exit 77; }
done

scratch=$(mktemp -d)
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  pkill -f "$scratch" 2>/dev/null || true
  rm -rf "$scratch"
}
trap cleanup EXIT

fail() {
  echo "FALLO: $*" >&2
  [[ -s "$scratch/tavelio.log" ]] && sed 's/^/  tavelio: /' "$scratch/tavelio.log" >&2
  [[ -n "${DISPLAY:-}" ]] && import -window root "$scratch/fallo.png" 2>/dev/null \
    && cp "$scratch/fallo.png" "$build/e2e-fallo.png" && echo "captura: $build/e2e-fallo.png" >&2
  exit 1
}

# Polls until a command succeeds, for up to $1 seconds.
wait_for() {
  local seconds=$1
  shift
  local deadline=$((SECONDS + seconds))
  until "$@" >/dev/null 2>&1; do
    ((SECONDS < deadline)) || return 1
    sleep 0.1
  done
}
window_named() { xdotool search --onlyvisible --name "$1"; }
focus() { xdotool windowfocus --sync "$1"; sleep 0.2; }
keys() { xdotool key --delay 120 "$@"; sleep 0.3; }
pgmcheck() { "$build/bin/pgmcheck" "$@"; }

# A private X server on a free display.
if declare -F start_display >/dev/null; then
  start_display
else
  exec 3>"$scratch/display"
  Xvfb -displayfd 3 -screen 0 1700x1000x24 -nolisten tcp >"$scratch/xvfb.log" 2>&1 &
  pids+=($!)
  wait_for 10 test -s "$scratch/display" || fail "Xvfb no arranca"
  export DISPLAY=":$(head -n1 "$scratch/display")"
fi
export QT_QPA_PLATFORM=xcb

# A fresh drive C, and the program in its tool folder as the launcher starts it. With
# TAVELIO_INSTALLED=<prefix> the installed package runs instead, as its user's menu entry
# starts it: that user's own drive C and settings, through the launcher; the build tree then
# only gives pgmcheck.
export TAVELIO_TERMINAL=xterm LANG=C.UTF-8
if [[ -n "${TAVELIO_INSTALLED:-}" ]]; then
  tools=$("$TAVELIO_INSTALLED/lib/tavelio/tavelio-drivec")
  tavelio_command=("$TAVELIO_INSTALLED/bin/tavelio-launch")
else
  export TAVELIO_DRIVE_C="$scratch/drive_c" XDG_CONFIG_HOME="$scratch/config"
  export XDG_STATE_HOME="$scratch/state"
  tools=$("$build/bin/tavelio-drivec")
  tavelio_command=("$build/bin/tavelio")
fi
cd "$tools"

start_tavelio() {
  "${tavelio_command[@]}" >"$scratch/tavelio.log" 2>&1 &
  pids+=($!)
  wait_for 20 window_named '^Tavelio$' || fail "la ventana principal no aparece"
  main=$(window_named '^Tavelio$' | head -n1)
  focus "$main"
}

# A&brir...: the dialog, the bitmap's name typed, Enter; waits for align.exe's align.pgm.
open_bitmap() {
  keys alt+a b
  wait_for 10 window_named '^Abrir$' || fail "el diálogo Abrir no aparece"
  focus "$(window_named '^Abrir$' | head -n1)"
  xdotool type --delay 40 "$1"
  keys Return
  wait_for 20 test -s align.pgm || fail "align.pgm no aparece"
}

# Presses a show button with the given keys from the main window and closes its message.
press_show() {
  focus "$main"
  keys "$@"
  wait_for 10 window_named '^Nerbo1$' || fail "el mensaje del botón no aparece"
  focus "$(window_named '^Nerbo1$' | head -n1)"
  keys Return
}

# Waits for the console of a tool started visible ($1, its command line as pgrep sees it) and
# answers its prompt with Enter; `terminal` names the console's window.
answer_console() {
  wait_for 20 xdotool search --onlyvisible --class xterm || fail "no se abre el terminal de $1"
  terminal=$(xdotool search --onlyvisible --class xterm | head -n1)
  wait_for 20 pgrep -f "$1" || fail "$1 no arranca"
  sleep 1
  focus "$terminal"
  keys Return
}
