"""Makers of the corpus files. Each maker is a function of the path to
write; the factories here build them from a picture, a tool and its options.
Pillow writes what it can; libtiff's tools, ImageMagick and cwebp/webpmux
turn those files into the layouts only they write; a small PNG writer makes
the low-bit gray PNGs neither Pillow nor ImageMagick writes as asked."""

import struct
import subprocess
import zlib
from pathlib import Path

import numpy as np
from PIL import Image, ImageCms, TiffImagePlugin
from PIL.PngImagePlugin import PngInfo

import pictures

WIDTH, HEIGHT = 131, 97  # neither a multiple of 2 nor of 3: every case crops
XMP = (b'<?xpacket begin="\xef\xbb\xbf" id="W5M0MpCehiHzreSzNTczkc9d"?>'
       b'<x:xmpmeta xmlns:x="adobe:ns:meta/"><rdf:RDF xmlns:rdf="http://www.w3.org/1999/02/22-rdf-syntax-ns#">'
       b'<rdf:Description xmlns:dc="http://purl.org/dc/elements/1.1/" dc:format="corpus"/>'
       b'</rdf:RDF></x:xmpmeta><?xpacket end="w"?>')


def run(*command):
    done = subprocess.run([str(part) for part in command], capture_output=True, text=True)
    if done.returncode != 0:
        raise RuntimeError(f"{command[0]} failed: {done.stderr.strip()}")


def srgb_profile():
    return ImageCms.ImageCmsProfile(ImageCms.createProfile("sRGB")).tobytes()


def exif_block(ppi=None, unit=2, width=WIDTH, height=HEIGHT, pixel_dimensions=False):
    """An EXIF block with a camera's usual tags, and a resolution when `ppi`
    is given, as Pillow's writers take it: behind "Exif\\0\\0"."""
    exif = Image.Exif()
    exif[271] = "Corpus Camera Works"
    exif[272] = "Model 7"
    exif[274] = 1
    exif[305] = "corpus maker"
    if ppi is not None:
        exif[282] = TiffImagePlugin.IFDRational(ppi)
        exif[283] = TiffImagePlugin.IFDRational(ppi)
        exif[296] = unit
    sub = {0x9003: "2024:05:06 07:08:09", 0x829A: TiffImagePlugin.IFDRational(1, 125), 0x8827: 200}
    if pixel_dimensions:
        sub.update({0xA002: width, 0xA003: height})
    exif[0x8769] = sub
    return exif.tobytes()


def image_of(mode, width=WIDTH, height=HEIGHT):
    """A Pillow image of the test picture in `mode`."""
    g, c, a = pictures.gray(width, height), pictures.rgb(width, height), pictures.alpha(width, height)
    arrays = {
        "1": lambda: pictures.bilevel(width, height) * 255,
        "L": lambda: pictures.levels(g, 8),
        "LA": lambda: pictures.levels(np.stack([g, a], -1), 8),
        "RGB": lambda: pictures.levels(c, 8),
        "RGBA": lambda: pictures.levels(np.concatenate([c, a[..., None]], -1), 8),
        "CMYK": lambda: pictures.levels(pictures.cmyk(width, height), 8),
        "I;16": lambda: pictures.levels(g, 16),
    }
    if mode in ("P", "P16"):
        colours = 16 if mode == "P16" else 64
        return image_of("RGB", width, height).quantize(colors=colours, dither=Image.Dither.NONE)
    if mode == "1":
        return Image.fromarray(arrays["1"]().astype(np.uint8), "L").convert("1")
    return Image.fromarray(arrays[mode](), mode)


def pillow(mode, format_name, **options):
    """Pillow writes the picture in `mode`; `options` go to Image.save."""
    def make(path):
        image_of(mode).save(path, format_name, **options)
    return make


def png_with(mode, chunks=(), xmp=False, **options):
    """A Pillow PNG with an XMP packet and extra raw chunks ((name, bytes)),
    put right after IHDR: Pillow itself drops the pHYs and cICP it is given."""
    def make(path):
        info = PngInfo()
        if xmp:
            info.add_itxt("XML:com.adobe.xmp", XMP.decode())
        image_of(mode).save(path, "PNG", pnginfo=info, **options)
        data = Path(path).read_bytes()
        header_end = 8 + 12 + 13
        extra = b"".join(_chunk(name, body) for name, body in chunks)
        Path(path).write_bytes(data[:header_end] + extra + data[header_end:])
    return make


def png_keyed(mode):
    """A 300 ppi PNG whose most common colour is made transparent by a tRNS chunk."""
    def make(path):
        image = image_of(mode)
        samples = np.asarray(image).reshape(-1, len(image.getbands()))
        values, counts = np.unique(samples, axis=0, return_counts=True)
        key = [int(v) for v in values[counts.argmax()]]
        image.save(path, "PNG", dpi=(300, 300), transparency=key[0] if mode == "L" else tuple(key))
    return make


def png_palette_with_alpha(path):
    """A 4-bit palette PNG whose tRNS chunk makes some entries clear, some half."""
    image = image_of("P16")
    image.save(path, "PNG", dpi=(300, 300), transparency=bytes([255, 0, 128, 255, 64, 255, 200, 0] + [255] * 8))


