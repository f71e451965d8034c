#!/usr/bin/env python3
"""decimora on ever larger images under a fixed memory budget: wall time,
peak memory, scratch space, and a check of the result.

    scale.py --decimora PATH --source FILE --images DIR --work DIR
             [--tiles 1x1,3x3,6x5] [--factor 4] [--memory 512M]
             [--reference-memory 16G] [--csv FILE]

Each entry of --tiles ("ACROSSxDOWN") is an input made of the source image
repeated that many times (`vips replicate`, uncompressed strips, BigTIFF
past 3 GiB), kept in --images and made only when missing; 1x1 is the source
itself. With the kit's 8000x6000 RGB image the inputs are 48, 432 and 1440
megapixels.

Each input is reduced twice by --factor. First the reference, untimed, with
--reference-memory, which should hold it all without scratch files. Then the
measured run with --memory and --scratch WORK/scratch (three times, the
median time kept): wall time from a monotonic clock,
CPU time (user and system) from the kernel, and every 10 ms a sample of
- the anonymous resident memory (RssAnon in /proc/PID/status) summed over
  the process and its descendants (looked for every 100 ms);
- the scratch space: the allocated size (st_blocks x 512) of the distinct
  files under the scratch folder that the processes hold open or mapped
  (/proc/PID/fd, /proc/PID/map_files: unlinked files still show there);
- the drop of the scratch file system's free space since the start, a
  cross-check that also counts the output being written and anything else
  the machine writes meanwhile.
Each figure is the peak over the run. The check: the output has the input's
size divided by the factor (floored per side) and the same pixels as the
reference (the same file, or else the same decoded pixels).
"""
import argparse
import filecmp
import os
import shutil
import statistics
import subprocess
import sys
import tempfile
import threading
import time

from PIL import Image

from csvrows import write_rows

Image.MAX_IMAGE_PIXELS = None   # the outputs of the largest inputs pass Pillow's default limit

COLUMNS = ["tiles", "runs", "width", "height", "megapixels", "input_mib", "bigtiff", "factor", "memory", "wall_s", "cpu_s",
           "ms_per_mp", "peak_anon_mib", "peak_scratch_mib", "free_drop_mib", "ref_memory", "ref_peak_anon_mib",
           "ref_scratch_mib", "out_width", "out_height", "size_ok", "pixels", "leftover", "exit", "ref_exit"]
BIGTIFF_FROM = 3 << 30      # bytes of pixels; classic TIFF stops at 4 GiB of file
SAMPLE_S = 0.01
TREE_EVERY = 10     # samples between two scans of /proc for descendants (the scan costs most of a sample)
RUNS = 3    # each input is timed 3 times, the median kept
MIB = 2 ** 20


# ------------------------------------------------------------------ inputs
def parse_tiles(text):
    out = []
    for item in text.split(","):
        across, down = item.lower().split("x")
        out.append((int(across), int(down)))
    return out


def make_input(source, images, across, down, size):
    """-> the path of the source repeated across x down times, made if missing."""
    if (across, down) == (1, 1):
        return source
    width, height = size[0] * across, size[1] * down
    path = os.path.join(images, f"scale_{width}x{height}_rgb8.tif")
    if os.path.exists(path):
        return path
    if shutil.which("vips") is None:
        sys.exit("scale: vips is needed to make the inputs (Debian package libvips-tools)")
    options = "[bigtiff,compression=none]" if width * height * 3 >= BIGTIFF_FROM else "[compression=none]"
    partial = path + ".partial.tif"     # renamed when whole, so that a stopped run leaves no half image
    print(f"scale: making {path} ({width}x{height})", flush=True)
    subprocess.run(["vips", "replicate", source, partial + options, str(across), str(down)], check=True)
    os.replace(partial, path)
    os.sync()       # so that writing it back does not overlap the measured runs
    return path


# ------------------------------------------------------------------ sampling
def process_tree(root):
    """-> the pid `root` and those of its living descendants."""
    parents = {}
    for name in os.listdir("/proc"):
        if not name.isdigit():
            continue
        try:
            with open(f"/proc/{name}/stat") as fh:
                # the command name, in parentheses, may hold spaces: the fields after it are fixed
                fields = fh.read().rsplit(")", 1)[1].split()
            parents.setdefault(int(fields[1]), []).append(int(name))
        except (OSError, IndexError):
            continue
    tree, todo = [], [root]
    while todo:
        pid = todo.pop()
        tree.append(pid)
        todo += parents.get(pid, [])
    return tree


