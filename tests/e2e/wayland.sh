#!/usr/bin/env bash
# Tavelio on a Wayland desktop, end to end: natively and through Xwayland.
#
#   wayland.sh BUILD_DIR [SCREENSHOT.png]
#
# The program runs on Qt's wayland platform in weston's headless backend (CPU rendering, and
# the debug protocol so that weston-screenshooter may take pictures), and its window is
# photographed: it must appear on the empty desktop at its designed size or more; the viewer
# and the system information must show theirs natively too. Then the program runs
# on weston's Xwayland, where xdotool drives it: it opens camera.BMP, blurs it with a motion
# of 25 and runs "Filtro Wiener", whose terminal window is answered with Enter. That weston
# runs in a private Xvfb: the headless backend has no keyboard, so nothing there could ever
# give an X window the focus. Exit 77 (skipped), saying why, when weston cannot start at all.
set -euo pipefail

build=$(cd "$1" && pwd)
screenshot=${2:-}

skip() {
  echo "$*: prueba omitida"
  exit 77
}

# weston's options for backend $1 (headless or x11): weston 10 (Debian 12) names backends by
# module and renders on the CPU with --use-pixman; later ones say --backend=headless and
# --renderer=pixman.
weston_options() {
  local help
  help=$(weston --help 2>&1 || true)
  if grep -q "$1-backend.so" <<<"$help"; then
    echo "--backend=$1-backend.so"
  else
    echo "--backend=$1"
  fi
  if grep -q -- '--renderer' <<<"$help"; then
    echo --renderer=pixman
  else
    echo --use-pixman
  fi
}

# Starts weston with backend $1 on socket $2 (more options after), logging to $scratch/$2.log.
start_weston() {
  local backend=$1 socket=$2 options
  shift 2
  mapfile -t options < <(weston_options "$backend")
  weston "${options[@]}" --width=1024 --height=768 --socket="$socket" \
    --config="$scratch/weston.ini" --log="$scratch/$socket.log" "$@" \
    >"$scratch/$socket.out" 2>&1 &
  local pid=$! deadline=$((SECONDS + 60))
  pids+=($pid)
  until [[ -S "$XDG_RUNTIME_DIR/$socket" ]]; do
    kill -0 "$pid" 2>/dev/null && ((SECONDS < deadline)) || return 1
    sleep 0.1
  done
}

# Both westons; the second one's Xwayland becomes DISPLAY.
start_display() {
  command -v weston >/dev/null || skip "falta weston"
  command -v weston-screenshooter >/dev/null || skip "falta weston-screenshooter"
  export XDG_RUNTIME_DIR="$scratch/runtime"
  mkdir -m 700 "$XDG_RUNTIME_DIR"
  # Xwayland's sockets live there; a machine without an X server yet may not have it.
  [[ -d /tmp/.X11-unix ]] || mkdir -m 1777 /tmp/.X11-unix 2>/dev/null || true
  # A plain background, no panel and no animations: the pictures show the windows alone.
  printf '%s\n' '[core]' 'idle-time=0' '[shell]' 'panel-position=none' \
    'background-color=0xff3b6e8f' 'animation=none' 'startup-animation=none' \
    'close-animation=none' 'focus-animation=none' 'locking=false' >"$scratch/weston.ini"
  if ! start_weston headless tavelio-nativo --debug; then
    cat "$scratch/tavelio-nativo.out" "$scratch/tavelio-nativo.log" 2>/dev/null | tail -n 5 || true
    skip "weston no arranca"
  fi

  exec 3>"$scratch/display"
  Xvfb -displayfd 3 -screen 0 1100x850x24 -nolisten tcp >"$scratch/xvfb.log" 2>&1 &
  pids+=($!)
  wait_for 10 test -s "$scratch/display" || fail "Xvfb no arranca"
  DISPLAY=":$(head -n1 "$scratch/display")" start_weston x11 tavelio-xwayland --xwayland \
    || fail "weston no arranca en Xvfb: $(tail -n 3 "$scratch/tavelio-xwayland.log")"
  local log="$scratch/tavelio-xwayland.log"
  wait_for 60 grep -q 'xserver listening on display :' "$log" \
    || fail "weston no ofrece Xwayland: $(tail -n 3 "$log")"
  export DISPLAY WAYLAND_DISPLAY=tavelio-xwayland
  DISPLAY=$(sed -n 's/.*xserver listening on display \(:[0-9]*\).*/\1/p' "$log" | tail -n1)
}

source "$(dirname "$0")/xsession.sh"

