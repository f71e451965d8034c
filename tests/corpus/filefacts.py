"""What an image file states, read from its own bytes (PNG chunks, JPEG
markers, WebP chunks) or from Pillow's TIFF tags: its pages, every place
that states a density, its ICC profile, EXIF block, XMP packet and PNG colour
chunks, and how it stores alpha."""

import io
import struct
import zlib
from dataclasses import dataclass, field

from PIL import Image, TiffImagePlugin

INCH_PER_METRE = 0.0254
CM_PER_INCH = 2.54

# TIFF and EXIF tags.
X_RESOLUTION, Y_RESOLUTION, RESOLUTION_UNIT = 282, 283, 296
EXTRA_SAMPLES, SAMPLE_FORMAT, PHOTOMETRIC = 338, 339, 262
XMP_TAG, ICC_TAG = 700, 34675
EXIF_IFD, GPS_IFD = 0x8769, 0x8825
PIXEL_X_DIMENSION, PIXEL_Y_DIMENSION = 0xA002, 0xA003


@dataclass
class Density:
    """A resolution in pixels per inch ("ppi"), or a pixel shape ("aspect")."""
    kind: str
    x: float
    y: float

    def __str__(self):
        return f"{self.kind} {self.x:g} x {self.y:g}"


@dataclass
class FileFacts:
    format: str
    pages: list = field(default_factory=list)          # (width, height) of each page
    densities: dict = field(default_factory=dict)      # place ("TIFF", "pHYs", "JFIF", "EXIF") -> Density
    icc: bytes = None
    exif: bytes = None                                 # a TIFF-structured block
    exif_tags: dict = field(default_factory=dict)      # (directory, tag) -> value, resolution left out
    xmp: bytes = None
    colour_chunks: dict = field(default_factory=dict)  # PNG gAMA, cHRM, sRGB, cICP -> bytes
    chunks: list = field(default_factory=list)         # PNG or WebP chunk names in order
    has_alpha: bool = False
    associated_alpha: bool = False


def read_facts(path):
    with open(path, "rb") as f:
        data = f.read()
    if data.startswith(b"\x89PNG\r\n\x1a\n"):
        facts = _png_facts(data)
    elif data.startswith(b"\xff\xd8"):
        facts = _jpeg_facts(data)
    elif data[:4] == b"RIFF" and data[8:12] == b"WEBP":
        facts = _webp_facts(data)
    elif data[:4] in (b"II*\x00", b"MM\x00*"):
        return _tiff_facts(data)
    else:
        raise ValueError("not an image file this test knows")
    with Image.open(path) as image:
        facts.pages = [image.size]
        facts.has_alpha = "A" in image.getbands() or "transparency" in image.info
    if facts.exif:
        _add_exif(facts, facts.exif, include_first_directory=True)
    return facts


def exif_density(exif):
    """The resolution an EXIF block states, or None."""
    ifd0 = _load_exif(exif)
    if X_RESOLUTION not in ifd0 or Y_RESOLUTION not in ifd0:
        return None
    return _tag_density(ifd0.get(RESOLUTION_UNIT, 2), ifd0[X_RESOLUTION], ifd0[Y_RESOLUTION])


def _tag_density(unit, x, y):
    x, y = float(x), float(y)
    if unit == 3:
        return Density("ppi", x * CM_PER_INCH, y * CM_PER_INCH)
    if unit == 2:
        return Density("ppi", x, y)
    return Density("aspect", x, y)


def _load_exif(exif):
    loaded = Image.Exif()
    loaded.load(exif)
    return loaded


def _add_exif(facts, exif, include_first_directory):
    loaded = _load_exif(exif)
    if include_first_directory:
        density = exif_density(exif)
        if density:
            facts.densities["EXIF"] = density
        skipped = {X_RESOLUTION, Y_RESOLUTION, EXIF_IFD, GPS_IFD, 513, 514}
        facts.exif_tags.update({("IFD0", t): v for t, v in loaded.items() if t not in skipped})
    for name, pointer in (("EXIF", EXIF_IFD), ("GPS", GPS_IFD)):
        facts.exif_tags.update({(name, t): v for t, v in loaded.get_ifd(pointer).items()})


def _png_chunks(data):
    at = 8
    while at + 8 <= len(data):
        length, name = struct.unpack(">I4s", data[at:at + 8])
        yield name.decode("latin-1"), data[at + 8:at + 8 + length]
        at += 12 + length


