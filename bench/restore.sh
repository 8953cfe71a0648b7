#!/usr/bin/env bash
# Benchmark of the restoration tools (motion, Inverse, wiener, snr, shuffle, homo, hiemph).
#
#   bench/restore.sh             # builds into build-bench/ if needed, 5 runs of each
#   BUILD_DIR=build RUNS=9 bench/restore.sh
#
# For 512² and 2048² images it prints each tool's wall time (median of RUNS) and its ratio to
# the floor measured in the same run: imgtools_floor reading the same files, writing an output
# of the same depth and doing the FFTs the tool's method needs. homo and hiemph transform the
# image mirrored about its borders, which is larger than the image; their floor is the I/O of
# the image plus the FFTs of the mirrored size (floor on a file of that size, less its I/O).
# CPU time is printed too, since on a shared machine wall time also measures the neighbours.
# Then wiener.exe against scikit-image's restoration.wiener (Debian's python3-skimage) on the
# same input, PSF and k, with the same regulariser (|H|² + k), reading and writing PGM files:
# the whole process, and the part after the imports.
set -euo pipefail

targets="tool_align tool_mblur tool_blur tool_snoise tool_motion tool_inverse tool_wiener
 tool_snr tool_shuffle tool_homo tool_hiemph imgtools_floor"
source "$(dirname "$0")/prepare.sh"

/usr/bin/python3 - "$tools" "$build/bin/imgtools_floor" "$work" "$runs" "$root/bench" <<'PY'
import os, statistics, subprocess, sys, time

tools, floor, work, runs = sys.argv[1], sys.argv[2], sys.argv[3], int(sys.argv[4])
sys.path.insert(0, sys.argv[5])
from measure import measure as shared_measure

def run(argv, answers=b""):
    proc = subprocess.run(argv, cwd=work, input=answers, stdout=subprocess.PIPE,
                          stderr=subprocess.PIPE)
    if proc.returncode != 0:
        sys.exit(f"failed: {' '.join(argv)}: {proc.stderr.decode()}")
    return proc.stdout.decode()

def measure(argv, answers=b""):
    return shared_measure(argv, work, runs, answers=answers)

def tool(name):
    return os.path.join(tools, name + ".exe")

def smooth(n):
    for p in (2, 3, 5, 7):
        while n % p == 0:
            n //= p
    return n == 1

def emphasis_side(n, margin=16):
    """The mirrored size hiemph transforms (enhance.cpp: padFor)."""
    return next((n + 2 * p for p in range(margin, margin + 64) if smooth(n + 2 * p)),
                n + 2 * margin)

def mirrored_floor(img, bits, side):
    """I/O of the image plus one forward and one inverse FFT of a side × side image."""
    big = f"pad{side}.pgm"
    if not os.path.exists(os.path.join(work, big)):
        subprocess.run(["convert", os.path.join(work, img), "-resize", f"{side}x{side}!",
                        "-depth", "8", os.path.join(work, big)], check=True)
    io = measure([floor, img, "floor.pgm", str(bits), "0", "0"])
    ffts = measure([floor, big, "floor.pgm", "8", "1", "1"])
    bigio = measure([floor, big, "floor.pgm", "8", "0", "0"])
    return tuple(io[i] + ffts[i] - bigio[i] for i in range(2))

print(f"{'size':>5} {'tool':<8} {'wall ms':>8} {'floor ms':>9} {'ratio':>6} "
      f"{'cpu ms':>7} {'floor cpu':>9} {'cpu ratio':>9} {'B/pixel':>8}")
