"""The checks of one reduction: each takes the Reduction and gives back the
problems it found, one short sentence each (none when all is well)."""

import math
from dataclasses import dataclass

import numpy as np

import pixels
from filefacts import PIXEL_X_DIMENSION, PIXEL_Y_DIMENSION

MEAN_TOLERANCE = 0.01   # of full scale
BLOCK = 8               # output pixels a side
BLOCK_TOLERANCE = 0.05
PPI_TOLERANCE = 0.02    # what pixels-per-metre and rational fields round away
# Where each format states a resolution, the first found ruling.
DENSITY_PRECEDENCE = {"tiff": ["TIFF"], "png": ["pHYs", "EXIF"], "jpeg": ["EXIF", "JFIF"], "webp": ["EXIF"]}


@dataclass
class Reduction:
    factor: int
    input: str
    output: str
    source: object      # FileFacts of the input
    result: object      # FileFacts of the output


def sizes(r):
    wanted = [(w // r.factor, h // r.factor) for w, h in r.source.pages]
    if r.result.pages == wanted:
        return []
    return [f"pages {r.result.pages}, expected {wanted}"]


def _compared_pages(r):
    """Each page as (page, kind, cropped input, output), both as one kind."""
    for page in range(min(len(r.source.pages), len(r.result.pages))):
        in_kind, in_samples = pixels.read_page(r.input, page)
        out_kind, out_samples = pixels.read_page(r.output, page)
        kind = pixels.common_kind(in_kind, out_kind)
        if kind is None:
            yield page, f"{in_kind} input came out {out_kind}", None, None
            continue
        width, height = r.source.pages[page]
        cropped = in_samples[:height - height % r.factor, :width - width % r.factor]
        yield page, kind, pixels.as_kind(in_kind, cropped, kind), pixels.as_kind(out_kind, out_samples, kind)


def means(r):
    """Channel means of the output against the cropped input's."""
    problems = []
    for page, kind, cropped, output in _compared_pages(r):
        if cropped is None:
            problems.append(f"page {page}: {kind}")
            continue
        expected, found = pixels.channel_means(kind, cropped), pixels.channel_means(kind, output)
        worst = int(np.argmax(np.abs(found - expected)))
        if abs(found[worst] - expected[worst]) > MEAN_TOLERANCE:
            problems.append(f"page {page} {kind} channel {worst} mean {found[worst]:.4f}, "
                            f"cropped input {expected[worst]:.4f}")
    return problems


def structure(r):
    """The picture is where it was: means of blocks of BLOCK x BLOCK output
    pixels against the same area of the cropped input (a flip, a shift or
    rows out of order moves them; the filter's own softening does not)."""
    problems = []
    for page, kind, cropped, output in _compared_pages(r):
        if cropped is None or min(output.shape[:2]) < BLOCK:
            continue
        expected = pixels.block_means(kind, cropped, BLOCK * r.factor)
        found = pixels.block_means(kind, output, BLOCK)
        rows, columns = min(expected.shape[0], found.shape[0]), min(expected.shape[1], found.shape[1])
        worst = np.abs(found[:rows, :columns] - expected[:rows, :columns]).max()
        if worst > BLOCK_TOLERANCE:
            problems.append(f"page {page}: a block of {BLOCK} x {BLOCK} pixels is off by {worst:.3f}")
    return problems


def alpha(r):
    if r.source.has_alpha and not r.result.has_alpha:
        return ["transparency lost"]
    if r.result.has_alpha and not r.source.has_alpha:
        return ["alpha added to an opaque image"]
    return []


def associated_alpha(r):
    if not r.result.associated_alpha:
        return ["associated alpha became another kind"] if r.source.associated_alpha else []
    excess = pixels.associated_alpha_excess(r.output)
    return [f"associated colour passes alpha by {excess}"] if excess else []


def blobs(r):
    problems = []
    for name in ("icc", "xmp"):
        before, after = getattr(r.source, name), getattr(r.result, name)
        if before != after:
            problems.append(f"{name.upper()} {_described(before)} in, {_described(after)} out")
    if r.source.colour_chunks != r.result.colour_chunks:
        problems.append(f"colour chunks {sorted(r.source.colour_chunks)} in, {sorted(r.result.colour_chunks)} out")
    return problems


def _described(blob):
    return f"{len(blob)} bytes" if blob else "none"


def exif_tags(r):
    """EXIF tags other than the resolution are kept; pixel dimensions, where
    stated, are the output's."""
    dimensions = (PIXEL_X_DIMENSION, PIXEL_Y_DIMENSION)
    before = {key: v for key, v in r.source.exif_tags.items() if key[1] not in dimensions}
    after = {key: v for key, v in r.result.exif_tags.items() if key[1] not in dimensions}
    problems = [f"EXIF {key} {before.get(key)!r} in, {after.get(key)!r} out"
                for key in sorted(set(before) | set(after)) if before.get(key) != after.get(key)]
    for tag, size in zip(dimensions, r.result.pages[0]):
        stated = r.result.exif_tags.get(("EXIF", tag))
        if stated is not None and stated != size:
            problems.append(f"EXIF pixel dimension {stated} for {size} pixels")
    return problems


def density(r):
    ruling = _ruling_resolution(r.source)
    if ruling is None:
        return _density_without_resolution(r)
    expected_x = math.floor(round(ruling.x, 2) / r.factor)
    expected_y = expected_x * ruling.y / ruling.x
    problems = []
    for place, stated in r.result.densities.items():
        if stated.kind == "ppi" and not _close(stated, expected_x, expected_y):
            problems.append(f"{place} states {stated}, expected ppi {expected_x:g} x {expected_y:g}")
    for place, stated in r.source.densities.items():
        if stated.kind == "ppi" and r.result.densities.get(place, stated).kind != "ppi":
            problems.append(f"{place} resolution lost")
    return problems


def _ruling_resolution(facts):
    for place in DENSITY_PRECEDENCE[facts.format]:
        stated = facts.densities.get(place)
        if stated and stated.kind == "ppi":
            return stated
    return None


def _close(stated, x, y):
    return abs(stated.x - x) <= PPI_TOLERANCE and abs(stated.y - y) <= PPI_TOLERANCE


def _density_without_resolution(r):
    """Nothing stated stays nothing; an aspect ratio stays that ratio. A JFIF
    segment of square pixels states nothing, as libjpeg writes it by default."""
    problems = []
    for place, stated in r.result.densities.items():
        before = r.source.densities.get(place)
        if stated.kind == "aspect" and place == "JFIF" and stated.x == stated.y and before is None:
            continue
        if before is None:
            problems.append(f"{place} states {stated}, the input stated nothing")
        elif stated.kind != "aspect" or stated.x * before.y != stated.y * before.x:
            problems.append(f"{place} states {stated}, the input {before}")
    for place in r.source.densities:
        if place not in r.result.densities:
            problems.append(f"{place} aspect ratio lost")
    return problems


def lossless(r):
    if "VP8L" in r.source.chunks and "VP8L" not in r.result.chunks:
        return [f"lossless WebP came out as {[c for c in r.result.chunks if c.startswith('VP8')]}"]
    return []


ALL = [sizes, means, structure, alpha, associated_alpha, blobs, exif_tags, density, lossless]