def tiff_with_metadata(path):
    """A 300 ppi RGB TIFF with an ICC profile, EXIF directory and XMP packet
    (Pillow writes the XMP tag from the EXIF it is given, not beside it)."""
    tags = Image.Exif()
    tags.load(exif_block())
    tags[700] = XMP
    image_of("RGB").save(path, "TIFF", dpi=(300, 300), icc_profile=srgb_profile(), exif=tags)


def handmade_png(color_type, depth, samples, ppi=300):
    """A WIDTH x HEIGHT PNG of `samples` (rows of whole numbers, every
    sample of a pixel in turn) packed at `depth` bits, at `ppi`."""
    def make(path):
        rows = []
        for row in samples():
            if depth < 8:
                bits = np.unpackbits(row.astype(np.uint8)[:, None], axis=1)[:, 8 - depth:].ravel()
                packed = np.packbits(bits).tobytes()
            else:
                packed = row.astype(">u2" if depth == 16 else np.uint8).tobytes()
            rows.append(b"\x00" + packed)
        header = struct.pack(">IIBBBBB", WIDTH, HEIGHT, depth, color_type, 0, 0, 0)
        with open(path, "wb") as f:
            density = struct.pack(">IIB", round(ppi / 0.0254), round(ppi / 0.0254), 1)
            f.write(b"\x89PNG\r\n\x1a\n" + _chunk(b"IHDR", header) + _chunk(b"pHYs", density) +
                    _chunk(b"IDAT", zlib.compress(b"".join(rows))) + _chunk(b"IEND", b""))
    return make


def _chunk(name, body):
    return struct.pack(">I", len(body)) + name + body + struct.pack(">I", zlib.crc32(name + body))


def gray_levels(depth):
    return lambda: pictures.levels(pictures.gray(WIDTH, HEIGHT), depth)


def gray_alpha16():
    planes = [pictures.gray(WIDTH, HEIGHT), pictures.alpha(WIDTH, HEIGHT)]
    return pictures.levels(np.stack(planes, -1), 16).reshape(HEIGHT, WIDTH * 2)


def through(tool, source, *options, suffix=".tif", out_prefix=""):
    """`source` makes a file that `tool` (tiffcp, convert, cwebp) turns into
    the case's file; `out_prefix` (PNG48:) tells ImageMagick the layout."""
    def make(path):
        first = Path(path).with_suffix(".source" + suffix)
        source(first)
        if tool == "cwebp":
            run("cwebp", "-quiet", *options, first, "-o", path)
        elif tool == "tiffcp":
            run("tiffcp", *options, first, path)
        else:
            run(tool, first, *options, f"{out_prefix}{path}")
        first.unlink()
    return make


def pages(*sources):
    """tiffcp joins the TIFF files of `sources` as the pages of one file."""
    def make(path):
        parts = []
        for index, source in enumerate(sources):
            parts.append(Path(path).with_suffix(f".page{index}.tif"))
            source(parts[-1])
        run("tiffcp", *parts, path)
        for part in parts:
            part.unlink()
    return make


def sized(mode, width, height, **options):
    def make(path):
        image_of(mode, width, height).save(path, "TIFF", **options)
    return make


def webp_mux(source, icc=False, exif=None, xmp=False):
    """webpmux adds an ICC profile, an EXIF block and an XMP packet to a WebP."""
    def make(path):
        source(path)
        bare_exif = exif[6:] if exif and exif.startswith(b"Exif\x00\x00") else exif
        blobs = {"icc": srgb_profile() if icc else None, "exif": bare_exif, "xmp": XMP if xmp else None}
        for kind, blob in blobs.items():
            if blob is None:
                continue
            blob_path = Path(path).with_suffix("." + kind)
            blob_path.write_bytes(blob)
            run("webpmux", "-set", kind, blob_path, path, "-o", path)
            blob_path.unlink()
    return make


def raw_signed16(path):
    """libtiff's raw2tiff stores signed 16-bit samples."""
    raw = Path(path).with_suffix(".raw")
    samples = (pictures.levels(pictures.gray(WIDTH, HEIGHT), 16).astype(np.int32) - 32768).astype("<i2")
    raw.write_bytes(samples.tobytes())
    run("raw2tiff", "-w", WIDTH, "-l", HEIGHT, "-d", "sshort", "-c", "none", raw, path)
    raw.unlink()


def lab_tiff(path):
    """Pillow stores 8-bit CIELab samples."""
    lightness = image_of("L")
    Image.merge("LAB", [lightness, lightness.point(lambda v: 128 + v // 8), lightness.point(lambda v: 120)]
                ).save(path, "TIFF")


def jpeg_edited(source, jfif=None, drop_jfif=False, xmp=False):
    """Rewrites the JFIF density (unit, x, y) of the JPEG `source` makes, or
    drops its JFIF segment, and adds an XMP segment."""
    def make(path):
        source(path)
        data = bytearray(Path(path).read_bytes())
        assert data[2:4] == b"\xff\xe0" and data[6:11] == b"JFIF\x00"
        app0_end = 4 + struct.unpack(">H", data[4:6])[0]
        if jfif is not None:
            data[13:18] = struct.pack(">BHH", *jfif)
        if xmp:
            body = b"http://ns.adobe.com/xap/1.0/\x00" + XMP
            data[app0_end:app0_end] = b"\xff\xe1" + struct.pack(">H", len(body) + 2) + body
        if drop_jfif:
            del data[2:app0_end]
        Path(path).write_bytes(bytes(data))
    return make
