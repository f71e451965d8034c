#!/usr/bin/env python3
"""Print the benchmark's figures for decimora (the kit's method "custom")
beside its peers, and one pass/fail line per target, as Markdown.

    summary.py [--quality CSV] [--timing CSV ...] [--step CSV] [--sharpness CSV]
               [--threads CSV] [--scale CSV] [--kit DIR] [--decimora PATH] [--note TEXT ...]
               [--out FILE] [--keep-notes-from RESULTS.md]

--quality is the moiré kit's run_quality.py output (decimora with
--tone coded), --light-quality its --light output (decimora in light, and
the GIMP peers), --tone and --tone-speed those of tone_table.py and
tone_speed.py, each --timing one
run_timing.py output (one per timing run), --step the output of
step_edge.py, --sharpness that of sharpness.py, --threads that of
threads.py, --scale that of scale.py. Parts not given are left out. --kit is
the kit's folder (for the tools' versions).
"""
import argparse
import collections
import csv
import datetime
import math
import os
import statistics
import subprocess
import sys

OURS = "custom"
LABEL = {OURS: "**decimora**"}
# The peers shown beside decimora: the anti-aliasing methods of each tool, a
# box filter, nearest neighbour, and the kit's reference reductions.
PEERS = ["im-resize", "im-lanczos", "vips-reduce", "vips-resize", "pil-lanczos", "cv-area",
         "im-sample", "pil-nearest", "ref-nyq", "ref-strict"]
TIMED = [OURS, "pil-lanczos", "vips-reduce"]
# Text below this line in an earlier RESULTS.md (notes written by hand) is
# carried over by --keep-notes-from.
MARK = "<!-- notes: text below this line is kept when the figures are rewritten -->"

# Targets.
ZPF_MAX = 2.0          # %
PASS_MAX = 1.5         # %
GAIN_RANGE = (0.97, 1.03)
GR_MAX = 5.0           # %
HT_MAX = 0.3           # 8-bit levels
STEP_RATIO_MAX = 1.25  # x Pillow LANCZOS's overshoot
TIME_MAX = 1.0         # x vips reduce, at every factor in each timing run
TIME_AHEAD_FROM = 11   # from this factor up, strictly faster than vips reduce
MEMORY_FACTOR = 1.5    # x the decoded image
LARGE_SIZE = (8000, 6000, 3)   # the kit's timing image: width, height, bytes per pixel
SCALE_TIME_MAX = 1.3           # time per megapixel, x the smallest input's
SCALE_MEMORY_SPREAD = 1.10     # largest peak anonymous memory / smallest
SCALE_HEADROOM_MIB = 256       # peak anonymous memory <= the budget + this

METRICS = [  # key, heading, decimals
    ("zpf", "ZPF: aliasing on the per-factor zone plate, % (target <= 2)", 1),
    ("pass", "PASS: pass-band error on the per-factor zone plate, % (target <= 1.5)", 2),
    ("gain", "gain: contrast kept in the pass band (target 0.97 .. 1.03)", 3),
    ("gr", "GR: residual modulation of the unresolvable line gratings, % (target <= 5)", 1),
    ("ht", "HT: beat energy on the unresolvable halftones, 8-bit levels (target <= 0.3)", 2),
    ("zp", "ZP: aliasing on the classic zone plate, % (no target)", 1),
]


def num(value):
    try:
        x = float(value)
    except (TypeError, ValueError):
        return None
    return None if math.isnan(x) else x


def fmt(x, decimals):
    return "–" if x is None else f"{x:.{decimals}f}"


def read_csv(path):
    with open(path, newline="") as fh:
        return list(csv.DictReader(fh))


