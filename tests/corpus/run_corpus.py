#!/usr/bin/python3
"""The image-file corpus: real files of every layout the readers and writers
take, made now by the formats' own tools, each reduced by `decimora reduce
--tone coded` and checked (checks.py): size, channel means against the
cropped input, alpha, metadata kept, resolution divided wherever it is
stated; the layouts it refuses must fail with one line and leave no file.

    run_corpus.py DECIMORA [--keep DIR] [--only SUBSTRING]

Prints one PASS or FAIL line per file; exits 1 if any failed."""

import argparse
import re
import shutil
import struct
import subprocess
import sys
import tempfile
import traceback
from dataclasses import dataclass
from pathlib import Path

import checks
import makers as m
from filefacts import read_facts

GAMMA_45455 = struct.pack(">I", 45455)
CHROMATICITIES_709 = struct.pack(">8I", 31270, 32900, 64000, 33000, 30000, 60000, 15000, 6000)
CICP_SRGB = bytes([1, 13, 0, 1])


@dataclass
class Case:
    name: str                 # the file's name; its extension is the output's
    make: object              # writes the file at the path it is given
    factors: tuple = (2,)
    refused_for: str = ""     # a pattern for the reason it must be refused for
    shows: tuple = ()         # what the made file must show (see lacks), lest a maker test nothing


def lacks(facts, data, feature):
    """Whether the made file lacks `feature`: icc, exif, xmp, alpha,
    associated, big-endian, lossless, pages=N, no density, "chunk NAME" for
    a PNG colour chunk, or KIND@PLACE for a density (ppi@EXIF, aspect@pHYs,
    none@JFIF)."""
    if feature.startswith("chunk "):
        return feature[6:] not in facts.colour_chunks
    if "@" in feature:
        kind, place = feature.split("@")
        stated = facts.densities.get(place)
        return (stated.kind if stated else "none") != kind
    present = {"icc": bool(facts.icc), "exif": bool(facts.exif_tags), "xmp": bool(facts.xmp),
               "alpha": facts.has_alpha, "associated": facts.associated_alpha, "big-endian": data[:2] == b"MM",
               "no density": not facts.densities, "lossless": "VP8L" in facts.chunks,
               f"pages={len(facts.pages)}": True}
    return not present.get(feature, False)


def png_cases():
    return [
        Case("png-gray1.png", m.pillow("1", "PNG", dpi=(300, 300))),
        Case("png-gray2.png", m.handmade_png(0, 2, m.gray_levels(2))),
        Case("png-gray4.png", m.handmade_png(0, 4, m.gray_levels(4))),
        Case("png-gray8.png", m.pillow("L", "PNG", dpi=(300, 300)), (2, 3)),
        Case("png-gray16.png", m.pillow("I;16", "PNG", dpi=(150, 150)), (2, 3)),
        Case("png-gray8-trns.png", m.png_keyed("L"), shows=("alpha",)),
        Case("png-graya8.png", m.pillow("LA", "PNG", dpi=(72, 72))),
        Case("png-graya16.png", m.handmade_png(4, 16, m.gray_alpha16)),
        Case("png-rgb8-icc-exif-xmp.png",
             m.png_with("RGB", xmp=True, dpi=(300, 300), icc_profile=m.srgb_profile(), exif=m.exif_block(300)),
             (2, 3), shows=("icc", "exif", "xmp", "ppi@pHYs", "ppi@EXIF")),
        Case("png-rgb8-trns.png", m.png_keyed("RGB"), shows=("alpha",)),
        Case("png-rgb16.png", m.through("convert", m.pillow("RGB", "PNG", dpi=(96, 96)), suffix=".png",
                                        out_prefix="PNG48:")),
        Case("png-rgba8-gama-chrm.png",
             m.png_with("RGBA", chunks=[(b"gAMA", GAMMA_45455), (b"cHRM", CHROMATICITIES_709)], dpi=(300, 300)),
             shows=("chunk gAMA", "chunk cHRM")),
        Case("png-rgba16.png", m.through("convert", m.pillow("RGBA", "PNG", dpi=(300, 300)), suffix=".png",
                                         out_prefix="PNG64:")),
        Case("png-palette8.png", m.pillow("P", "PNG", dpi=(300, 300))),
        Case("png-palette4-trns.png", m.png_palette_with_alpha, shows=("alpha",)),
        Case("png-srgb-cicp.png", m.png_with("RGB", chunks=[(b"sRGB", b"\x00"), (b"gAMA", GAMMA_45455),
                                                            (b"cICP", CICP_SRGB)], dpi=(300, 300)),
             shows=("chunk sRGB", "chunk gAMA", "chunk cICP")),
        Case("png-aspect-only.png", m.png_with("L", chunks=[(b"pHYs", struct.pack(">IIB", 3, 2, 0))]),
             shows=("aspect@pHYs",)),
        Case("png-no-density.png", m.pillow("RGB", "PNG"), shows=("no density",)),
        Case("png-interlaced.png", m.through("convert", m.pillow("RGB", "PNG", dpi=(96, 96)), "-interlace", "PNG",
                                             suffix=".png")),
    ]


