#!/usr/bin/env bash
# A whole class choosing "Con ruido" at the teacher's word, on this machine.
#
#   bench/class.sh                   # builds into build-bench/ if needed
#   BUILD_DIR=build CLASSES="30:1024" bench/class.sh
#
# CLASSES lists N:SIZE pairs, N students with a photograph of SIZE (W or WxH) pixels; by
# default 1, 8, 16 and 30 students at the teaching size, 1024², and 1 and 2 at a phone's
# 4000 × 3000. Every student has her own drive C and working folder, made by tavelio-drivec as
# at a real start, holding the photograph (camera, a bitmap and its PGM twin) and a
# Dis_Ruido.pgm left from an earlier one (coins). Each student is one bench_class_student, the
# program's main window in one X server (Xvfb) with the system's process starter, which opens
# the photograph (align.exe makes align.pgm); once all are ready, all are told at once to
# choose "Con ruido", which runs the real chain, blur.exe then snoise.exe through tavcmd.
#
# Printed for each class: how many results (distor.pgm) were made from the earlier photograph,
# which the header lines the tools write tell (must be 0); in how many a step started while
# the earlier still ran (must be 0); the median and slowest seconds from the click to the
# finished result, and to the start of the second step; the median peak resident memory of
# the program and the largest peak of a tool (or of tavcmd) it started.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=$(realpath -m "${BUILD_DIR:-$root/build-bench}")
classes=${CLASSES:-"1:1024 8:1024 16:1024 30:1024 1:4000x3000 2:4000x3000"}
if [[ ! -f "$build/build.ninja" ]]; then
  cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
fi
cmake --build "$build" --target bench_class_student tavcmd tavelio-drivec tool_align tool_blur \
  tool_snoise >/dev/null

source "$root/bench/private_display.sh" 1280x1024
export LANG=C.UTF-8
export XDG_RUNTIME_DIR="$scratch/runtime"
mkdir -m 700 "$XDG_RUNTIME_DIR"

# This photograph and the earlier one at each size: align.pgm and the Dis_Ruido.pgm the
# earlier one left, made once by the real tools and copied to every student.
tools="$build/drive_c/qor/ejecutable/auxiliares"
for class in $classes; do
  size=${class#*:}
  [[ -d "$scratch/$size" ]] && continue
  mkdir "$scratch/$size"
  geometry=$size; [[ $size == *x* ]] || geometry="${size}x$size"
  (
    cd "$scratch/$size"
    cp "$tools/psf1A.pgm" .
    convert "$root/data/samples/camera.pgm" -resize "$geometry!" -depth 8 "camera$size.pgm"
    convert "$root/data/samples/coins.pgm" -resize "$geometry!" -depth 8 "coins$size.pgm"
    mkdir earlier
    (cd earlier && "$tools/align.exe" "../coins$size.pgm")
    "$tools/blur.exe" earlier/align.pgm psf1A.pgm Dis_Ruido.pgm
    convert "camera$size.pgm" -type Grayscale "BMP3:camera$size.BMP"
  )
done

/usr/bin/python3 - "$build/bin" "$scratch" "$classes" <<'PY'
import os, shutil, statistics, subprocess, sys

bin_dir, scratch, classes = sys.argv[1], sys.argv[2], sys.argv[3].split()


def comments(path):
    """The comment lines of a PGM header: how the image was made, one tool a line."""
    lines, fields = [], 0
    with open(path, "rb") as f:
        data = f.read(65536)
    i = 2  # past "P5"
    while fields < 3:
        while data[i:i + 1].isspace():
            i += 1
        if data[i:i + 1] == b"#":
            end = data.index(b"\n", i)
            lines.append(data[i + 1:end].decode(errors="replace").strip())
            i = end + 1
            continue
        while not data[i:i + 1].isspace():
            i += 1
        fields += 1
    return lines


def student(folder, size):
    """A student's drive C, as a real start makes it, with the photographs in her folder."""
    env = dict(os.environ, TAVELIO_DRIVE_C=f"{folder}/drive_c", XDG_STATE_HOME=f"{folder}/state")
    work = subprocess.check_output([f"{bin_dir}/tavelio-drivec"], env=env, text=True).strip()
    for name in (f"camera{size}.pgm", f"camera{size}.BMP", "Dis_Ruido.pgm"):
        shutil.copy(f"{scratch}/{size}/{name}", work)
    return work, env


print(f"{'class':>18} {'stale':>6} {'overlap':>8} {'click→result med/max s':>24} "
      f"{'2nd step med/max s':>20} {'program RSS':>12} {'tools peak':>11}")
for class_ in classes:
    n, size = class_.split(":")
    n = int(n)
    root = f"{scratch}/class-{n}-{size}"
    students = [student(f"{root}/{i:02d}", size) for i in range(n)]
    procs = [subprocess.Popen([f"{bin_dir}/bench_class_student", f"camera{size}.BMP", "DRuido"],
                              cwd=work, env=env,
                              stdin=subprocess.PIPE, stdout=subprocess.PIPE, text=True)
             for work, env in students]
    for p in procs:
        if p.stdout.readline().strip() != "listo":
            sys.exit("a student's window did not come up")
    for p in procs:  # the teacher's word
        p.stdin.write("\n")
        p.stdin.flush()
    figures = []
    for p in procs:
        line = p.stdout.readline()
        if p.wait() != 0 or not line:
            sys.exit("a student's chain failed")
        result, second, rss, tool, overlapped = line.split()
        figures.append((float(result), float(second), int(rss), int(tool), int(overlapped)))
    stale = sum(any("coins" in c for c in comments(f"{work}/distor.pgm")) for work, _ in students)
    made = sum(any("camera" in c for c in comments(f"{work}/distor.pgm")) for work, _ in students)
    if stale + made != n:
        sys.exit(f"{n - stale - made} results name neither photograph")
    results = [f[0] for f in figures]
    seconds = [f[1] for f in figures]
    label = f"{n} × {size.replace('x', ' × ')}"
    print(f"{label:>18} {stale:>6} {sum(f[4] for f in figures):>8} "
          f"{statistics.median(results):>15.2f} / {max(results):>5.2f} "
          f"{statistics.median(seconds):>11.2f} / {max(seconds):>5.2f} "
          f"{statistics.median(f[2] for f in figures) / 1024:>9.1f} MiB "
          f"{max(f[3] for f in figures) / 1024:>7.1f} MiB", flush=True)
    shutil.rmtree(root)
PY
