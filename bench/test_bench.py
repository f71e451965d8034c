#!/usr/bin/env python3
"""Checks of the scale series' probes, result check and target lines (the
light-mode HT target too), and of the sharpness test's fit and targets:

    python3 -m unittest bench/test_bench.py
"""
import os
import shutil
import sys
import tempfile
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import scale     # noqa: E402
import summary   # noqa: E402
import light_summary  # noqa: E402
import sharpness  # noqa: E402
import sharpness_summary  # noqa: E402

MIB = 2 ** 20

# Holds 200 MiB of anonymous memory and an unlinked 64 MiB scratch file that
# is mapped and no longer open, as decimora does, then waits to be sampled.
# (libc's mmap: Python's own keeps a copy of the descriptor open.)
HOLDER = """
import ctypes, mmap, os, sys, time
libc = ctypes.CDLL(None, use_errno=True)
libc.mmap.restype = ctypes.c_void_p
libc.mmap.argtypes = [ctypes.c_void_p, ctypes.c_size_t, ctypes.c_int, ctypes.c_int, ctypes.c_int, ctypes.c_long]
anon = b"\\1" * (200 << 20)
fd = os.open(sys.argv[1], os.O_TMPFILE | os.O_RDWR, 0o600)
os.posix_fallocate(fd, 0, 64 << 20)
mapped = libc.mmap(None, 64 << 20, mmap.PROT_READ | mmap.PROT_WRITE, mmap.MAP_SHARED, fd, 0)
assert mapped not in (None, ctypes.c_void_p(-1).value)
os.close(fd)
time.sleep(1.5)
"""


class SamplerTest(unittest.TestCase):
    def test_a_grandchild_s_memory_and_unlinked_mapped_file_are_counted(self):
        folder = tempfile.mkdtemp()
        self.addCleanup(shutil.rmtree, folder)
        # sh forks the Python holder and waits: the holder is a descendant, not the process itself
        argv = ["sh", "-c", f'"{sys.executable}" -c \'{HOLDER}\' "{folder}" & wait']
        _, _, code, sampler = scale.measured_run(argv, folder)
        self.assertEqual(code, 0)
        self.assertGreaterEqual(sampler.peak_anon, 200 * MIB)
        self.assertLess(sampler.peak_anon, 260 * MIB)
        self.assertEqual(sampler.peak_scratch, 64 * MIB)
        self.assertGreaterEqual(sampler.peak_drop, 60 * MIB)


class SamePixelsTest(unittest.TestCase):
    def test_files_decoded_when_their_bytes_differ(self):
        from PIL import Image
        folder = tempfile.mkdtemp()
        self.addCleanup(shutil.rmtree, folder)
        a, b, c = (os.path.join(folder, n) for n in ("a.tif", "b.tif", "c.tif"))
        image = Image.new("RGB", (40, 30), (10, 200, 30))
        image.save(a)
        image.save(b, compression="tiff_lzw")
        image.putpixel((39, 29), (10, 200, 31))
        image.save(c)
        self.assertEqual(scale.same_pixels(a, a), "same file")
        self.assertEqual(scale.same_pixels(a, b), "same pixels")
        self.assertEqual(scale.same_pixels(a, c), "DIFFERENT")


def row(mp, ms_per_mp, anon, **changes):
    r = dict(megapixels=str(mp), ms_per_mp=str(ms_per_mp), peak_anon_mib=str(anon), memory="512M", factor="4",
             exit="0", ref_exit="0", size_ok="1", pixels="same file", ref_scratch_mib="0", leftover="0",
             out_width="1", out_height="1")
    r.update(changes)
    return r


class ScaleVerdictTest(unittest.TestCase):
    def verdicts(self, rows):
        lines = summary.scale_verdicts(rows)
        self.assertEqual(len(lines), 4)
        return ["FAIL" in line for line in lines]

    def test_flat_figures_pass(self):
        self.assertEqual(self.verdicts([row(48, 10, 300), row(432, 12.9, 320), row(1440, 12, 310)]),
                         [False] * 4)

    def test_each_target_fails_on_its_own(self):
        self.assertEqual(self.verdicts([row(48, 10, 300), row(1440, 13.1, 300)]), [True, False, False, False])
        self.assertEqual(self.verdicts([row(48, 10, 300), row(1440, 10, 331)]), [False, True, False, False])
        self.assertEqual(self.verdicts([row(48, 10, 760), row(1440, 10, 770)]), [False, False, True, False])
        for bad in (dict(pixels="DIFFERENT"), dict(size_ok="0"), dict(exit="1"), dict(ref_scratch_mib="12"),
                    dict(leftover="1")):
            self.assertEqual(self.verdicts([row(48, 10, 300), row(1440, 10, 300, **bad)]),
                             [False, False, False, True], bad)


class LightTargetsTest(unittest.TestCase):
    def test_ht_may_reach_the_ideal_reductions_own_figure_but_not_pass_it(self):
        mean = {(3, "custom", "ht"): 0.40, (3, "ref-strict", "ht"): 0.39, (8, "custom", "ht"): 0.12}
        self.assertIn("PASS", light_summary.ht_verdict(mean, [3, 8]))
        mean[(3, "custom", "ht")] = 0.45
        self.assertIn("FAIL** at f=3: 0.45 (limit 0.41)", light_summary.ht_verdict(mean, [3, 8]))


class SharpnessTest(unittest.TestCase):
    def test_fit_finds_subsampled_and_box_averaged_contrast(self):
        import numpy as np
        for f, r in ((2, 0.9), (4, 0.5), (4, 0.8), (16, 0.9)):
            stripes = sharpness.stripes(f, r)
            self.assertAlmostEqual(sharpness.contrast_kept(stripes[::f, ::f], r), 1.0, places=6)
            h, w = stripes.shape
            box = stripes.reshape(h // f, f, w // f, f).mean(axis=(1, 3))
            nu = r / (2 * f)
            response = np.sin(np.pi * nu * f) / (f * np.sin(np.pi * nu))
            self.assertAlmostEqual(sharpness.contrast_kept(box, r), response, places=6)

    def test_each_target_fails_only_for_decimora(self):
        row = dict(method="decimora coded", f="4", **{"r0.5": "0.98", "r0.7": "0.1", "r0.8": "0.81", "r0.9": "0.36"})
        self.assertEqual(sharpness_summary.target_cell(row), "PASS")
        for key, low in (("r0.5", "0.96"), ("r0.8", "0.79"), ("r0.9", "0.34")):
            self.assertIn("FAIL", sharpness_summary.target_cell(dict(row, **{key: low})), key)
            self.assertEqual(sharpness_summary.target_cell(dict(row, method="vips reduce", **{key: low})), "–")
        lines = sharpness_summary.verdicts([row, dict(row, method="decimora light", f="8", **{"r0.9": "0.25"})])
        self.assertIn("PASS", lines[0])
        self.assertIn("FAIL** at f=8: 0.25 at 0.9", lines[1])


if __name__ == "__main__":
    unittest.main()
