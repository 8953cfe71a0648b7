# Sourced by the benchmarks that open windows: a scratch folder ($scratch) and a private Xvfb
# of the size given (e.g. 1280x1024) on a free display, both gone when the script ends.
scratch=$(mktemp -d)
exec 3>"$scratch/display"
Xvfb -displayfd 3 -screen 0 "$1x24" -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
trap 'kill $xvfb 2>/dev/null; rm -rf "$scratch"' EXIT
for _ in $(seq 100); do [[ -s "$scratch/display" ]] && break; sleep 0.1; done
export DISPLAY=":$(head -n1 "$scratch/display")" QT_QPA_PLATFORM=xcb