for side in (512, 2048):
    img = f"img{side}.pgm"
    pixels = side * side
    # The distorted inputs each restoration starts from, made by the first part's tools.
    run([tool("align"), img])
    run([tool("mblur"), "align.pgm", "25", "movido.pgm"])
    run([tool("blur"), "align.pgm", "psf1A.pgm", "borroso.pgm"])
    run([tool("snoise"), "align.pgm", "rayado.pgm"])
    run([tool("snoise"), "borroso.pgm", "distor.pgm"])
    run([tool("shuffle"), "align.pgm"])
    run([tool("hiemph"), "align.pgm", "alto.pgm"])
    # tool, arguments, answers, floor: output bits, forward FFTs, inverse FFTs, other inputs
    cases = [
        ("motion", ["movido.pgm", "25", "mov25.pgm"], b"", [8, 2, 1]),
        ("inverse", ["borroso.pgm", "psf2A.pgm", "Inverso.pgm"], b"0.0001\n",
         [8, 2, 1, "psf2A.pgm"]),
        # wiener transforms once more to measure white noise when it found spikes.
        ("wiener", ["distor.pgm", "psf1A.pgm", "wiener.pgm"], b"\n", [8, 2, 2, "psf1A.pgm"]),
        ("snr", ["rayado.pgm", "retiro.pgm"], b"\n", [8, 1, 1]),
        ("shuffle", ["align.pgm"], b"", [16, 0, 0]),
        ("homo", ["shuff.pgm", "homo.pgm"], b"", ("mirror", 8, 2 * side)),
        ("hiemph", ["align.pgm", "alto2.pgm"], b"", ("mirror", 16, emphasis_side(side))),
        ("hiemph", ["alto.pgm", "enfasis.pgm"], b"", ("mirror", 8, emphasis_side(side))),
    ]
    for name, args, answers, fl in cases:
        src = args[0]
        if fl[0] == "mirror":
            fw, fc = mirrored_floor(src, fl[1], fl[2])
        else:
            fw, fc, _ = measure([floor, src, "floor.pgm"] + [str(x) for x in fl])
        w, c, rss = measure([tool(name)] + args, answers)
        print(f"{side:>5} {name:<8} {w*1e3:8.0f} {fw*1e3:9.0f} {w/fw:6.2f} "
              f"{c*1e3:7.0f} {fc*1e3:9.0f} {c/fc:9.2f} {rss/pixels:8.1f}")

    # wiener.exe against scikit-image, same input, PSF and k (the one wiener.exe offers).
    prompt = run([tool("wiener"), "distor.pgm", "psf1A.pgm", "wiener.pgm"], b"\n")
    k = prompt.split("k [")[1].split("]")[0].replace(",", ".")
    script = os.path.join(work, "skwiener.py")
    with open(script, "w") as f:
        f.write('''import sys, time
t0 = time.perf_counter()
import numpy as np
from skimage import io, restoration
t1 = time.perf_counter()
def maxval(path):
    with open(path, "rb") as f:
        return int(f.read(64).split()[3])
image = io.imread(sys.argv[1]).astype(float) / maxval(sys.argv[1])
psf = io.imread(sys.argv[2]).astype(float)
out = restoration.wiener(image, psf / psf.sum(), float(sys.argv[4]), reg=np.ones((1, 1)),
                         clip=False)
io.imsave(sys.argv[3], (np.clip(out, 0, 1) * 255).round().astype(np.uint8),
          check_contrast=False)
print(time.perf_counter() - t1)
''')
    sk_argv = ["/usr/bin/python3", script, "distor.pgm", "psf1A.pgm", "skwiener.pgm", k]
    sk_w, sk_c, _ = measure(sk_argv)
    inner = statistics.median(float(run(sk_argv)) for _ in range(runs))
    w, c, _ = measure([tool("wiener"), "distor.pgm", "psf1A.pgm", "wiener.pgm"], b"\n")
    psnr = run(["/usr/bin/python3", "-c", '''
import numpy as np
from skimage import io
ref = io.imread("align.pgm").astype(float)
for name in ("wiener.pgm", "skwiener.pgm"):
    d = io.imread(name).astype(float) - ref
    print(f"{10 * np.log10(255**2 / np.mean(d * d)):.2f}", end=" ")
'''], b"").split()
    print(f"{side:>5} wiener.exe {w*1e3:.0f} ms ({psnr[0]} dB) vs skimage restoration.wiener "
          f"k = {k}: {sk_w*1e3:.0f} ms whole process, {inner*1e3:.0f} ms after the imports "
          f"({psnr[1]} dB); ratios {w/sk_w:.2f} and {w/inner:.2f}")
print(f"load average at the end: {os.getloadavg()[0]:.2f} on {os.cpu_count()} cores")
PY