# weston's window manager gives the focus itself, to the newest window and back to the one
# below when that closes, and takes it back from a client that grabs it: wait for it instead.
focus() {
  wait_for 20 bash -c "[[ \$(xdotool getwindowfocus) == $1 ]]" || fail "el foco no llega a $1"
  sleep 0.2
}
# Xwayland keeps no picture of its root window; Xvfb's shows weston's output.
fail() {
  echo "FALLO: $*" >&2
  [[ -s "$scratch/tavelio.log" ]] && sed 's/^/  tavelio: /' "$scratch/tavelio.log" >&2
  DISPLAY=":$(head -n1 "$scratch/display")" import -window root "$build/e2e-fallo.png" \
    2>/dev/null && echo "captura: $build/e2e-fallo.png" >&2
  exit 1
}

# The whole output, as $1. weston-screenshooter writes a new file in its working folder.
shots="$scratch/shots"
mkdir "$shots"
take_picture() {
  rm -f "$shots"/*.png
  (cd "$shots" && WAYLAND_DISPLAY=tavelio-nativo weston-screenshooter) >/dev/null 2>&1 || return 1
  local taken=("$shots"/*.png)
  [[ -s "${taken[0]}" ]] && mv "${taken[0]}" "$1"
}
# What of a picture is not the background: WIDTHxHEIGHT+X+Y.
drawn_box() {
  convert "$1" -bordercolor '#3b6e8f' -border 1 -fuzz 3% -format '%@' info:
}
# Waits until a window of at least $2x$3 has appeared and two pictures in a row agree: the
# window is drawn. Leaves the last picture in $1.
picture_of_window() {
  local previous="$scratch/previous.png"
  take_picture "$previous" || return 1
  take_picture "$1" || return 1
  local box width height
  box=$(drawn_box "$1")
  width=${box%%x*}
  height=${box#*x}
  height=${height%%+*}
  ((width >= $2 && height >= $3)) && compare -metric AE "$previous" "$1" null: 2>/dev/null
}
# Starts a program ($3...) on Qt's wayland platform, waits for its window of at least $1x$2 and
# checks it runs natively; leaves its picture in $scratch/wayland.png and its id in `native`.
start_native() {
  local width=$1 height=$2
  shift 2
  QT_QPA_PLATFORM=wayland WAYLAND_DISPLAY=tavelio-nativo "$@" >"$scratch/tavelio.log" 2>&1 &
  native=$!
  pids+=($native)
  wait_for 60 picture_of_window "$scratch/wayland.png" "$width" "$height" \
    || fail "$1 no muestra su ventana en Wayland: $(drawn_box "$scratch/wayland.png" 2>&1)"
  kill -0 "$native" || fail "$1 termina en Wayland"
  grep -q 'libQt6WaylandClient' "/proc/$native/maps" || fail "$1 no usa la plataforma wayland"
  echo "Wayland: $(basename "$1"), ventana $(drawn_box "$scratch/wayland.png")"
}
# Ends it and waits until the desktop is empty again.
stop_native() {
  kill "$native"
  wait "$native" 2>/dev/null || true
  wait_for 30 desktop_empty || fail "la ventana de Wayland no se cierra"
}
desktop_empty() {
  take_picture "$scratch/vacio.png" && [[ "$(drawn_box "$scratch/vacio.png" 2>/dev/null)" == 0x0+* ]]
}

# 1. Natively on Wayland: the program, photographed with a margin of the desktop around it;
# the viewer; the system information.
start_native 433 433 "$build/bin/tavelio"
convert "$scratch/wayland.png" -crop "$(drawn_box "$scratch/wayland.png")" +repage \
  -bordercolor '#3b6e8f' -border 16 "$build/e2e-wayland.png"
[[ -z "$screenshot" ]] || cp "$build/e2e-wayland.png" "$screenshot"
stop_native
drive=$(cd "$tools/../../.." && pwd)
start_native 300 300 "$drive/irfanview/i_view32.exe" camera.pgm
stop_native
start_native 320 180 "$drive/windows/system32/msinfo32.exe"
stop_native

# 2. Through Xwayland, driven by xdotool: a tool in a console.
start_tavelio
open_bitmap camera.BMP
focus "$main"
keys alt+d Down Down Right Down Return
wait_for 30 test -s distor.pgm || fail "distor.pgm no aparece"
focus "$main"
keys alt+t Down Down Return
answer_console "wiener.exe distor.pgm psf1A.pgm wiener.pgm"
wait_for 30 test -s wiener.pgm || fail "wiener.pgm no aparece"
[[ "$(pgmcheck size wiener.pgm)" == "512 512 "* ]] || fail "wiener.pgm no es de 512x512"
echo "Xwayland ($DISPLAY): Filtro Wiener en su consola, wiener.pgm escrito"
