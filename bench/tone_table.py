#!/usr/bin/env python3
"""The tone of reduced dot screens: 45-degree bilevel screens (black 0 on
white 255) at 10, 25, 50, 75 and 90 % ink, reduced by a factor too large for
the screen to survive, by decimora in both tone modes and by its peers. Each
figure is the mean 8-bit level of the result's interior, beside the light
the screen sends (the mean of its decoded sRGB values, encoded again: what
a lower-resolution scan of the page records).

    tone_table.py --decimora PATH --kit DIR --work DIR [--factor 4]
                  [--period 4.0] [--gimp bench/gimp_scale.sh] [--csv FILE]

Peers: Pillow LANCZOS, `vips reduce`, ImageMagick `-resize` and the same in
linear light (the kit's methods), and GIMP's Scale Image (cubic, NoHalo)
when --gimp names bench/gimp_scale.sh.
"""
import argparse
import math
import os
import subprocess
import sys

import numpy as np
from PIL import Image

from csvrows import write_rows

INKS = [0.10, 0.25, 0.50, 0.75, 0.90]
KIT_PEERS = ["pil-lanczos", "vips-reduce", "im-resize", "im-linear"]
GIMP_PEERS = ["cubic", "nohalo"]
COLUMNS = ["method", "f", "period"] + [f"ink{round(i * 100)}" for i in INKS]
SIDE = 512
MARGIN = 8  # output pixels left out at each edge


def srgb_encode(light):
    return np.where(light <= 0.0031308, light * 12.92, 1.055 * np.power(light, 1 / 2.4) - 0.055)


def srgb_decode(code):
    return np.where(code <= 0.04045, code / 12.92, np.power((code + 0.055) / 1.055, 2.4))


def dot_screen(ink, period):
    """A SIDE x SIDE screen: exactly `ink` of the pixels black, where the
    cosine spot function of a 45-degree screen is highest."""
    y, x = np.mgrid[0:SIDE, 0:SIDE].astype(float)
    u, v = (x + y) / math.sqrt(2) / period, (x - y) / math.sqrt(2) / period
    spot = np.cos(2 * math.pi * u) + np.cos(2 * math.pi * v)
    inked = round(ink * spot.size)
    threshold = np.sort(spot, axis=None)[spot.size - inked]
    return np.where(spot >= threshold, 0, 255).astype(np.uint8)


def interior_mean(path):
    with Image.open(path) as im:
        a = np.asarray(im.convert("L"), dtype=float)
    return float(a[MARGIN:-MARGIN, MARGIN:-MARGIN].mean())


def reducers(a):
    """-> [(method name, function(src, dst))]."""
    sys.path.insert(0, a.kit)
    import methods
    out = []
    for tone in ("light", "coded"):
        out.append((f"decimora ({tone})", lambda src, dst, t=tone: subprocess.run(
            [a.decimora, "reduce", src, "-o", dst, "--factor", str(a.factor), "--force", "--quiet", "--tone", t],
            check=True)))
    for name in KIT_PEERS:
        out.append((name, lambda src, dst, n=name: methods.run(n, src, dst, a.factor)))
    if a.gimp:
        for interpolation in GIMP_PEERS:
            out.append((f"gimp-{interpolation}", lambda src, dst, i=interpolation: subprocess.run(
                [a.gimp, src, dst, str(SIDE // a.factor), str(SIDE // a.factor), i], check=True)))
    return out


def main():
    ap = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    ap.add_argument("--decimora", required=True)
    ap.add_argument("--kit", required=True)
    ap.add_argument("--work", required=True)
    ap.add_argument("--factor", type=int, default=4)
    ap.add_argument("--period", type=float, default=4.0)
    ap.add_argument("--gimp")
    ap.add_argument("--csv")
    a = ap.parse_args()
    os.makedirs(a.work, exist_ok=True)
    screens = []
    for ink in INKS:
        path = os.path.join(a.work, f"screen{round(ink * 100)}.png")
        screen = dot_screen(ink, a.period)
        Image.fromarray(screen).save(path)
        screens.append((ink, path, screen))
    light = dict(method="light it sends", f=a.factor, period=a.period)
    for ink, _, screen in screens:
        light[f"ink{round(ink * 100)}"] = round(float(srgb_encode(srgb_decode(screen / 255.0).mean())) * 255, 1)
    rows = [light]
    for name, reduce in reducers(a):
        row = dict(method=name, f=a.factor, period=a.period)
        for ink, path, _ in screens:
            out = os.path.join(a.work, f"out-{name.replace(' ', '-')}-{round(ink * 100)}.png")
            try:
                reduce(path, out)
                row[f"ink{round(ink * 100)}"] = round(interior_mean(out), 1)
            except (subprocess.CalledProcessError, RuntimeError, OSError) as error:
                print(f"tone_table: {name} at {ink:.0%}: {error}", file=sys.stderr)
                row[f"ink{round(ink * 100)}"] = ""
        rows.append(row)
        print(name, [row[c] for c in COLUMNS[3:]], flush=True)
    if a.csv:
        write_rows(a.csv, COLUMNS, rows)


if __name__ == "__main__":
    main()
