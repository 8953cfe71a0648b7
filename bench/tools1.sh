#!/usr/bin/env bash
# Benchmark of the first-part image tools (align, mblur, blur, snoise, transfor).
#
#   bench/tools1.sh              # builds into build-bench/ if needed, 5 runs of each
#   BUILD_DIR=build RUNS=9 bench/tools1.sh
#
# For 512² and 2048² images it prints each tool's wall time (median of RUNS), and as a ratio
# to the floor measured in the same run: a program that only reads the same files, writes an
# output of the same depth and does the FFTs the method needs (imgtools_floor). CPU time is
# printed too, since on a shared machine wall time also measures the neighbours. Peak memory
# is the resident set high-water mark divided by the pixel count. blur.exe is the first step
# of a two-step operation and should end well inside the 2 s pause: the aim is 0.2 s at 2048².
set -euo pipefail

targets="tool_align tool_mblur tool_blur tool_snoise tool_transfor imgtools_floor"
source "$(dirname "$0")/prepare.sh"

/usr/bin/python3 - "$tools" "$build/bin/imgtools_floor" "$work" "$runs" "$root/bench" <<'PY'
import os, statistics, subprocess, sys, time

tools, floor, work, runs = sys.argv[1], sys.argv[2], sys.argv[3], int(sys.argv[4])
sys.path.insert(0, sys.argv[5])
from measure import measure as shared_measure

def measure(argv, env=None):
    return shared_measure(argv, work, runs, env=env)

# tool, its arguments, and its floor: output bits, forward FFTs, inverse FFTs, other inputs
cases = [
    ("align", ["{img}"], [8, 0, 0]),
    ("mblur", ["{img}", "25", "distor.pgm"], [16, 0, 0]),
    ("blur", ["{img}", "psf1A.pgm", "distor.pgm"], [16, 2, 1, "psf1A.pgm"]),
    ("snoise", ["{img}", "distor.pgm"], [16, 0, 0]),
    ("transfor", ["{img}", "FFT.pgm"], [8, 1, 0]),
]

print(f"{'size':>5} {'tool':<9} {'wall ms':>8} {'floor ms':>9} {'ratio':>6} "
      f"{'cpu ms':>7} {'floor cpu':>9} {'cpu ratio':>9} {'B/pixel':>8}")
for side in (512, 2048):
    img = f"img{side}.pgm"
    pixels = side * side
    for tool, args, fl in cases:
        argv = [os.path.join(tools, tool + ".exe")] + [a.format(img=img) for a in args]
        fargv = [floor, img, "floor.pgm"] + [str(x) for x in fl]
        fw, fc, _ = measure(fargv)
        w, c, rss = measure(argv)
        print(f"{side:>5} {tool:<9} {w*1e3:8.0f} {fw*1e3:9.0f} {w/fw:6.2f} "
              f"{c*1e3:7.0f} {fc*1e3:9.0f} {c/fc:9.2f} {rss/pixels:8.1f}")
    # What one forward FFT of this size costs, from the floor alone.
    io = measure([floor, img, "floor.pgm", "8", "0", "0"])
    one = measure([floor, img, "floor.pgm", "8", "1", "0"])
    print(f"{side:>5} forward FFT (double, FFTW_ESTIMATE): {(one[0]-io[0])*1e3:.0f} ms wall, "
          f"{(one[1]-io[1])*1e3:.0f} ms cpu")
# What backing large buffers with huge pages brings (the tool frame asks glibc for them).
blur = [os.path.join(tools, "blur.exe"), "img2048.pgm", "psf1A.pgm", "distor.pgm"]
for label, env in [("as shipped", {}), ("4 KiB pages", {"GLIBC_TUNABLES": "glibc.malloc.hugetlb=0"})]:
    w, c, _ = measure(blur, env)
    print(f"blur.exe at 2048², {label:<15} {w:.3f} s wall, {c:.3f} s cpu (aim 0.2 s wall)")
print(f"load average at the end: {os.getloadavg()[0]:.2f} on {os.cpu_count()} cores")
PY