def tiff_cases():
    rgb_300 = m.pillow("RGB", "TIFF", dpi=(300, 300))
    bilevel = m.pillow("1", "TIFF", dpi=(204, 196))
    gray_png = m.pillow("L", "PNG", dpi=(300, 300))
    rgb_png = m.pillow("RGB", "PNG", dpi=(300, 300))
    rgb16 = m.through("convert", rgb_png, "-depth", "16", suffix=".png")
    return [
        Case("tif-gray8.tif", m.pillow("L", "TIFF", dpi=(300, 300)), (2, 3)),
        Case("tif-gray16.tif", m.pillow("I;16", "TIFF", dpi=(300, 300)), (2, 3)),
        Case("tif-rgb8-lzw-95.99ppi.tif", m.pillow("RGB", "TIFF", compression="tiff_lzw", dpi=(95.99, 95.99))),
        Case("tif-rgba8-deflate.tif", m.pillow("RGBA", "TIFF", compression="tiff_adobe_deflate", dpi=(200, 200))),
        Case("tif-rgb16.tif", rgb16, (2, 3)),
        Case("tif-rgba16.tif", m.through("convert", m.pillow("RGBA", "PNG", dpi=(150, 150)), "-depth", "16",
                                         suffix=".png")),
        Case("tif-icc-exif-xmp.tif", m.tiff_with_metadata,
             shows=("icc", "exif", "xmp")),
        Case("tif-centimetres.tif", m.pillow("L", "TIFF", tiffinfo={296: 3, 282: 118.11, 283: 118.11}),
             shows=("ppi@TIFF",)),
        Case("tif-aspect-only.tif", m.pillow("L", "TIFF", tiffinfo={296: 1, 282: 2.0, 283: 1.0}),
             shows=("aspect@TIFF",)),
        Case("tif-no-density.tif", m.pillow("RGB", "TIFF"), shows=("no density",)),
        Case("tif-tiled.tif", m.through("tiffcp", rgb_300, "-t", "-w", "16", "-l", "16", "-c", "zip"), (2, 3)),
        Case("tif-planar.tif", m.through("tiffcp", rgb_300, "-p", "separate", "-c", "lzw")),
        Case("tif-rgb16-planar-bigendian.tif", m.through("convert", rgb_png, "-depth", "16", "-interlace", "plane",
                                                         "-define", "tiff:endian=msb", suffix=".png"),
             shows=("big-endian",)),
        Case("tif-ycbcr-jpeg.tif", m.through("tiffcp", rgb_300, "-c", "jpeg", "-r", "16"), (2, 3)),
        Case("tif-g3.tif", m.through("tiffcp", bilevel, "-c", "g3")),
        Case("tif-g4.tif", m.through("tiffcp", bilevel, "-c", "g4"), (2, 3)),
        Case("tif-gray2.tif", m.through("convert", gray_png, "-depth", "2", suffix=".png")),
        Case("tif-gray4.tif", m.through("convert", gray_png, "-depth", "4", suffix=".png")),
        Case("tif-rgb12.tif", m.through("convert", rgb_png, "-depth", "12", suffix=".png")),
        Case("tif-min-is-white.tif", m.through("convert", gray_png, "-define", "quantum:polarity=min-is-white",
                                               suffix=".png")),
        Case("tif-palette.tif", m.through("convert", rgb_png, "-colors", "16", "-type", "Palette", suffix=".png")),
        Case("tif-cmyk8.tif", m.pillow("CMYK", "TIFF", dpi=(300, 300)), (2, 3)),
        Case("tif-cmyk16.tif", m.through("convert", m.pillow("CMYK", "TIFF", dpi=(300, 300)), "-depth", "16")),
        Case("tif-associated-alpha.tif", m.through("convert", m.pillow("RGBA", "PNG", dpi=(300, 300)),
                                                   "-define", "tiff:alpha=associated", suffix=".png"),
             shows=("associated",)),
        Case("tif-three-pages.tif", m.pages(m.sized("RGB", 131, 97, dpi=(300, 300)),
                                            m.sized("L", 64, 50, dpi=(300, 300)),
                                            m.sized("RGBA", 80, 81, dpi=(300, 300))), (2, 3),
             shows=("pages=3",)),
        Case("tif-cielab.tif", m.lab_tiff, refused_for=r"cie ?l\*?a\*?b|\bl\*a\*b\*|\blab\b"),
        Case("tif-signed16.tif", m.raw_signed16, refused_for=r"\bsigned"),
    ]


