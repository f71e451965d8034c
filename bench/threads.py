#!/usr/bin/env python3
"""One filter thread against the default number: decimora's whole-process
wall time per factor with MOIRENIX_THREADS=1 and without it.

    threads.py --decimora PATH --image FILE --work DIR
               [--factors 2,4,8,16] [--runs 3] [--csv FILE]

For each factor: one warm-up run of each setting (the input in the page
cache), then `runs` rounds of one run with one thread followed by one with
the default, so that a drift of the machine's speed touches both alike. The
figures are the medians; the speed-up is the 1-thread median divided by the
default's. The image's sides must be multiples of every factor.
"""
import argparse
import os
import statistics
import subprocess
import sys
import time

from csvrows import write_rows

COLUMNS = ["f", "default_threads", "runs", "one_med", "one_min", "one_max",
           "all_med", "all_min", "all_max", "speedup", "exit"]


def timed_run(argv, env):
    """-> (wall seconds, exit code) of one run of argv."""
    t0 = time.monotonic()
    code = subprocess.run(argv, env=env, stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                          stderr=subprocess.DEVNULL).returncode
    return time.monotonic() - t0, code


def environments():
    """-> (one-thread env, default env): the default has no MOIRENIX_THREADS."""
    default = {k: v for k, v in os.environ.items() if k != "MOIRENIX_THREADS"}
    return dict(default, MOIRENIX_THREADS="1"), default


def measure(argv, runs):
    """-> (1-thread times, default times, exit codes), run in alternation."""
    one_env, all_env = environments()
    timed_run(argv, one_env), timed_run(argv, all_env)          # warm-up
    one, every, codes = [], [], set()
    for _ in range(runs):
        for times, env in ((one, one_env), (every, all_env)):
            wall, code = timed_run(argv, env)
            times.append(wall)
            codes.add(code)
    return one, every, codes


def main():
    ap = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    ap.add_argument("--decimora", required=True)
    ap.add_argument("--image", required=True)
    ap.add_argument("--work", required=True)
    ap.add_argument("--factors", default="2,4,8,16")
    ap.add_argument("--runs", type=int, default=3)
    ap.add_argument("--csv")
    a = ap.parse_args()
    if not os.path.exists(a.image):
        sys.exit(f"threads: missing {a.image}")
    os.makedirs(a.work, exist_ok=True)
    out = os.path.join(a.work, "threads-out.tif")
    cores = len(os.sched_getaffinity(0))
    rows = []
    for f in [int(s) for s in a.factors.split(",")]:
        argv = [a.decimora, "reduce", a.image, "-o", out, "--factor", str(f), "--force", "--quiet"]
        one, every, codes = measure(argv, a.runs)
        row = dict(f=f, default_threads=cores, runs=a.runs,
                   one_med=round(statistics.median(one), 3), one_min=round(min(one), 3),
                   one_max=round(max(one), 3), all_med=round(statistics.median(every), 3),
                   all_min=round(min(every), 3), all_max=round(max(every), 3),
                   exit=",".join(str(c) for c in sorted(codes)))
        row["speedup"] = round(row["one_med"] / row["all_med"], 2)
        rows.append(row)
        print(f"f={f:<3} 1 thread {row['one_med']:.3f} s [{row['one_min']:.3f}-{row['one_max']:.3f}]  "
              f"{cores} threads {row['all_med']:.3f} s [{row['all_min']:.3f}-{row['all_max']:.3f}]  "
              f"speed-up {row['speedup']:.2f}  exit {row['exit']}", flush=True)
    if os.path.exists(out):
        os.remove(out)
    if a.csv:
        write_rows(a.csv, COLUMNS, rows)


if __name__ == "__main__":
    main()
