"""Timing shared by the tool benchmarks (bench/tools.py)."""
import os
import statistics
import subprocess
import sys


def run_once(argv, work, answers, spawn):
    """Wall seconds, CPU seconds and peak RSS bytes of one run of `argv` in `work`, as
    bench_spawn (`spawn`) writes them down."""
    answers_path = os.path.join(work, "answers")
    figures = os.path.join(work, "figures")
    with open(answers_path, "wb") as f:
        f.write(answers)
    with open(answers_path, "rb") as stdin:
        status = subprocess.call([spawn, figures] + list(argv), cwd=work, stdin=stdin,
                                 stdout=subprocess.DEVNULL)
    if status != 0:
        sys.exit(f"failed: {' '.join(argv)}")
    with open(figures) as f:
        wall, cpu, rss = f.read().split()
    return float(wall), float(cpu), int(rss)


def measure_together(commands, work, runs, spawn):
    """For each of `commands`, (argv, answers) pairs, the median wall seconds, median CPU
    seconds and peak RSS bytes over `runs` runs in `work`. The commands take turns within each
    round, so that a neighbour's load, or a machine that slows down, weighs on all of them
    alike. `spawn` is the path of bench_spawn, which starts each command from a small process,
    so that its peak RSS is its own and not this Python's (see bench/spawn.cpp)."""
    samples = [[] for _ in commands]
    for _ in range(runs):
        for taken, (argv, answers) in zip(samples, commands):
            taken.append(run_once(argv, work, answers, spawn))
    return [(statistics.median(s[0] for s in taken), statistics.median(s[1] for s in taken),
             max(s[2] for s in taken)) for taken in samples]