def jpeg_cases():
    rgb_jpeg = m.pillow("RGB", "JPEG", quality=95)
    return [
        Case("jpg-gray.jpg", m.pillow("L", "JPEG", quality=95, dpi=(300, 300)), (2, 3)),
        Case("jpg-rgb.jpg", m.pillow("RGB", "JPEG", quality=95, dpi=(72, 72)), (2, 3)),
        Case("jpg-rgb-progressive-444.jpg", m.pillow("RGB", "JPEG", quality=95, dpi=(150, 150), progressive=True,
                                                     subsampling=0)),
        Case("jpg-icc-exif-xmp.jpg", m.jpeg_edited(m.pillow("RGB", "JPEG", quality=95, dpi=(300, 300),
                                                            icc_profile=m.srgb_profile(),
                                                            exif=m.exif_block(300, pixel_dimensions=True)),
                                                   xmp=True), (2, 3),
             shows=("icc", "exif", "xmp", "ppi@EXIF", "ppi@JFIF")),
        Case("jpg-jfif-72-exif-300.jpg", m.pillow("RGB", "JPEG", quality=95, dpi=(72, 72),
                                                  exif=m.exif_block(300)),
             shows=("ppi@JFIF", "ppi@EXIF")),
        Case("jpg-exif-only-200.jpg", m.jpeg_edited(m.pillow("RGB", "JPEG", quality=95, exif=m.exif_block(200)),
                                                    drop_jfif=True),
             shows=("ppi@EXIF", "none@JFIF")),
        Case("jpg-aspect-only.jpg", m.jpeg_edited(m.pillow("L", "JPEG", quality=95), jfif=(0, 2, 1)), shows=("aspect@JFIF",)),
        Case("jpg-no-density.jpg", m.jpeg_edited(rgb_jpeg, drop_jfif=True), shows=("no density",)),
        Case("jpg-cmyk-magick.jpg", m.through("convert", m.pillow("CMYK", "TIFF", dpi=(300, 300)),
                                              "-quality", "95")),
        Case("jpg-cmyk-pillow.jpg", m.pillow("CMYK", "JPEG", quality=95, dpi=(300, 300))),
    ]


