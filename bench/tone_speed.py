#!/usr/bin/env python3
"""Reducing in light against reducing coded values: decimora's whole-process
wall time per factor with `--tone light` (the default) and `--tone coded`.

    tone_speed.py --decimora PATH --image FILE --work DIR
                  [--factors 2,4,8] [--runs 7] [--csv FILE]

For each factor: one warm-up run of each mode, then `runs` pairs run in turn,
coded then light; the figure to trust is the median of the per-pair ratios
light / coded, which a drift of the machine's speed touches little.
"""
import argparse
import os
import statistics
import sys

from csvrows import write_rows
from threads import timed_run

COLUMNS = ["f", "runs", "coded_med", "light_med", "ratio_med", "ratio_min", "ratio_max", "exit"]


def measure(argv, runs):
    """-> (coded times, light times, exit codes), run in alternation."""
    env = dict(os.environ)
    coded_argv, light_argv = argv + ["--tone", "coded"], argv + ["--tone", "light"]
    timed_run(coded_argv, env), timed_run(light_argv, env)  # warm-up
    coded, light, codes = [], [], set()
    for _ in range(runs):
        for times, mode_argv in ((coded, coded_argv), (light, light_argv)):
            wall, code = timed_run(mode_argv, env)
            times.append(wall)
            codes.add(code)
    return coded, light, codes


def main():
    ap = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    ap.add_argument("--decimora", required=True)
    ap.add_argument("--image", required=True)
    ap.add_argument("--work", required=True)
    ap.add_argument("--factors", default="2,4,8")
    ap.add_argument("--runs", type=int, default=7)
    ap.add_argument("--csv")
    a = ap.parse_args()
    if not os.path.exists(a.image):
        sys.exit(f"tone_speed: missing {a.image}")
    os.makedirs(a.work, exist_ok=True)
    out = os.path.join(a.work, "tone-speed-out.tif")
    rows = []
    for f in [int(s) for s in a.factors.split(",")]:
        argv = [a.decimora, "reduce", a.image, "-o", out, "--factor", str(f), "--force", "--quiet"]
        coded, light, codes = measure(argv, a.runs)
        ratios = [lt / ct for ct, lt in zip(coded, light)]
        row = dict(f=f, runs=a.runs, coded_med=round(statistics.median(coded), 3),
                   light_med=round(statistics.median(light), 3), ratio_med=round(statistics.median(ratios), 3),
                   ratio_min=round(min(ratios), 3), ratio_max=round(max(ratios), 3),
                   exit=",".join(str(c) for c in sorted(codes)))
        rows.append(row)
        print(f"f={f:<3} coded {row['coded_med']:.3f} s  light {row['light_med']:.3f} s  "
              f"light/coded {row['ratio_med']:.3f} [{row['ratio_min']:.3f}-{row['ratio_max']:.3f}]  exit {row['exit']}",
              flush=True)
    if os.path.exists(out):
        os.remove(out)
    if a.csv:
        write_rows(a.csv, COLUMNS, rows)


if __name__ == "__main__":
    main()