def rss_anon_kib(pid):
    try:
        with open(f"/proc/{pid}/status") as fh:
            for line in fh:
                if line.startswith("RssAnon:"):
                    return int(line.split()[1])
    except OSError:
        pass
    return 0


def scratch_files(pid, folder):
    """-> {(device, inode): allocated bytes} of the files under `folder` that
    `pid` holds open or mapped."""
    links = []
    try:
        links += [f"/proc/{pid}/fd/{fd}" for fd in os.listdir(f"/proc/{pid}/fd")]
        with open(f"/proc/{pid}/maps") as fh:
            for line in fh:
                parts = line.split(maxsplit=5)
                if len(parts) == 6 and parts[5].startswith(folder):
                    links.append(f"/proc/{pid}/map_files/{parts[0]}")
    except OSError:
        return {}
    files = {}
    for link in links:
        try:
            if not os.readlink(link).startswith(folder):
                continue
            st = os.stat(link)
        except OSError:
            continue
        files[(st.st_dev, st.st_ino)] = st.st_blocks * 512
    return files


class Sampler(threading.Thread):
    """Samples a running process tree until stopped; keeps the peaks."""

    def __init__(self, pid, scratch):
        super().__init__(daemon=True)
        self.pid, self.scratch = pid, os.path.join(os.path.realpath(scratch), "")
        self.free_at_start = self.free()
        self.peak_anon = self.peak_scratch = self.peak_drop = 0
        self.tree, self.samples = [pid], 0
        self.done = threading.Event()

    def free(self):
        st = os.statvfs(self.scratch)
        return st.f_bavail * st.f_frsize

    def sample(self):
        if self.samples % TREE_EVERY == 0:
            self.tree = process_tree(self.pid)
        self.samples += 1
        anon, files = 0, {}
        for pid in self.tree:
            anon += rss_anon_kib(pid) * 1024
            files.update(scratch_files(pid, self.scratch))
        self.peak_anon = max(self.peak_anon, anon)
        self.peak_scratch = max(self.peak_scratch, sum(files.values()))
        self.peak_drop = max(self.peak_drop, self.free_at_start - self.free())

    def run(self):
        while not self.done.is_set():
            self.sample()
            self.done.wait(SAMPLE_S)


def measured_run(argv, scratch):
    """-> (wall s, CPU s, exit code, sampler) of one run of argv; the CPU time
    (user and system) is the kernel's account of the reaped process."""
    with tempfile.TemporaryFile() as err:
        t0 = time.monotonic()
        p = subprocess.Popen(argv, stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=err)
        sampler = Sampler(p.pid, scratch)
        sampler.start()
        _, status, usage = os.wait4(p.pid, 0)
        wall = time.monotonic() - t0
        p.returncode = os.waitstatus_to_exitcode(status)
        sampler.done.set()
        sampler.join()
        if p.returncode != 0:
            err.seek(0)
            print(f"scale: {' '.join(argv)} exited {p.returncode}: {err.read().decode(errors='replace').strip()}",
                  file=sys.stderr)
    return wall, usage.ru_utime + usage.ru_stime, p.returncode, sampler


def measured_runs(argv, scratch):
    """measured_run, repeated: one run's time here strays by up to a third, at
    every size. -> (median wall s, median CPU s, worst exit code, sampler of
    the highest peaks, runs)."""
    results = [measured_run(argv, scratch) for _ in range(RUNS)]
    wall = statistics.median(r[0] for r in results)
    cpu = statistics.median(r[1] for r in results)
    code = max((r[2] for r in results), key=abs)
    peaks = max((r[3] for r in results), key=lambda s: (s.peak_anon, s.peak_scratch))
    return wall, cpu, code, peaks, len(results)


# ------------------------------------------------------------------ check
def same_pixels(a, b):
    """-> 'same file', 'same pixels' or 'DIFFERENT' for two readable images."""
    if filecmp.cmp(a, b, shallow=False):
        return "same file"
    with Image.open(a) as x, Image.open(b) as y:
        if x.size != y.size or x.mode != y.mode:
            return "DIFFERENT"
        return "same pixels" if x.tobytes() == y.tobytes() else "DIFFERENT"