# ------------------------------------------------------------------ quality
def quality_cells(rows):
    """-> (mean, worst) dicts keyed (f, method, metric), with the kit's own
    aggregation: zone plate figures are the mean of the three variants, GR of
    the two gratings, HT of the halftones counted at that factor; `worst` is
    the worst single image. Also the failures."""
    values = collections.defaultdict(list)
    failures = []
    for r in rows:
        f, m, image = int(r["f"]), r["method"], r["image"]
        if r["ok"] != "1":
            failures.append(f"f={f} {m} {image}: {r['notes']}")
            continue
        if image.startswith("zpf"):
            for key, column in (("zpf", "alias"), ("pass", "pass"), ("gain", "gain")):
                values[(f, m, key)].append(num(r[column]))
        elif image.startswith("zp_"):
            values[(f, m, "zp")].append(num(r["alias"]))
        elif r["kind"] == "gratings":
            values[(f, m, "gr")].append(num(r["gr_alias"]))
        elif r["kind"] == "halftone" and r["beat_valid"] == "True":
            values[(f, m, "ht")].append(num(r["beat"]))
    mean, worst = {}, {}
    for key, xs in values.items():
        xs = [x for x in xs if x is not None]
        if not xs:
            continue
        mean[key] = statistics.mean(xs)
        if key[2] == "gain":
            worst[key] = max(xs, key=lambda g: abs(g - 1.0))
        else:
            worst[key] = max(xs)
    return mean, worst, failures


def quality_tables(mean, factors, methods):
    out = []
    for key, heading, decimals in METRICS:
        out.append(f"**{heading}**\n")
        out.append("| method | " + " | ".join(f"f={f}" for f in factors) + " |")
        out.append("|---|" + "---:|" * len(factors))
        for m in methods:
            cells = [fmt(mean.get((f, m, key)), decimals) for f in factors]
            out.append(f"| {LABEL.get(m, m)} | " + " | ".join(cells) + " |")
        out.append("")
    return out


def target_line(mean, worst, factors, name, key, bad, describe, decimals=2):
    """-> 'name: PASS/FAIL ...' for decimora's `key` figure at `factors`."""
    missed = [f for f in factors if (f, OURS, key) in mean and bad(mean[(f, OURS, key)])]
    present = [f for f in factors if (f, OURS, key) in mean]
    if not present:
        return f"- {name}: not measured"
    if missed:
        detail = "; ".join(f"f={f}: {describe(mean[(f, OURS, key)])}" for f in missed)
        return f"- {name}: **FAIL** at {detail}"
    top = max(present, key=lambda f: abs(mean[(f, OURS, key)] - (1.0 if key == "gain" else 0.0)))
    single = max(worst[(f, OURS, key)] for f in present) if key != "gain" else None
    extra = f"; worst single image {single:.{decimals}f}" if single is not None else ""
    return f"- {name}: PASS (worst factor f={top}: {mean[(top, OURS, key)]:.{decimals}f}{extra})"


def above(limit):
    """-> (bad, describe) for a figure that must stay at or below `limit`."""
    return (lambda v: v > limit), (lambda v: f"{v:.2f} (+{v - limit:.2f})")


def quality_verdicts(mean, worst, factors):
    """-> lines 'target: PASS/FAIL ...' for the quality targets."""
    def check(name, key, limit):
        return target_line(mean, worst, factors, name, key, *above(limit))

    gain_bad = lambda v: not GAIN_RANGE[0] <= v <= GAIN_RANGE[1]
    return [
        check("ZPF <= 2 %", "zpf", ZPF_MAX),
        check("PASS <= 1.5 %", "pass", PASS_MAX),
        target_line(mean, worst, factors, "gain in 0.97 .. 1.03", "gain", gain_bad, lambda v: f"{v:.3f}", 3),
        check("GR <= 5 %", "gr", GR_MAX),
        check("HT <= 0.3 levels", "ht", HT_MAX),
    ]


