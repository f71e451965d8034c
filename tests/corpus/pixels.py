"""A page of an image file as samples from 0 to 1 (height x width x
channels) of one of five kinds: gray, graya, rgb, rgba, cmyk. Pillow decodes;
what it cannot (12-bit TIFF, say) ImageMagick decodes to 16-bit RGBA."""

import subprocess
import tempfile
from pathlib import Path

import numpy as np
from PIL import Image

# What each Pillow mode is compared as, and the mode it is converted to first.
KIND_OF_MODE = {
    "1": ("gray", "L"), "L": ("gray", "L"), "I;16": ("gray", None), "I;16B": ("gray", None),
    "I;16L": ("gray", None), "I": ("gray", None),
    "LA": ("graya", "LA"), "La": ("graya", "LA"), "PA": ("rgba", "RGBA"),
    "RGB": ("rgb", "RGB"), "YCbCr": ("rgb", "RGB"), "RGBX": ("rgb", "RGB"),
    "RGBA": ("rgba", "RGBA"), "RGBa": ("rgba", "RGBA"), "CMYK": ("cmyk", "CMYK"),
}
ALPHA_OF = {"gray": "graya", "rgb": "rgba"}


def read_page(path, page=0):
    """(kind, samples) of the page."""
    try:
        with Image.open(path) as image:
            image.seek(page)
            image.load()
            return _from_pillow(image)
    except (OSError, KeyError, ValueError):
        return "rgba", _from_magick(path, page)


def _from_pillow(image):
    mode = image.mode
    transparent = "transparency" in image.info
    if mode == "P":
        kind, target = ("rgba", "RGBA") if transparent else ("rgb", "RGB")
    else:
        kind, target = KIND_OF_MODE[mode]
        if transparent and kind in ALPHA_OF:
            kind = ALPHA_OF[kind]
            target = "LA" if kind == "graya" else "RGBA"
    if target is not None and target != mode:
        image = image.convert(target)
    samples = np.asarray(image)
    top = 65535.0 if samples.dtype != np.uint8 and samples.dtype != bool else 255.0
    if samples.dtype == bool:
        top = 1.0
    samples = samples.astype(np.float64) / top
    return kind, samples if samples.ndim == 3 else samples[..., None]


def _from_magick(path, page):
    done = subprocess.run(["convert", f"{path}[{page}]", "-depth", "16", "-endian", "MSB", "-alpha", "on",
                           "rgba:-"],
                          capture_output=True, check=True)
    width, height = _magick_size(path, page)
    return np.frombuffer(done.stdout, ">u2").reshape(height, width, 4).astype(np.float64) / 65535.0


def _magick_size(path, page):
    done = subprocess.run(["identify", "-format", "%w %h", f"{path}[{page}]"],
                          capture_output=True, text=True, check=True)
    width, height = done.stdout.split()
    return int(width), int(height)


def as_kind(kind, samples, wanted):
    """The samples as `wanted`: gray spread to RGB, opaque alpha added."""
    if kind == wanted:
        return samples
    if kind in ("gray", "graya") and wanted in ("rgb", "rgba"):
        colour = np.repeat(samples[..., :1], 3, axis=-1)
        samples = np.concatenate([colour, samples[..., 1:]], axis=-1)
        kind = "rgb" if kind == "gray" else "rgba"
    if kind + "a" == wanted or (kind == "gray" and wanted == "graya"):
        samples = np.concatenate([samples, np.ones(samples.shape[:2] + (1,))], axis=-1)
        kind = wanted
    if kind != wanted:
        raise ValueError(f"{kind} cannot be compared as {wanted}")
    return samples


def common_kind(first, second):
    """The kind both can be shown as: with alpha if either has it, RGB if either is."""
    if "cmyk" in (first, second):
        return "cmyk" if first == second else None
    colour = "rgb" if "rgb" in first + second else "gray"
    return colour + "a" if first.endswith("a") or second.endswith("a") else colour


def channel_means(kind, samples):
    """Mean of each channel; colour premultiplied by alpha, as the filter averages it."""
    if kind in ("graya", "rgba"):
        alpha = samples[..., -1:]
        samples = np.concatenate([samples[..., :-1] * alpha, alpha], axis=-1)
    return samples.reshape(-1, samples.shape[-1]).mean(axis=0)


def block_means(kind, samples, block):
    """Channel means (colour premultiplied) of each whole block x block square."""
    if kind in ("graya", "rgba"):
        samples = np.concatenate([samples[..., :-1] * samples[..., -1:], samples[..., -1:]], axis=-1)
    rows, columns = samples.shape[0] // block, samples.shape[1] // block
    squares = samples[:rows * block, :columns * block].reshape(rows, block, columns, block, -1)
    return squares.mean(axis=(1, 3))


def associated_alpha_excess(path):
    """How far the stored colour of an associated-alpha TIFF's first page
    passes its alpha at worst (0 when colour <= alpha everywhere), read
    uncompressed, chunky and in one strip through tiffcp so that Pillow's
    decoding does not divide it back. Alpha is the last sample."""
    with tempfile.TemporaryDirectory() as folder:
        plain = Path(folder) / "plain.tif"
        subprocess.run(["tiffcp", "-c", "none", "-p", "contig", "-r", "1000000", f"{path},0", str(plain)],
                       check=True, capture_output=True)
        data = plain.read_bytes()
        with Image.open(plain) as image:
            tags = image.tag_v2
            width, height = image.size
            channels, bits = tags[277], tags[258][0]
            offset, length = tags[273][0], tags[279][0]
    order = "<" if data[:2] == b"II" else ">"
    dtype = np.dtype(np.uint8) if bits == 8 else np.dtype(order + "u2")
    samples = np.frombuffer(data[offset:offset + length], dtype).reshape(height, width, channels)
    samples = samples.astype(np.int64)
    return int(max(0, (samples[..., :-1] - samples[..., -1:]).max()))
