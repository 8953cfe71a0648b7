#!/usr/bin/env bash
# Tavelio's figures, measured in one run and printed as ratios.
#
#   bench/run.sh                 # builds into build-bench/ if needed
#   BUILD_DIR=build RUNS=9 bench/run.sh
#
# 1. Start to first paint: the program (its whole start-up: translations, fonts, drive C, the
#    main window) against the smallest Qt Widgets program that shows a window, both in the
#    same X server (Xvfb), from the start of the process to its first paint; the two take
#    turns within each of RUNS rounds, and the medians are compared.
# 2. The CPU one 2-second pause costs, as a share of one core.
# 3. Every image tool against its floor (bench/imgtools.sh, bench/restore.sh), the first steps
#    of the chains, wiener.exe in instructions and against scikit-image, and every tool on
#    large and awkward photographs (bench/photos.sh).
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=$(realpath -m "${BUILD_DIR:-$root/build-bench}")
runs=${RUNS:-7}
if [[ ! -f "$build/build.ninja" ]]; then
  cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
fi
cmake --build "$build" >/dev/null

source "$root/bench/private_display.sh" 1280x1024
export TAVELIO_DRIVE_C="$scratch/drive_c" XDG_CONFIG_HOME="$scratch/config"
tools=$("$build/bin/tavelio-drivec")

/usr/bin/python3 - "$build/bin" "$tools" "$runs" <<'PY'
import statistics, subprocess, sys, time

bin_dir, tools, runs = sys.argv[1], sys.argv[2], int(sys.argv[3])

def first_paint(program):
    """Seconds from starting `program` to its "painted" line."""
    start = time.perf_counter()
    proc = subprocess.Popen([f"{bin_dir}/{program}"], cwd=tools, stdout=subprocess.PIPE,
                            stderr=subprocess.DEVNULL, text=True)
    line = proc.stdout.readline()
    took = time.perf_counter() - start
    proc.wait()
    if line.strip() != "painted":
        sys.exit(f"{program} did not paint")
    return took

# The two probes take turns within each round, so a neighbour's load falls on both alike.
times = {"bench_startup_probe": [], "bench_minimal_probe": []}
for _ in range(runs):
    for probe, taken in times.items():
        taken.append(first_paint(probe))
program, minimal = (statistics.median(t) for t in times.values())
print("Start to first paint (median of %d, Xvfb)" % runs)
print(f"  tavelio            {program * 1000:8.1f} ms")
print(f"  minimal Qt window  {minimal * 1000:8.1f} ms")
print(f"  ratio              {program / minimal:8.2f}")

wall, cpu = map(float, subprocess.check_output([f"{bin_dir}/bench_pause_probe"], text=True).split())
print("A 2-second pause (Espera)")
print(f"  wall {wall:.3f} s, CPU {cpu * 1000:.1f} ms: {100 * cpu / wall:.2f} % of a core")
PY

echo
BUILD_DIR="$build" RUNS="${TOOL_RUNS:-7}" bash "$root/bench/imgtools.sh"
echo
BUILD_DIR="$build" RUNS="${TOOL_RUNS:-7}" bash "$root/bench/restore.sh"
echo
BUILD_DIR="$build" RUNS="${TOOL_RUNS:-5}" bash "$root/bench/photos.sh"