# ------------------------------------------------------------------ step edge
def step_table(rows):
    out = ["| f | decimora 0° | Pillow 0° | ratio 0° | decimora 45° | Pillow 45° | ratio 45° |",
           "|---:|---:|---:|---:|---:|---:|---:|"]
    by_f = collections.defaultdict(dict)
    for r in rows:
        by_f[int(r["f"])][int(r["angle"])] = r
    for f in sorted(by_f):
        cells = []
        for angle in (0, 45):
            r = by_f[f].get(angle)
            cells += [f"{num(r['decimora']):.2f}", f"{num(r['pil_lanczos']):.2f}", f"{num(r['ratio']):.2f}"] \
                if r else ["–"] * 3
        out.append(f"| {f} | " + " | ".join(cells) + " |")
    return out


def step_verdict(rows):
    if not rows:
        return "- step overshoot <= 1.25 x Pillow LANCZOS: not measured"
    missed = [r for r in rows if num(r["ratio"]) > STEP_RATIO_MAX]
    if missed:
        detail = "; ".join(f"f={r['f']} {r['angle']}°: {num(r['decimora']):.2f} % vs {num(r['pil_lanczos']):.2f} % "
                           f"(x{num(r['ratio']):.2f})" for r in missed)
        return f"- step overshoot <= 1.25 x Pillow LANCZOS: **FAIL** at {detail}"
    top = max(rows, key=lambda r: num(r["ratio"]))
    return (f"- step overshoot <= 1.25 x Pillow LANCZOS: PASS (highest ratio x{num(top['ratio']):.2f} at "
            f"f={top['f']} {top['angle']}°; worst overshoot {max(num(r['decimora']) for r in rows):.2f} %)")


