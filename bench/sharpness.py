#!/usr/bin/env python3
"""Sharpness: the contrast of a sinusoid kept by a reduction by f, at
fractions r of the new Nyquist frequency, for decimora (on coded values and
in light), Pillow's LANCZOS and `vips reduce`.

    sharpness.py --decimora PATH --work DIR [--factors 2,3,4,8,16]
                 [--csv FILE]

For every factor f and every r in 0.5, 0.7, 0.8, 0.9 the test image is a
16-bit grey PNG of 256f x 32f pixels holding vertical stripes: a cosine
along x of r / (2f) cycles per input pixel, 0.25 of full scale around mid
grey, point-sampled at the pixel centres (so that the digital input's
amplitude is exactly 0.25). Its output, 256 x 32, holds a cosine of r / 2
cycles per output pixel. The rows of an output are averaged and a constant
plus a cosine and a sine of that known frequency are fitted by least squares
over the row less 12 pixels at each end; the figure is the fitted amplitude
÷ the input's (the phase is left free).

Reductions: decimora with --tone coded on the coded cosine; decimora with
--tone light on a cosine of light stored sRGB-encoded, its output decoded to
light again before the fit; Pillow's resize(LANCZOS) on the values as 32-bit
floats; `vips reduce f f` on the 16-bit PNG.
"""
import argparse
import os
import subprocess
import sys

import numpy as np
from PIL import Image

from csvrows import write_rows
from sharpness_summary import RATIOS, COLUMNS, column, markdown_table

OUT_WIDTH, OUT_HEIGHT = 256, 32
MARGIN = 12             # output pixels left out at each end of the row
MID, AMPLITUDE = 0.5, 0.25
FULL = 65535.0


def stripes(f, r):
    """Values 0..1 of the input: a cosine along x at r / (2f) cycles per pixel."""
    x = np.arange(OUT_WIDTH * f, dtype=np.float64)
    row = MID + AMPLITUDE * np.cos(2.0 * np.pi * r / (2.0 * f) * x)
    return np.tile(row, (OUT_HEIGHT * f, 1))


def fitted_amplitude(profile, cycles_per_pixel, margin=MARGIN):
    """Amplitude of the least-squares fit c + a cos + b sin at the given
    frequency, over the profile less `margin` samples at each end."""
    x = np.arange(len(profile), dtype=np.float64)[margin:len(profile) - margin]
    y = np.asarray(profile, dtype=np.float64)[margin:len(profile) - margin]
    w = 2.0 * np.pi * cycles_per_pixel * x
    basis = np.stack([np.ones_like(x), np.cos(w), np.sin(w)], axis=1)
    (_, a, b), *_ = np.linalg.lstsq(basis, y, rcond=None)
    return float(np.hypot(a, b))


def contrast_kept(out, r):
    """Fitted amplitude of an output (values 0..1, rows averaged) ÷ the input's."""
    return fitted_amplitude(out.mean(axis=0), r / 2.0) / AMPLITUDE


def srgb_encode(light):
    return np.where(light <= 0.0031308, light * 12.92, 1.055 * np.power(light, 1 / 2.4) - 0.055)


def srgb_decode(code):
    return np.where(code <= 0.04045, code / 12.92, np.power((code + 0.055) / 1.055, 2.4))


def write16(path, values):
    Image.fromarray(np.rint(np.clip(values, 0.0, 1.0) * FULL).astype(np.uint16)).save(path)


def read16(path):
    with Image.open(path) as im:
        return np.asarray(im).astype(np.float64) / FULL


def run(argv, what):
    p = subprocess.run(argv, stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True)
    if p.returncode != 0:
        sys.exit(f"{what} failed (exit {p.returncode}): {p.stderr.strip()[:400]}")


def decimora_outputs(decimora, folder, f, tone):
    """-> {r: output values 0..1, in light for tone light}, one process for all r."""
    src, out = os.path.join(folder, "in"), os.path.join(folder, "out")
    os.makedirs(src, exist_ok=True)
    os.makedirs(out, exist_ok=True)
    paths = {}
    for r in RATIOS:
        values = stripes(f, r)
        paths[r] = os.path.join(src, f"stripes_r{r}.png")
        write16(paths[r], srgb_encode(values) if tone == "light" else values)
    run([decimora, "reduce", *paths.values(), "--out-dir", out, "--factor", str(f), "--force", "--quiet",
         "--jobs", "2", "--tone", tone], f"decimora --tone {tone} at f={f}")
    outputs = {}
    for r, path in paths.items():
        reduced = read16(os.path.join(out, os.path.basename(path)))
        outputs[r] = srgb_decode(reduced) if tone == "light" else reduced
    return outputs


def pillow_lanczos(values, f):
    im = Image.fromarray(values.astype(np.float32), "F")
    h, w = values.shape
    return np.asarray(im.resize((w // f, h // f), Image.LANCZOS)).astype(np.float64)


def vips_reduce(values, folder, f, r):
    src, out = os.path.join(folder, f"stripes_r{r}.png"), os.path.join(folder, f"reduced_r{r}.png")
    write16(src, values)
    run(["vips", "reduce", src, out, str(f), str(f)], f"vips reduce at f={f}")
    return read16(out)


def measure_factor(decimora, work, f):
    """-> one CSV row per method at factor f."""
    outputs = {
        "decimora coded": decimora_outputs(decimora, os.path.join(work, f"f{f}", "coded"), f, "coded"),
        "decimora light": decimora_outputs(decimora, os.path.join(work, f"f{f}", "light"), f, "light"),
        "Pillow LANCZOS": {r: pillow_lanczos(stripes(f, r), f) for r in RATIOS},
    }
    vips_dir = os.path.join(work, f"f{f}", "vips")
    os.makedirs(vips_dir, exist_ok=True)
    outputs["vips reduce"] = {r: vips_reduce(stripes(f, r), vips_dir, f, r) for r in RATIOS}
    rows = []
    for method, by_ratio in outputs.items():
        row = dict(method=method, f=f)
        for r, out in by_ratio.items():
            if out.shape != (OUT_HEIGHT, OUT_WIDTH):
                sys.exit(f"{method} at f={f}: output {out.shape[1]}x{out.shape[0]}, want {OUT_WIDTH}x{OUT_HEIGHT}")
            row[column(r)] = round(contrast_kept(out, r), 4)
        rows.append(row)
    return rows


def main():
    ap = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    ap.add_argument("--decimora", required=True, help="the decimora program")
    ap.add_argument("--work", required=True, help="scratch folder for the stripes and outputs")
    ap.add_argument("--factors", default="2,3,4,8,16")
    ap.add_argument("--csv", default=None, help="write the figures here too")
    a = ap.parse_args()

    rows = []
    for f in [int(s) for s in a.factors.split(",")]:
        rows += measure_factor(a.decimora, a.work, f)
    print("\n".join(markdown_table(rows)))
    if a.csv:
        write_rows(a.csv, COLUMNS, rows)


if __name__ == "__main__":
    main()