def _png_facts(data):
    facts = FileFacts("png")
    for name, body in _png_chunks(data):
        facts.chunks.append(name)
        if name == "pHYs":
            x, y, unit = struct.unpack(">IIB", body)
            facts.densities["pHYs"] = (Density("ppi", x * INCH_PER_METRE, y * INCH_PER_METRE) if unit == 1
                                       else Density("aspect", x, y))
        elif name == "iCCP":
            facts.icc = zlib.decompress(body[body.index(b"\x00") + 2:])
        elif name == "eXIf":
            facts.exif = body
        elif name == "iTXt" and body.startswith(b"XML:com.adobe.xmp\x00"):
            facts.xmp = _itxt_text(body)
        elif name in ("gAMA", "cHRM", "sRGB", "cICP"):
            facts.colour_chunks[name] = body
    return facts


def _itxt_text(body):
    keyword_end = body.index(b"\x00")
    compressed = body[keyword_end + 1]
    rest = body[keyword_end + 3:]
    language_end = rest.index(b"\x00")
    translated_end = rest.index(b"\x00", language_end + 1)
    text = rest[translated_end + 1:]
    return zlib.decompress(text) if compressed else text


def jpeg_segments(data):
    """(marker, body) of each segment before the scan."""
    at = 2
    while at + 4 <= len(data) and data[at] == 0xFF:
        marker = data[at + 1]
        if marker == 0xDA:
            return
        length = struct.unpack(">H", data[at + 2:at + 4])[0]
        yield marker, data[at + 4:at + 2 + length]
        at += 2 + length


def _jpeg_facts(data):
    facts = FileFacts("jpeg")
    icc_parts = []
    for marker, body in jpeg_segments(data):
        if marker == 0xE0 and body.startswith(b"JFIF\x00"):
            unit, x, y = struct.unpack(">BHH", body[7:12])
            facts.densities["JFIF"] = (Density("ppi", x, y) if unit == 1 else
                                       Density("ppi", x * CM_PER_INCH, y * CM_PER_INCH) if unit == 2 else
                                       Density("aspect", x, y))
        elif marker == 0xE1 and body.startswith(b"Exif\x00\x00"):
            facts.exif = body[6:]
        elif marker == 0xE1 and body.startswith(b"http://ns.adobe.com/xap/1.0/\x00"):
            facts.xmp = body[29:]
        elif marker == 0xE2 and body.startswith(b"ICC_PROFILE\x00"):
            icc_parts.append((body[12], body[14:]))
    if icc_parts:
        facts.icc = b"".join(part for _, part in sorted(icc_parts))
    return facts


def webp_chunks(data):
    at = 12
    while at + 8 <= len(data):
        name, length = struct.unpack("<4sI", data[at:at + 8])
        yield name.decode("latin-1"), data[at + 8:at + 8 + length]
        at += 8 + length + (length & 1)


def _webp_facts(data):
    facts = FileFacts("webp")
    for name, body in webp_chunks(data):
        facts.chunks.append(name)
        if name == "ICCP":
            facts.icc = body
        elif name == "EXIF":
            facts.exif = body[6:] if body.startswith(b"Exif\x00\x00") else body
        elif name == "XMP ":
            facts.xmp = body
    return facts


def tiff_directories(data):
    """The tags of each page of a TIFF file, parsed without decoding pixels
    (Pillow opens no 12-bit file, say, but reads any directory)."""
    directories = []
    header = TiffImagePlugin.ImageFileDirectory_v2(data[:8])
    stream, offset = io.BytesIO(data), header.next
    while offset and len(directories) < 1000:
        directory = TiffImagePlugin.ImageFileDirectory_v2(data[:8])
        stream.seek(offset)
        directory.load(stream)
        directories.append(directory)
        offset = directory.next
    return directories


def _sub_directory(data, offset):
    directory = TiffImagePlugin.ImageFileDirectory_v2(data[:8])
    stream = io.BytesIO(data)
    stream.seek(offset)
    directory.load(stream)
    return directory


def _tiff_facts(data):
    facts = FileFacts("tiff")
    directories = tiff_directories(data)
    facts.pages = [(tags[256], tags[257]) for tags in directories]
    tags = directories[0]
    if X_RESOLUTION in tags and Y_RESOLUTION in tags:
        facts.densities["TIFF"] = _tag_density(tags.get(RESOLUTION_UNIT, 2), tags[X_RESOLUTION], tags[Y_RESOLUTION])
    facts.icc = tags.get(ICC_TAG)
    xmp = tags.get(XMP_TAG)
    facts.xmp = xmp.encode() if isinstance(xmp, str) else xmp
    extra = tags.get(EXTRA_SAMPLES, ())
    extra = extra if isinstance(extra, tuple) else (extra,)
    facts.has_alpha = bool(extra)
    facts.associated_alpha = 1 in extra
    for name, pointer in (("EXIF", EXIF_IFD), ("GPS", GPS_IFD)):
        if pointer in tags:
            facts.exif_tags.update({(name, t): v for t, v in _sub_directory(data, tags[pointer]).items()})
    return facts
