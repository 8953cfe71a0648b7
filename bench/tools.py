"""The image tools against their floors, as bench/imgtools.sh, restore.sh and photos.sh print them.

    python3 tools.py PART TOOLS FLOOR WORK RUNS     PART: imgtools, restore or photos

The floor of a tool is imgtools_floor doing what the tool's method cannot do without: reading
the same files, the FFTs of the same size, one pointwise division where the method combines two
spectra, and writing an output of the same depth. homo and hiemph transform the image mirrored
about its borders; their floor is the I/O of the image plus the FFTs of the mirrored size
(imgtools_floor on a file of that size, less that file's I/O). Times are medians of RUNS runs,
the tool and its floor taking turns within each round; CPU time is printed beside wall time,
since on a shared machine wall time also measures the neighbours. Peak memory is the resident
high-water mark over the pixel count.
"""
import os
import re
import shutil
import statistics
import subprocess
import sys

from measure import measure_together

PART, TOOLS, FLOOR, WORK, RUNS = sys.argv[1], sys.argv[2], sys.argv[3], sys.argv[4], int(sys.argv[5])


SPAWN = os.path.join(os.path.dirname(FLOOR), "bench_spawn")


def run(argv, answers=b""):
    proc = subprocess.run(argv, cwd=WORK, input=answers, stdout=subprocess.PIPE,
                          stderr=subprocess.PIPE)
    if proc.returncode != 0:
        sys.exit(f"failed: {' '.join(argv)}: {proc.stderr.decode()}")
    return proc.stdout.decode()


def tool(name):
    return os.path.join(TOOLS, name + ".exe")


def smooth(n):
    for p in (2, 3, 5, 7):
        while n % p == 0:
            n //= p
    return n == 1


def mirrored_length(n, margin):
    """The length enhance.cpp mirrors a line of n pixels to (padFor): at least `margin` a side,
    equal sides if an FFT-friendly length comes within 64 pixels, else one more after."""
    for extra in (0, 1):
        for p in range(margin, margin + 64):
            if smooth(n + 2 * p + extra):
                return n + 2 * p + extra
    return n + 2 * margin


