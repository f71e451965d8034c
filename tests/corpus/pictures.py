"""Test pictures with structure: a gradient, a halftone-like dot screen and
text-like strokes, so that a reduction that shifts, drops or mixes up pixels,
rows or channels moves the means the checks compare."""

import numpy as np


def _grid(width, height):
    y, x = np.mgrid[0:height, 0:width].astype(np.float64)
    return x / max(width - 1, 1), y / max(height - 1, 1), x, y


def gray(width, height):
    """0..1: a diagonal gradient, a dot screen on the left half, dark strokes."""
    u, v, x, y = _grid(width, height)
    picture = 0.15 + 0.7 * (0.6 * u + 0.4 * v)
    screen = (np.sin(x * 2.2) * np.sin(y * 2.2)) > 0.1
    picture = np.where((u < 0.5) & screen, picture * 0.35, picture)
    strokes = ((y.astype(int) % 11) < 2) & ((x.astype(int) // 7) % 3 != 0) & (v > 0.6)
    return np.where(strokes, 0.05, picture)


def rgb(width, height):
    """0..1, three channels that differ: a swapped or dropped channel shows."""
    u, v, _, _ = _grid(width, height)
    base = gray(width, height)
    return np.stack([base, 0.2 + 0.6 * v * base, 0.9 - 0.7 * u], axis=-1)


def alpha(width, height):
    """0..1: opaque top-left, fading to clear, a fully clear band, a hole."""
    u, v, x, y = _grid(width, height)
    a = np.clip(1.2 - 0.9 * u - 0.3 * v, 0.0, 1.0)
    a = np.where(v > 0.85, 0.0, a)
    hole = (np.abs(x - width * 0.3) < width * 0.08) & (np.abs(y - height * 0.4) < height * 0.08)
    return np.where(hole, 0.0, a)


def cmyk(width, height):
    """0..1, four inks that differ."""
    c = rgb(width, height)
    k = gray(width, height)[..., None] * 0.5
    return np.concatenate([1.0 - c, k], axis=-1)


def levels(picture, bits):
    """0..1 to whole numbers of `bits` bits."""
    top = (1 << bits) - 1
    return np.round(np.clip(picture, 0.0, 1.0) * top).astype(np.uint16 if bits > 8 else np.uint8)


def bilevel(width, height):
    """0 or 1: the gray picture through an ordered dither, as a fax or a scan of print."""
    bayer = np.array([[0, 8, 2, 10], [12, 4, 14, 6], [3, 11, 1, 9], [15, 7, 13, 5]]) / 16.0 + 1 / 32
    tiles = np.tile(bayer, (height // 4 + 1, width // 4 + 1))[:height, :width]
    return (gray(width, height) > tiles).astype(np.uint8)