def webp_cases():
    rgb_png, rgba_png = m.pillow("RGB", "PNG"), m.pillow("RGBA", "PNG")
    lossless = m.through("cwebp", rgb_png, "-lossless", suffix=".png")
    return [
        Case("webp-lossy.webp", m.through("cwebp", rgb_png, "-q", "90", suffix=".png")),
        Case("webp-lossless.webp", lossless, (2, 3), shows=("lossless",)),
        Case("webp-lossy-alpha.webp", m.through("cwebp", rgba_png, "-q", "90", suffix=".png"), shows=("alpha",)),
        Case("webp-lossless-alpha.webp", m.through("cwebp", rgba_png, "-lossless", "-exact", suffix=".png"),
             shows=("lossless", "alpha")),
        Case("webp-icc-exif-xmp.webp", m.webp_mux(lossless, icc=True, exif=m.exif_block(300), xmp=True),
             shows=("icc", "exif", "xmp", "ppi@EXIF", "lossless")),
    ]


CASES = png_cases() + tiff_cases() + jpeg_cases() + webp_cases()


def reduce(decimora, factor, source, output):
    return subprocess.run([decimora, "reduce", "--tone", "coded", "--factor", str(factor), "--quiet",
                           str(source), "-o", str(output)], capture_output=True, text=True, timeout=120)


def reduction_problems(decimora, case, source, folder):
    """Reduces `source` by each factor of the case and checks each result."""
    source_facts = read_facts(source)
    problems = [f"the made file lacks {feature}" for feature in case.shows
                if lacks(source_facts, source.read_bytes(), feature)]
    for factor in case.factors:
        output = folder / f"by{factor}" / case.name
        output.parent.mkdir()
        done = reduce(decimora, factor, source, output)
        if done.returncode != 0:
            problems.append(f"by {factor}: exit {done.returncode}: {done.stderr.strip()}")
            continue
        reduction = checks.Reduction(factor, str(source), str(output), source_facts, read_facts(output))
        problems += [f"by {factor}: {p}" for check in checks.ALL for p in check(reduction)]
    return problems


def refusal_problems(decimora, case, source, folder):
    """A refused file: a failure status, one line naming the file and why, no output."""
    output_folder = folder / "refused"
    output_folder.mkdir()
    done = reduce(decimora, case.factors[0], source, output_folder / case.name)
    lines = [line for line in done.stderr.splitlines() if line.strip()]
    problems = []
    if done.returncode == 0:
        problems.append("reduced instead of refused")
    if len(lines) != 1:
        problems.append(f"{len(lines)} lines on stderr: {lines}")
    elif str(source) not in lines[0]:
        problems.append(f"the line does not name the file: {lines[0]}")
    elif not re.search(case.refused_for, lines[0].replace(str(source), ""), re.IGNORECASE):
        problems.append(f"the line does not give the reason ({case.refused_for}): {lines[0]}")
    left = [p.name for p in output_folder.iterdir()]
    if left:
        problems.append(f"left behind: {left}")
    return problems


def run_case(decimora, case, folder):
    folder.mkdir()
    source = folder / case.name
    try:
        case.make(source)
    except Exception as error:  # a maker's failure is this case's, not the run's
        return [f"could not make the file: {error}"]
    try:
        if case.refused_for:
            return refusal_problems(decimora, case, source, folder)
        return reduction_problems(decimora, case, source, folder)
    except Exception:
        return ["the check itself failed: " + traceback.format_exc().strip().splitlines()[-1]]


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("decimora")
    parser.add_argument("--keep", help="make the files in this folder and keep them")
    parser.add_argument("--only", default="", help="run only the cases whose name holds this")
    arguments = parser.parse_args()
    top = Path(arguments.keep or tempfile.mkdtemp(prefix="decimora-corpus-"))
    if arguments.keep:
        shutil.rmtree(top, ignore_errors=True)
        top.mkdir(parents=True)
    failed = 0
    cases = [case for case in CASES if arguments.only in case.name]
    try:
        for case in cases:
            problems = run_case(arguments.decimora, case, top / Path(case.name).stem)
            failed += bool(problems)
            print(f"FAIL {case.name}: " + "; ".join(problems) if problems else f"PASS {case.name}", flush=True)
    finally:
        if not arguments.keep:
            shutil.rmtree(top, ignore_errors=True)
    print(f"{len(cases) - failed} of {len(cases)} files passed")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
