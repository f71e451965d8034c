#!/usr/bin/env python3
"""Ringing at a sharp edge: the worst overshoot of a reduction by f, in % of
the step, for decimora and for Pillow's LANCZOS on the same images.

    step_edge.py --decimora PATH --work DIR [--factors 2,3,4,5,8,11,16]
                 [--phases 16] [--tone coded|light] [--csv FILE]

For every factor f the test images are 16-bit grey PNGs of 64f x 64f pixels
holding one straight step from 25 % to 75 % of full scale, at 0 degrees (a
vertical edge) and at 45 degrees, each at `phases` positions spread over one
output pixel (shifts of k * f / phases input pixels, k = 0 .. phases - 1), so
that the output samples fall at every position across the ringing. Pixels
are area-sampled exactly (a pixel cut by the edge holds the covered
fraction). Each image is reduced to 64 x 64 by decimora (one process per
factor, all images at once) and by Pillow's resize(LANCZOS) on the same
values as 32-bit floats (no rounding, no clipping). The overshoot of one
output is how far it goes above the high level or below the low level, in %
of the step, over the output less 12 pixels at each border; the figure per
method, factor and angle is the worst over the phases.

With --tone light the step is one of light (25 % to 75 % of full light),
stored sRGB-encoded; decimora reduces it in light and its output is decoded
again before the overshoot is measured, so that the figure is the ringing in
light, where the filter works. Pillow works on the light values directly.
"""
import argparse
import csv
import math
import os
import subprocess
import sys

import numpy as np
from PIL import Image

OUT_SIZE = 64          # output pixels per side
MARGIN = 12            # output pixels left out at each border
LOW, HIGH = 0.25, 0.75
FULL = 65535.0
ANGLES = (0, 45)


def vertical_step(n, edge):
    """Covered fraction of each pixel right of x = edge, as an n x n array."""
    x = np.arange(n, dtype=np.float64)
    row = np.clip(x + 1.0 - edge, 0.0, 1.0)
    return np.tile(row, (n, 1))


def diagonal_step(n, level):
    """Covered fraction of each pixel where x + y > level: exact area of the
    unit square [i, i+1] x [j, j+1] beyond the line."""
    y, x = np.mgrid[0:n, 0:n].astype(np.float64)
    t = np.clip(level - (x + y), 0.0, 2.0)      # the line's height above the square's low corner
    return np.where(t <= 1.0, 1.0 - t * t / 2.0, (2.0 - t) ** 2 / 2.0)


def step_image(n, f, angle, shift):
    """Values in 0..1 of the step image with the edge through the centre,
    moved by `shift` input pixels along its normal."""
    if angle == 0:
        cover = vertical_step(n, n / 2.0 + shift)
    else:
        cover = diagonal_step(n, n + shift * math.sqrt(2.0))
    return LOW + (HIGH - LOW) * cover


def overshoot(out):
    """Worst overshoot of an output (values 0..1) in % of the step, inside the margin."""
    inner = out[MARGIN:-MARGIN, MARGIN:-MARGIN]
    above = inner.max() - HIGH
    below = LOW - inner.min()
    return 100.0 * max(above, below, 0.0) / (HIGH - LOW)


def srgb_encode(light):
    return np.where(light <= 0.0031308, light * 12.92, 1.055 * np.power(light, 1 / 2.4) - 0.055)


def srgb_decode(code):
    return np.where(code <= 0.04045, code / 12.92, np.power((code + 0.055) / 1.055, 2.4))


def read16(path):
    with Image.open(path) as im:
        return np.asarray(im).astype(np.float64) / FULL


def pillow_lanczos(values, f):
    im = Image.fromarray(values.astype(np.float32), "F")
    n = values.shape[0] // f
    return np.asarray(im.resize((n, n), Image.LANCZOS)).astype(np.float64)


def run_factor(decimora, work, f, phases, tone):
    """-> {(method, angle): (worst overshoot %, phase index of the worst)}"""
    n = OUT_SIZE * f
    src_dir = os.path.join(work, f"f{f}", "in")
    out_dir = os.path.join(work, f"f{f}", "out")
    os.makedirs(src_dir, exist_ok=True)
    os.makedirs(out_dir, exist_ok=True)
    cases = []
    for angle in ANGLES:
        for k in range(phases):
            values = step_image(n, f, angle, k * f / phases)
            path = os.path.join(src_dir, f"step{angle}_p{k:02d}.png")
            stored = srgb_encode(values) if tone == "light" else values
            Image.fromarray(np.rint(stored * FULL).astype(np.uint16)).save(path)
            cases.append((angle, k, values, path))
    argv = [decimora, "reduce"] + [c[3] for c in cases] + [
        "--out-dir", out_dir, "--factor", str(f), "--force", "--quiet", "--jobs", "2", "--tone", tone]
    p = subprocess.run(argv, stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True)
    if p.returncode != 0:
        sys.exit(f"decimora failed at f={f} (exit {p.returncode}): {p.stderr.strip()[:400]}")
    worst = {}
    for angle, k, values, path in cases:
        reduced = read16(os.path.join(out_dir, os.path.basename(path)))
        results = {
            "decimora": srgb_decode(reduced) if tone == "light" else reduced,
            "pil-lanczos": pillow_lanczos(values, f),
        }
        for method, out in results.items():
            if out.shape != (OUT_SIZE, OUT_SIZE):
                sys.exit(f"{method} at f={f}: output {out.shape}, want {OUT_SIZE}x{OUT_SIZE}")
            o = overshoot(out)
            if o >= worst.get((method, angle), (-1.0, 0))[0]:
                worst[(method, angle)] = (o, k)
    return worst


def main():
    ap = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    ap.add_argument("--decimora", required=True, help="the decimora program")
    ap.add_argument("--work", required=True, help="scratch folder for the step images and outputs")
    ap.add_argument("--factors", default="2,3,4,5,8,11,16")
    ap.add_argument("--phases", type=int, default=16)
    ap.add_argument("--tone", choices=("coded", "light"), default="coded")
    ap.add_argument("--csv", default=None, help="write the figures here too")
    a = ap.parse_args()

    rows = []
    print(f"{'f':>3} {'angle':>5} {'decimora %':>11} {'Pillow LANCZOS %':>17} {'ratio':>6}")
    for f in [int(s) for s in a.factors.split(",")]:
        worst = run_factor(a.decimora, os.path.join(a.work, a.tone), f, a.phases, a.tone)
        for angle in ANGLES:
            ours, ours_phase = worst[("decimora", angle)]
            ref, ref_phase = worst[("pil-lanczos", angle)]
            ratio = ours / ref if ref > 0 else float("inf")
            rows.append(dict(f=f, angle=angle, decimora=round(ours, 3), decimora_phase=ours_phase,
                             pil_lanczos=round(ref, 3), pil_lanczos_phase=ref_phase, ratio=round(ratio, 3)))
            print(f"{f:>3} {angle:>5} {ours:>11.2f} {ref:>17.2f} {ratio:>6.2f}", flush=True)
    if a.csv:
        with open(a.csv, "w", newline="") as fh:
            wr = csv.DictWriter(fh, list(rows[0]))
            wr.writeheader()
            wr.writerows(rows)


if __name__ == "__main__":
    main()
