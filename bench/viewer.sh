#!/usr/bin/env bash
# The viewer on a 12-megapixel photograph: how long its window takes to come up, how long
# --medidas and --informe take, and the peak memory of each, beside the floor, reading the
# two files it shows and compares.
#
#   bench/viewer.sh                        # builds into build-bench/ if needed
#   BUILD_DIR=build RUNS=3 bench/viewer.sh [SCREENSHOT.png]
#   VIEWER=/other/build/drive_c/irfanview/i_view32.exe bench/viewer.sh   # another viewer
#
# The pictures are made as a teacher and a student make them: a 4000 × 3000 photograph brought
# in whole by tavelio-importar --tamano-completo, align.exe on its PGM twin, then mblur.exe
# (distor.pgm, 16 bits) and motion.exe (mov25.pgm, 8 bits, made from distor.pgm, so that its
# report shows all three pictures). The window opens on distor.pgm in a private Xvfb of
# 1920 × 1080 and is up when xdotool finds it mapped, as the end-to-end tests find windows;
# it is closed with Esc a few seconds later, once its PSNR and SSIM are in. Peak memory is
# /usr/bin/time's maximum resident set size. Each figure is the median of RUNS rounds, in
# which every command takes its turn, so a busy neighbour weighs on all alike. With a file
# name, the first window is saved there as a screenshot.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=$(realpath -m "${BUILD_DIR:-$root/build-bench}")
runs=${RUNS:-5}
shot=${1:+$(realpath -m "$1")}
for program in Xvfb xdotool convert /usr/bin/time; do
  command -v "$program" >/dev/null || { echo "falta $program" >&2; exit 1; }
done
if [[ ! -f "$build/build.ninja" ]]; then
  cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
fi
cmake --build "$build" --target i_view32 tool_align tool_mblur tool_motion tavelio-importar \
  bench_viewer_floor >/dev/null

source "$root/bench/private_display.sh" 1920x1080
export LANG=C.UTF-8
export TAVELIO_DRIVE_C="$scratch/drive_c" XDG_CONFIG_HOME="$scratch/config"
export XDG_STATE_HOME="$scratch/state" XDG_RUNTIME_DIR="$scratch/runtime"
mkdir -m 700 "$XDG_RUNTIME_DIR"

tools="$build/drive_c/qor/ejecutable/auxiliares"
convert "$root/data/samples/camera.pgm" -resize '4000x3000!' "$scratch/foto.png"
"$build/bin/tavelio-importar" --tamano-completo --sin-recortar "$scratch/foto.png" foto \
  >/dev/null 2>&1 || { echo "tavelio-importar no importa la foto" >&2; exit 1; }
work="$TAVELIO_DRIVE_C/qor/ejecutable/auxiliares"
cd "$work"
"$tools/align.exe" foto.pgm
"$tools/mblur.exe" align.pgm 25 distor.pgm
"$tools/motion.exe" distor.pgm 25 mov25.pgm

viewer=${VIEWER:-$build/drive_c/irfanview/i_view32.exe}
/usr/bin/python3 - "$build" "$work" "$runs" "$shot" "$viewer" <<'PY'
import re, statistics, subprocess, sys, tempfile, time

build, work, runs, shot, viewer = sys.argv[1], sys.argv[2], int(sys.argv[3]), sys.argv[4], sys.argv[5]
report = tempfile.NamedTemporaryFile(suffix=".time").name

def timed(argv, **popen):
    """Starts argv under /usr/bin/time; returns the process."""
    return subprocess.Popen(["/usr/bin/time", "-f", "%e %U %S %M", "-o", report] + argv,
                            cwd=work, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                            **popen)

def figures(proc, name):
    if proc.wait(timeout=120) != 0:
        sys.exit(f"{name} failed")
    wall, user, system, rss = open(report).read().split()[-4:]
    return float(wall), float(user) + float(system), int(rss) / 1024

def command(argv):
    return figures(timed(argv), " ".join(argv))

def window_id(title):
    found = subprocess.run(["xdotool", "search", "--onlyvisible", "--name",
                            "^" + re.escape(title) + "$"], capture_output=True, text=True)
    return found.stdout.split()[0] if found.returncode == 0 and found.stdout.split() else None

def window(first):
    """Seconds from the start to the mapped window, and the run's peak memory."""
    start = time.perf_counter()
    proc = timed([viewer, "distor.pgm"])
    while (wid := window_id("distor.pgm")) is None:
        if proc.poll() is not None or time.perf_counter() - start > 60:
            sys.exit("the viewer's window never came up")
        time.sleep(0.02)
    up = time.perf_counter() - start
    time.sleep(4)  # PSNR and SSIM come in on their worker meanwhile
    if first and shot:
        subprocess.run(["import", "-window", wid, shot], check=True)
    subprocess.run(["xdotool", "windowfocus", "--sync", wid], check=True)
    time.sleep(0.2)
    subprocess.run(["xdotool", "key", "Escape"], check=True)
    _, _, rss = figures(proc, "the viewer")
    return up, None, rss

rows = {
    "floor: reading both files": lambda first: command(
        [f"{build}/bin/bench_viewer_floor", "distor.pgm", "align.pgm"]),
    "window up": window,
    "--medidas distor.pgm": lambda first: command([viewer, "--medidas", "distor.pgm"]),
    "--informe distor.pgm": lambda first: command([viewer, "--informe", "a.pdf", "distor.pgm"]),
    "--informe mov25.pgm": lambda first: command([viewer, "--informe", "b.pdf", "mov25.pgm"]),
}
limits = {"window up": "2 s, 300 MiB", "--medidas distor.pgm": "1 s, 200 MiB",
          "--informe distor.pgm": "3 s, 300 MiB", "--informe mov25.pgm": "3 s, 300 MiB"}
taken = {name: [] for name in rows}
for run in range(runs):
    for name, measure in rows.items():
        taken[name].append(measure(run == 0))

print(f"The viewer at 4000 × 3000: distor.pgm (16 bits) beside align.pgm (8 bits), "
      f"median of {runs}")
print(f"  {'':28} {'wall':>8} {'CPU':>8} {'peak memory':>12}   limit")
for name, results in taken.items():
    wall = statistics.median(r[0] for r in results)
    cpus = [r[1] for r in results if r[1] is not None]
    cpu = f"{statistics.median(cpus):6.2f} s" if cpus else f"{'—':>8}"
    rss = statistics.median(r[2] for r in results)
    print(f"  {name:28} {wall:6.2f} s {cpu} {rss:8.0f} MiB   {limits.get(name, '')}")
PY