def reduce_argv(decimora, src, out, factor, memory, scratch):
    return [decimora, "reduce", src, "-o", out, "--factor", str(factor), "--memory", memory,
            "--scratch", scratch, "--force", "--quiet"]


def measure(a, tiles, src):
    scratch = os.path.join(a.work, "scratch")
    os.makedirs(scratch, exist_ok=True)
    ref_out, out = os.path.join(a.work, "reference.tif"), os.path.join(a.work, "out.tif")
    with Image.open(src) as im:
        width, height = im.size
    mp = width * height / 1e6
    _, _, ref_code, ref = measured_run(
        reduce_argv(a.decimora, src, ref_out, a.factor, a.reference_memory, scratch), scratch)
    wall, cpu, code, run, runs = measured_runs(reduce_argv(a.decimora, src, out, a.factor, a.memory, scratch),
                                          scratch)
    row = dict(runs=runs, tiles=f"{tiles[0]}x{tiles[1]}", width=width, height=height, megapixels=round(mp, 1),
               input_mib=round(os.path.getsize(src) / MIB), bigtiff=int(width * height * 3 >= BIGTIFF_FROM),
               factor=a.factor, memory=a.memory, wall_s=round(wall, 2), cpu_s=round(cpu, 2), ms_per_mp=round(1000 * wall / mp, 2),
               peak_anon_mib=round(run.peak_anon / MIB, 1), peak_scratch_mib=round(run.peak_scratch / MIB),
               free_drop_mib=round(run.peak_drop / MIB), ref_memory=a.reference_memory,
               ref_peak_anon_mib=round(ref.peak_anon / MIB, 1), ref_scratch_mib=round(ref.peak_scratch / MIB),
               leftover=len(os.listdir(scratch)), exit=code, ref_exit=ref_code,
               out_width="", out_height="", size_ok=0, pixels="not compared")
    if code == 0 and ref_code == 0:
        with Image.open(out) as im:
            out_size = im.size
        row["out_width"], row["out_height"] = out_size
        row["size_ok"] = int(out_size == (width // a.factor, height // a.factor))
        row["pixels"] = same_pixels(out, ref_out)
    for path in (out, ref_out):
        if os.path.exists(path):
            os.remove(path)
    return row


def main():
    ap = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    ap.add_argument("--decimora", required=True)
    ap.add_argument("--source", required=True, help="the image the inputs are made of")
    ap.add_argument("--images", required=True, help="where the inputs are kept")
    ap.add_argument("--work", required=True, help="outputs and the scratch folder")
    ap.add_argument("--tiles", default="1x1,3x3,6x5")
    ap.add_argument("--factor", type=int, default=4)
    ap.add_argument("--memory", default="512M")
    ap.add_argument("--reference-memory", default="16G")
    ap.add_argument("--csv")
    a = ap.parse_args()
    if not os.path.exists(a.source):
        sys.exit(f"scale: missing {a.source}")
    with Image.open(a.source) as im:
        size = im.size
    a.work = os.path.abspath(a.work)
    os.makedirs(a.work, exist_ok=True)
    inputs = [(t, make_input(a.source, a.images, t[0], t[1], size)) for t in parse_tiles(a.tiles)]
    rows = []
    for tiles, src in inputs:
        row = measure(a, tiles, src)
        rows.append(row)
        print(f"{row['megapixels']:7.1f} MP  {row['wall_s']:7.2f} s (CPU {row['cpu_s']:.2f} s)  "
              f"{row['ms_per_mp']:6.2f} ms/MP  "
              f"anon peak {row['peak_anon_mib']:.0f} MiB  scratch {row['peak_scratch_mib']} MiB "
              f"(free space -{row['free_drop_mib']} MiB)  out {row['out_width']}x{row['out_height']}  "
              f"{row['pixels']}  reference: anon {row['ref_peak_anon_mib']:.0f} MiB, "
              f"scratch {row['ref_scratch_mib']} MiB  exit {row['exit']}/{row['ref_exit']}", flush=True)
    if a.csv:
        write_rows(a.csv, COLUMNS, rows)


if __name__ == "__main__":
    main()