# ------------------------------------------------------------------ timing
def decoded_mib(f):
    w, h, bpp = LARGE_SIZE
    return (w // f) * f * (h // f) * f * bpp / 2 ** 20


def timing_row(f, ours, pil):
    """One line of the timing table; `ours` or `pil` may be missing (None)."""
    def cell(row, column):
        return row[column] if row else "–"
    ref = ours or pil
    relative = f"{num(ours['ratio_med']) / num(pil['ratio_med']):.2f}" if ours and pil else "–"
    memory = f"{num(ours['peak_mib']) / decoded_mib(f):.2f}" if ours else "–"
    cells = [f, cell(ref, "ref_wall_med"), cell(ours, "wall_med"), cell(ours, "ratio_med"), cell(pil, "wall_med"),
             cell(pil, "ratio_med"), relative, cell(ours, "cpu_med"), cell(pil, "cpu_med"), cell(ours, "peak_mib"),
             memory]
    return "| " + " | ".join(str(c) for c in cells) + " |"


def timing_table(rows):
    t = {(int(r["f"]), r["method"]): r for r in rows}
    out = ["| f | vips reduce s | decimora s | ×vips | Pillow LANCZOS s | ×vips | decimora ÷ Pillow | "
           "decimora CPU s | Pillow CPU s | decimora peak MiB | ×decoded |",
           "|---:|---:|---:|---:|---:|---:|---:|---:|---:|---:|---:|"]
    for f in sorted({f for f, _ in t}):
        out.append(timing_row(f, t.get((f, OURS)), t.get((f, "pil-lanczos"))))
    return out


def per_factor(runs):
    """-> {f: [(decimora row, Pillow LANCZOS row or None) for each run]}"""
    out = collections.defaultdict(list)
    for rows in runs:
        t = {(int(r["f"]), r["method"]): r for r in rows}
        for (f, m), r in sorted(t.items()):
            if m == OURS:
                out[f].append((r, t.get((f, "pil-lanczos"))))
    return out


def time_verdict(factors):
    name = (f"time <= {TIME_MAX:.1f} x vips reduce, and ahead of it from f={TIME_AHEAD_FROM}, "
            "in every timing run")
    ratios = {f: [num(ours["ratio_med"]) for ours, _ in pairs] for f, pairs in factors.items()}
    ratios = {f: rs for f, rs in ratios.items() if rs}
    if not ratios:
        return f"- {name}: not measured"
    slow = [f for f, rs in ratios.items() if max(rs) > TIME_MAX or (f >= TIME_AHEAD_FROM and max(rs) >= TIME_MAX)]
    if slow:
        detail = "; ".join(f"f={f} " + ", ".join(f"{r:.2f}" for r in ratios[f]) for f in slow)
        return f"- {name}: **FAIL**: × vips per timing run at {detail}"
    f = max(ratios, key=lambda k: max(ratios[k]))
    return f"- {name}: PASS (highest {max(ratios[f]):.2f} x at f={f})"


def memory_verdict(factors):
    name = f"peak memory <= {MEMORY_FACTOR} x the decoded image"
    peaks = {f: max(num(ours["peak_mib"]) for ours, _ in pairs) for f, pairs in factors.items()}
    if not peaks:
        return f"- {name}: not measured"
    heavy = [f for f, peak in peaks.items() if peak > MEMORY_FACTOR * decoded_mib(f)]
    if heavy:
        detail = "; ".join(f"f={f} {peaks[f]:.0f} MiB = {peaks[f] / decoded_mib(f):.2f} x "
                           f"(+{peaks[f] - MEMORY_FACTOR * decoded_mib(f):.0f} MiB)" for f in heavy)
        return (f"- {name}: **FAIL** (bound {MEMORY_FACTOR * decoded_mib(heavy[0]):.0f} MiB) at {detail}")
    f = max(peaks, key=lambda k: peaks[k] / decoded_mib(k))
    return f"- {name}: PASS (highest {peaks[f] / decoded_mib(f):.2f} x at f={f})"


def noise_notes(runs):
    """How far the timing figures moved: within a run (spread of the
    per-pair ratios) and between runs."""
    lines = []
    for i, rows in enumerate(runs, 1):
        spreads = [(num(r["ratio_max"]) / num(r["ratio_min"]), r["f"], r["method"]) for r in rows
                   if r["method"] in TIMED and num(r["ratio_min"])]
        if spreads:
            s, f, m = max(spreads)
            lines.append(f"- run {i}: widest spread of the per-pair ratios: max/min {s:.2f} ({m}, f={f})")
    if len(runs) >= 2:
        a = {(r["f"], r["method"]): num(r["ratio_med"]) for r in runs[0]}
        b = {(r["f"], r["method"]): num(r["ratio_med"]) for r in runs[1]}
        moves = [(abs(b[k] / a[k] - 1), k) for k in a if k in b and k[1] in TIMED and a[k] and b[k]]
        if moves:
            d, (f, m) = max(moves)
            lines.append(f"- between runs 1 and 2: the median ratios moved by up to {100 * d:.0f} % ({m}, f={f})")
    return lines


# ------------------------------------------------------------------ threads
def threads_table(rows):
    n = rows[0]["default_threads"] if rows else "?"
    out = [f"| f | 1 thread s | range | {n} threads (default) s | range | speed-up |",
           "|---:|---:|---:|---:|---:|---:|"]
    for r in rows:
        failed = "" if r["exit"] == "0" else f" (exit {r['exit']})"
        one, every = [num(r[k]) for k in ("one_med", "one_min", "one_max")], \
            [num(r[k]) for k in ("all_med", "all_min", "all_max")]
        out.append(f"| {r['f']} | {one[0]:.3f} | {one[1]:.3f}–{one[2]:.3f} | {every[0]:.3f} | "
                   f"{every[1]:.3f}–{every[2]:.3f} | {num(r['speedup']):.2f}{failed} |")
    return out


# ------------------------------------------------------------------ scale
def byte_size(text):
    """'512M' -> bytes, as decimora reads --memory."""
    shift = {"K": 10, "M": 20, "G": 30, "T": 40}.get(text[-1:].upper(), 0)
    return int(text[:-1] if shift else text) << shift


def scale_problems(r):
    """-> what is wrong with one input's run and result check."""
    problems = []
    if r["exit"] != "0" or r["ref_exit"] != "0":
        problems.append(f"exit {r['exit']}, reference exit {r['ref_exit']}")
    if r["size_ok"] != "1":
        problems.append(f"output {r['out_width']}x{r['out_height']}")
    if r["pixels"] not in ("same file", "same pixels"):
        problems.append(f"pixels {r['pixels']}")
    if num(r["ref_scratch_mib"]):
        problems.append(f"the reference used {r['ref_scratch_mib']} MiB of scratch")
    if r["leftover"] != "0":
        problems.append(f"{r['leftover']} files left in the scratch folder")
    return problems


def scale_table(rows):
    base = num(rows[0]["ms_per_mp"])
    out = ["| input | MP | file MiB | runs | wall s | CPU s | ms/MP | ÷ smallest | peak anon MiB | scratch MiB | "
           "free-space drop MiB | output | result | reference peak anon MiB |",
           "|---|---:|---:|---:|---:|---:|---:|---:|---:|---:|---:|---|---|---:|"]
    for r in rows:
        kind = "BigTIFF" if r["bigtiff"] == "1" else "TIFF"
        result = "; ".join(scale_problems(r)) or r["pixels"]
        out.append(f"| {r['width']}×{r['height']} {kind} | {r['megapixels']} | {r['input_mib']} | {r['runs']} | {r['wall_s']} | {r['cpu_s']} | "
                   f"{r['ms_per_mp']} | {num(r['ms_per_mp']) / base:.2f} | {r['peak_anon_mib']} | "
                   f"{r['peak_scratch_mib']} | {r['free_drop_mib']} | {r['out_width']}×{r['out_height']} | "
                   f"{result} | {r['ref_peak_anon_mib']} |")
    return out


def scale_verdicts(rows):
    if not rows:
        return ["- scale series: not measured"]
    base = rows[0]
    name = f"time per megapixel <= {SCALE_TIME_MAX} x the {base['megapixels']} MP input's"
    ratios = [(num(r["ms_per_mp"]) / num(base["ms_per_mp"]), r) for r in rows[1:]]
    slow = [(x, r) for x, r in ratios if x > SCALE_TIME_MAX]
    if slow:
        lines = [f"- {name}: **FAIL** at " + "; ".join(f"{r['megapixels']} MP: {x:.2f} x" for x, r in slow)]
    elif ratios:
        x, r = max(ratios, key=lambda p: p[0])
        lines = [f"- {name}: PASS (highest {x:.2f} x at {r['megapixels']} MP)"]
    else:
        lines = [f"- {name}: not measured"]

    peaks = [num(r["peak_anon_mib"]) for r in rows]
    spread = max(peaks) / min(peaks) if min(peaks) else float("inf")
    name = f"peak anonymous memory within {100 * (SCALE_MEMORY_SPREAD - 1):.0f} % across the sizes"
    verdict = "PASS" if spread <= SCALE_MEMORY_SPREAD else "**FAIL**"
    lines.append(f"- {name}: {verdict} (largest ÷ smallest {spread:.2f}: "
                 + ", ".join(f"{p:.0f}" for p in peaks) + " MiB)")

    bound = byte_size(base["memory"]) / 2 ** 20 + SCALE_HEADROOM_MIB
    name = f"peak anonymous memory <= the budget {base['memory']} + {SCALE_HEADROOM_MIB} MiB ({bound:.0f} MiB)"
    heavy = [r for r in rows if num(r["peak_anon_mib"]) > bound]
    if heavy:
        lines.append(f"- {name}: **FAIL** at " + "; ".join(
            f"{r['megapixels']} MP: {r['peak_anon_mib']} MiB (+{num(r['peak_anon_mib']) - bound:.0f})"
            for r in heavy))
    else:
        lines.append(f"- {name}: PASS (highest {max(peaks):.0f} MiB)")

    name = f"result: size ÷ {base['factor']} and the pixels of the in-memory reference"
    bad = [(r, scale_problems(r)) for r in rows if scale_problems(r)]
    if bad:
        lines.append(f"- {name}: **FAIL** at " + "; ".join(
            f"{r['megapixels']} MP: " + ", ".join(p) for r, p in bad))
    else:
        lines.append(f"- {name}: PASS ({len(rows)} sizes: " + ", ".join(r["pixels"] for r in rows) + ")")
    return lines


# ------------------------------------------------------------------ header
def machine():
    model = "unknown CPU"
    try:
        with open("/proc/cpuinfo") as fh:
            for line in fh:
                if line.startswith("model name"):
                    model = line.split(":", 1)[1].strip()
                    break
    except OSError:
        pass
    mem = os.sysconf("SC_PAGE_SIZE") * os.sysconf("SC_PHYS_PAGES") / 2 ** 30
    return f"{os.cpu_count()} cores ({model}), {mem:.0f} GiB RAM"


def versions(kit, decimora):
    out = []
    if decimora:
        r = subprocess.run([decimora, "--version"], capture_output=True, text=True)
        out.append(r.stdout.strip() or "decimora: version unknown")
    if kit:
        sys.path.insert(0, kit)
        try:
            import methods
            out += [f"{k} {v}" for k, v in methods.versions().items()]
        except Exception as e:  # versions are informative only
            out.append(f"(tool versions unavailable: {e})")
    return out


def main():
    ap = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    ap.add_argument("--quality")
    ap.add_argument("--timing", action="append", default=[])
    ap.add_argument("--step")
    ap.add_argument("--step-light", help="step_edge.py --tone light output")
    ap.add_argument("--sharpness", help="sharpness.py output")
    ap.add_argument("--threads")
    ap.add_argument("--scale")
    ap.add_argument("--light-quality", action="append", default=[],
                    help="run_quality.py --light output (decimora's, the GIMP peers')")
    ap.add_argument("--tone", help="tone_table.py output")
    ap.add_argument("--tone-speed", help="tone_speed.py output")
    ap.add_argument("--kit")
    ap.add_argument("--decimora")
    ap.add_argument("--note", action="append", default=[], help="a line for the header")
    ap.add_argument("--out")
    ap.add_argument("--keep-notes-from", help="an earlier RESULTS.md whose hand-written notes are kept")
    a = ap.parse_args()
    import light_summary  # these import this module's helpers
    import sharpness_summary

    L = ["# Decimora against the moiré kit\n",
         f"Run on {datetime.date.today().isoformat()}; machine: {machine()}.\n"]
    L += [f"- {n}" for n in a.note]
    vs = versions(a.kit, a.decimora)
    if vs:
        L.append("- versions: " + "; ".join(vs))
    L.append("")

    verdicts = []
    if a.quality:
        mean, worst, failures = quality_cells(read_csv(a.quality))
        factors = sorted({k[0] for k in mean})
        present = [m for m in [OURS] + PEERS if any(k[1] == m for k in mean)]
        L.append("## Aliasing and pass band (the kit's quality pass)\n")
        L.append("The kit's figures per factor (README of the kit for their definitions), decimora run as "
                 "`decimora reduce IN -o OUT --factor F --force --quiet`. Mean of the image variants, as the "
                 "kit reports them.\n")
        L += quality_tables(mean, factors, present)
        if failures:
            L.append("Failed runs:\n")
            L += [f"- {x}" for x in failures]
            L.append("")
        verdicts += quality_verdicts(mean, worst, factors)
    for given, section in ((a.light_quality, light_summary.light_quality), (a.tone, light_summary.tone_table),
                           (a.tone_speed, light_summary.tone_speed)):
        if given:
            lines, targets = section(given)
            L += lines
            verdicts += targets
    if a.step:
        rows = read_csv(a.step)
        L.append("## Step edge: worst overshoot, % of the step\n")
        L.append("Steps at 0° and 45°, 16 positions across one output pixel, 16-bit input, decimora with "
                 "`--tone coded`; worst over the positions (bench/step_edge.py). Ratio = decimora ÷ Pillow "
                 "LANCZOS.\n")
        L += step_table(rows)
        L.append("")
        verdicts.append(step_verdict(rows))
    if a.step_light:
        rows = read_csv(a.step_light)
        L.append("## Step edge in light: worst overshoot, % of the step of light\n")
        L.append("The same with a step of light stored sRGB-encoded, reduced by decimora in light and measured in "
                 "light again; Pillow LANCZOS on the light values (bench/step_edge.py --tone light). Encoded, "
                 "the undershoot on the dark side grows: the sRGB curve is steep near black.\n")
        L += step_table(rows)
        L.append("")
        verdicts.append(step_verdict(rows).replace("- step overshoot", "- step overshoot in light", 1))
    if a.sharpness:
        lines, targets = sharpness_summary.sharpness_section(a.sharpness)
        L += lines
        verdicts += targets
    runs = [read_csv(p) for p in a.timing]
    for i, rows in enumerate(runs, 1):
        n = rows[0]["n"] if rows else "?"
        L.append(f"## Speed and memory, timing run {i} of {len(runs)}\n")
        L.append(f"Whole process on the kit's 8000×6000 RGB 8-bit TIFF cropped to a multiple of f; median of "
                 f"{n} runs; ×vips = median of the per-pair ratios against `vips reduce` run in alternation; "
                 f"×decoded = peak RSS ÷ the decoded image (W×H×3 bytes).\n")
        L += timing_table(rows)
        L.append("")
    if runs:
        L.append("Noise:\n")
        L += noise_notes(runs)
        L.append("")
    if runs:
        verdicts += [time_verdict(per_factor(runs)), memory_verdict(per_factor(runs))]
    if a.threads:
        rows = read_csv(a.threads)
        L.append("## One filter thread against the default\n")
        L.append(f"Whole process on the kit's 8000×6000 RGB 8-bit TIFF, with `MOIRENIX_THREADS=1` and without "
                 f"it; median of {rows[0]['runs'] if rows else '?'} runs in alternation after a warm-up of each "
                 f"(bench/threads.py). Speed-up = 1-thread median ÷ the default's.\n")
        L += threads_table(rows)
        L.append("")
    if a.scale:
        rows = read_csv(a.scale)
        if rows:
            r = rows[0]
            L.append(f"## Scale series: reduction by {r['factor']} with `--memory {r['memory']}`\n")
            L.append("8-bit RGB TIFFs made of the kit's image repeated, uncompressed strips (bench/scale.py). "
                     "Wall time of the whole process (median of 3 runs); ÷ smallest = its ms/MP ÷ the first input's. Sampled every "
                     "10 ms over the process tree: peak anonymous memory (RssAnon summed), and scratch = "
                     "allocated size of the files under the scratch folder held open or mapped; the drop of the "
                     "file system's free space is a cross-check that also counts the output being written. "
                     f"Result: the output against an untimed reference made with `--memory {r['ref_memory']}`.\n")
            L += scale_table(rows)
            L.append("")
        verdicts += scale_verdicts(rows)
    L.append("## Targets\n")
    L += verdicts or ["- none among the parts run"]
    text = "\n".join(L) + "\n"
    if a.keep_notes_from and os.path.exists(a.keep_notes_from):
        with open(a.keep_notes_from) as fh:
            old = fh.read()
        if MARK in old:
            text += "\n" + old[old.index(MARK):]
    sys.stdout.write(text)
    if a.out:
        with open(a.out, "w") as fh:
            fh.write(text)


if __name__ == "__main__":
    main()
