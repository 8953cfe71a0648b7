"""Timing shared by the tool benchmarks (bench/tools.py)."""
import os
import statistics
import subprocess
import sys
import time


def measure(argv, work, runs, env=None, answers=b""):
    """Median wall seconds, median CPU seconds and peak RSS bytes of `argv` over `runs` runs
    in `work`, with `answers` on its standard input and `env` added to the environment."""
    walls, cpus, rss = [], [], 0
    answers_path = os.path.join(work, "answers")
    for _ in range(runs):
        with open(answers_path, "wb") as f:
            f.write(answers)
        with open(answers_path, "rb") as stdin:
            start = time.perf_counter()
            proc = subprocess.Popen(argv, cwd=work, stdin=stdin, stdout=subprocess.DEVNULL,
                                    env=dict(os.environ, **(env or {})))
            _, status, usage = os.wait4(proc.pid, 0)
            walls.append(time.perf_counter() - start)
        if status != 0:
            sys.exit(f"failed: {' '.join(argv)}")
        cpus.append(usage.ru_utime + usage.ru_stime)
        rss = max(rss, usage.ru_maxrss * 1024)
    return statistics.median(walls), statistics.median(cpus), rss