def mirrored(w, h, homo):
    if homo:
        return mirrored_length(w, w // 2), mirrored_length(h, h // 2)
    return mirrored_length(w, 16), mirrored_length(h, 16)


def size_of(path):
    # The tools' outputs carry comment lines in their headers, how they were made.
    with open(os.path.join(WORK, path), "rb") as f:
        fields = re.sub(rb"#[^\n]*", b"", f.read(65536)).split()
    return int(fields[1]), int(fields[2])


def floor_commands(src, recipe):
    """The commands whose times make up the floor `recipe` on input `src`, and how: a list of
    (argv, answers) and a function of their (wall, cpu) pairs giving the floor's."""
    if recipe[0] != "mirror":
        return [([FLOOR, src, "floor.pgm"] + [str(x) for x in recipe], b"")], lambda r: r[0]
    _, bits, homo = recipe
    mw, mh = mirrored(*size_of(src), homo)
    big = f"pad{mw}x{mh}.pgm"
    if not os.path.exists(os.path.join(WORK, big)):
        # An FFT costs the same whatever the grey levels: a ramp is made faster than a resize.
        with open(os.path.join(WORK, big), "wb") as f:
            f.write(b"P5\n%d %d\n255\n" % (mw, mh))
            row = (bytes(range(256)) * (mw // 256 + 1))[:mw]
            for _ in range(mh):
                f.write(row)
    commands = [[FLOOR, src, "floor.pgm", str(bits), "0", "0"],  # the image's I/O
                [FLOOR, big, "floor.pgm", "8", "1", "1"],  # the mirrored FFTs, with their I/O
                [FLOOR, big, "floor.pgm", "8", "0", "0"]]  # which is taken off
    return ([(c, b"") for c in commands],
            lambda r: tuple(r[0][i] + r[1][i] - r[2][i] for i in range(2)))


def prepare_inputs(img):
    """The distorted inputs each restoration starts from, made by the distortion tools."""
    run([tool("align"), img])
    run([tool("mblur"), "align.pgm", "25", "movido.pgm"])
    run([tool("blur"), "align.pgm", "psf1A.pgm", "borroso.pgm"])
    run([tool("snoise"), "align.pgm", "rayado.pgm"])
    run([tool("snoise"), "borroso.pgm", "distor.pgm"])
    run([tool("shuffle"), "align.pgm"])
    run([tool("hiemph"), "align.pgm", "alto.pgm"])


# tool, arguments, answers, floor: output bits, forward FFTs, inverse FFTs, other inputs
DISTORTIONS = [
    ("align", ["{img}"], b"", [8, 0, 0]),
    ("mblur", ["{img}", "25", "distor.pgm"], b"", [16, 0, 0]),
    ("blur", ["{img}", "psf1A.pgm", "distor.pgm"], b"", [16, 2, 1, "psf1A.pgm"]),
    ("snoise", ["{img}", "distor.pgm"], b"", [16, 0, 0]),
    ("transfor", ["{img}", "FFT.pgm"], b"", [8, 1, 0]),
]
RESTORATIONS = [
    ("motion", ["movido.pgm", "25", "mov25.pgm"], b"", [8, 2, 1]),
    ("inverse", ["borroso.pgm", "psf2A.pgm", "Inverso.pgm"], b"0.0001\n", [8, 2, 1, "psf2A.pgm"]),
    ("wiener", ["distor.pgm", "psf1A.pgm", "wiener.pgm"], b"\n", [8, 2, 1, "psf1A.pgm"]),
    ("snr", ["rayado.pgm", "retiro.pgm"], b"\n", [8, 1, 1]),
    ("shuffle", ["align.pgm"], b"", [16, 0, 0]),
    ("homo", ["shuff.pgm", "homo.pgm"], b"", ("mirror", 8, True)),
    ("hiemph", ["align.pgm", "alto2.pgm"], b"", ("mirror", 16, False)),
    ("hiemph", ["alto.pgm", "enfasis.pgm"], b"", ("mirror", 8, False)),
]
# A program's distortion and enhancement chains start with these; the student waits for them.
FIRST_STEPS = ("blur", "shuffle", "hiemph")


def measure_all(img, cases=DISTORTIONS + RESTORATIONS, runs=RUNS):
    """{(tool, input): (wall, cpu, floor wall, floor cpu, rss bytes)} for `cases` on `img`."""
    prepare_inputs(img)
    out = {}
    for name, args, answers, recipe in cases:
        args = [a.format(img=img) for a in args]
        floor, combine = floor_commands(args[0], recipe)
        # The tool and its floor take turns within each round.
        *floors, (w, c, rss) = measure_together(floor + [([tool(name)] + args, answers)], WORK,
                                                runs, SPAWN)
        fw, fc = combine([f[:2] for f in floors])
        out[(name, args[0])] = (w, c, fw, fc, rss)
    return out


HEADER = (f"{'size':>9} {'tool':<8} {'input':<11} {'wall ms':>8} {'floor':>7} {'ratio':>6} "
          f"{'cpu ms':>7} {'floor':>7} {'ratio':>6} {'B/pixel':>8}")


def print_rows(label, results, pixels, names):
    for (name, src), (w, c, fw, fc, rss) in results.items():
        if name in names:
            print(f"{label:>9} {name:<8} {src:<11} {w*1e3:8.0f} {fw*1e3:7.0f} {w/fw:6.2f} "
                  f"{c*1e3:7.0f} {fc*1e3:7.0f} {c/fc:6.2f} {rss/pixels:8.1f}")


def callgrind_wiener():
    """wiener.exe and its floor at 512² counted in instructions, which a busy machine does not
    disturb."""
    if not shutil.which("valgrind"):
        print("wiener.exe at 512² in instructions: valgrind is not installed")
        return
    prepare_inputs("img512.pgm")

    def instructions(argv, answers=b""):
        out = os.path.join(WORK, "callgrind.out")
        subprocess.run(["valgrind", "--tool=callgrind", f"--callgrind-out-file={out}"] + argv,
                       cwd=WORK, input=answers, stdout=subprocess.DEVNULL,
                       stderr=subprocess.DEVNULL, check=True)
        with open(out) as f:
            return next(int(line.split()[1]) for line in f if line.startswith(("summary:", "totals:")))

    w = instructions([tool("wiener"), "distor.pgm", "psf1A.pgm", "wiener.pgm"], b"\n")
    f = instructions([FLOOR, "distor.pgm", "floor.pgm", "8", "2", "1", "psf1A.pgm"])
    print(f"wiener.exe at 512², callgrind: {w/1e6:.1f} M instructions against its floor's "
          f"{f/1e6:.1f} M: {w/f:.2f} (aim 1.1)")


SKIMAGE = '''import re, sys, time
t0 = time.perf_counter()
import numpy as np
from skimage import io, restoration
t1 = time.perf_counter()
def maxval(path):
    with open(path, "rb") as f:
        return int(re.sub(rb"#[^\\n]*", b"", f.read(65536)).split()[3])
image = io.imread(sys.argv[1]).astype(float) / maxval(sys.argv[1])
psf = io.imread(sys.argv[2]).astype(float)
out = restoration.wiener(image, psf / psf.sum(), float(sys.argv[4]), reg=np.ones((1, 1)),
                         clip=False)
io.imsave(sys.argv[3], (np.clip(out, 0, 1) * 255).round().astype(np.uint8),
          check_contrast=False)
print(time.perf_counter() - t1)
'''

PSNR = '''
import numpy as np
from skimage import io
ref = io.imread("align.pgm").astype(float)
for name in ("wiener.pgm", "skwiener.pgm"):
    d = io.imread(name).astype(float) - ref
    print(f"{10 * np.log10(255**2 / np.mean(d * d)):.2f}", end=" ")
'''


def against_skimage(img):
    """wiener.exe against scikit-image's restoration.wiener on the same input, PSF and k (the
    one wiener.exe offers), with the same regulariser (|H|² + k), reading and writing PGM."""
    prepare_inputs(img)
    prompt = run([tool("wiener"), "distor.pgm", "psf1A.pgm", "wiener.pgm"], b"\n")
    k = prompt.split("k [")[1].split("]")[0].replace(",", ".")
    script = os.path.join(WORK, "skwiener.py")
    with open(script, "w") as f:
        f.write(SKIMAGE)
    sk_argv = ["/usr/bin/python3", script, "distor.pgm", "psf1A.pgm", "skwiener.pgm", k]
    inner = statistics.median(float(run(sk_argv)) for _ in range(RUNS))
    (sk_w, _, _), (w, _, _) = measure_together(
        [(sk_argv, b""), ([tool("wiener"), "distor.pgm", "psf1A.pgm", "wiener.pgm"], b"\n")],
        WORK, RUNS, SPAWN)
    psnr = run(["/usr/bin/python3", "-c", PSNR]).split()
    side = size_of(img)[0]
    print(f"{side:>5}² wiener.exe {w*1e3:.0f} ms ({psnr[0]} dB), skimage k = {k}: "
          f"{sk_w*1e3:.0f} ms whole script ({psnr[1]} dB), {inner*1e3:.0f} ms after its imports: "
          f"{sk_w/w:.1f}× faster than the script (aim 3), {inner/w:.1f}× than its work alone")


def load():
    return f"load average at the end: {os.getloadavg()[0]:.2f} on {os.cpu_count()} cores"


def first_steps(results):
    print("First steps of the chains at 2048², against their own floors (aims 1.1 and 0.15 s)")
    for (name, src), (w, c, fw, fc, rss) in results.items():
        if name in FIRST_STEPS and src in ("img2048.pgm", "align.pgm"):
            print(f"  {name:<8} {w*1e3:6.0f} ms wall ({c*1e3:.0f} ms cpu), floor {fw*1e3:.0f} ms: "
                  f"{w/fw:.2f}")


if PART == "imgtools":
    print("The distortion tools against their floors")
    print(HEADER)
    for side in (512, 2048):
        rows = measure_all(f"img{side}.pgm", DISTORTIONS)
        print_rows(f"{side}²", rows, side * side, [d[0] for d in DISTORTIONS])
    print(load())
elif PART == "restore":
    print("The restoration tools against their floors")
    print(HEADER)
    blur = [d for d in DISTORTIONS if d[0] == "blur"]
    for side in (512, 2048):
        results = measure_all(f"img{side}.pgm", RESTORATIONS + blur)
        print_rows(f"{side}²", results, side * side, [r[0] for r in RESTORATIONS])
    first_steps(results)
    callgrind_wiener()
    print("wiener.exe against scikit-image's restoration.wiener run as a script, I/O included")
    for side in (2048, 4096):
        against_skimage(f"img{side}.pgm")
    print(load())
elif PART == "photos":
    # Every tool on large and awkward photographs: ratios to the floor and peak memory on a
    # 4096² and a 12-megapixel phone photograph, and the time on prime sides (1021 × 769)
    # against nearly the same size that FFTW factors well (1024 × 768).
    runs = max(1, min(RUNS, 5))
    sizes = {"4096²": "img4096.pgm", "4000×3000": "img4000x3000.pgm",
             "1024×768": "img1024x768.pgm", "1021×769": "img1021x769.pgm"}
    results = {label: measure_all(img, runs=runs) for label, img in sizes.items()}
    print(f"Large and awkward photographs (medians of {runs}); aims: ratio 1.2, 56 B/pixel "
          "(homo 80), prime sides 3× their smooth neighbour")
    print(f"{'':<20} " + " ".join(f"{l:>24}" for l in ("4096²", "4000×3000")))
    print(f"{'tool':<8} {'input':<11} " + " ".join(f"{'wall':>8} {'cpu':>6} {'B/px':>8}"
                                                    for l in ("4096²", "4000×3000"))
          + f" {'1024×768 ms':>12} {'1021×769 ms':>12} {'prime/smooth':>12}")
    table = {label: list(r.items()) for label, r in results.items()}
    for i, ((name, src), _) in enumerate(table["4096²"]):
        cells = []
        for label in ("4096²", "4000×3000"):
            w, c, fw, fc, rss = table[label][i][1]
            w2, h2 = size_of(sizes[label])
            cells.append(f"{w/fw:8.2f} {c/fc:6.2f} {rss/(w2*h2):8.1f}")
        smooth_w = table["1024×768"][i][1][0]
        prime_w = table["1021×769"][i][1][0]
        print(f"{name:<8} {src.replace('img4096.pgm', 'photo'):<11} " + " ".join(cells)
              + f" {smooth_w*1e3:12.0f} {prime_w*1e3:12.0f} {prime_w/smooth_w:12.2f}")
    print(load())
