"""The light-mode sections of the benchmark's summary: the kit's figures
scored in linear light (`run_quality.py --light`) for decimora beside the
peers that reduce in light, the tone of reduced dot screens, and the time of
reducing in light against reducing coded values. Each function returns
(Markdown lines, target lines)."""
from summary import OURS, LABEL, num, read_csv, quality_cells, quality_tables, target_line, above

LIGHT_PEERS = ["im-linear", "gimp-cubic", "gimp-nohalo", "pil-lanczos", "vips-reduce", "ref-strict"]
LABEL.update({"gimp-cubic": "GIMP Scale Image, cubic", "gimp-nohalo": "GIMP Scale Image, NoHalo"})
# At 2 and 3 the decoded zone plates and gratings alias on their own.
ZPF_MAX, ZPF_MAX_LOW = 2.0, 8.0
PASS_MAX, GR_MAX, HT_MAX = 1.5, 5.0, 0.3
HT_SLACK = 0.02
TONE_LEVELS = 2.0
SPEED_MAX = 1.10


def light_quality(paths):
    """Several run_quality --light CSVs (decimora's and the GIMP peers')."""
    rows = [r for p in paths for r in read_csv(p)]
    mean, worst, failures = quality_cells(rows)
    factors = sorted({k[0] for k in mean})
    present = [m for m in [OURS] + LIGHT_PEERS if any(k[1] == m for k in mean)]
    L = ["## In linear light (the kit's quality pass with `--light`)\n",
         "The same images scored in linear light (the kit's README, \"Scoring in linear light\"): decimora "
         "with its default `--tone light`, beside the peers that reduce in light (ImageMagick in linear RGB, "
         "GIMP 2.10's Scale Image through a headless GIMP, bench/gimp_scale.sh) and two that average codes. "
         "The headings name the targets on coded values; the targets in light are in the target list below.\n"]
    L += quality_tables(mean, factors, present)
    L += [f"- failed: {x}" for x in failures]
    low = [f for f in factors if f < 4]
    high = [f for f in factors if f >= 4]
    verdicts = [
        target_line(mean, worst, high, "light: ZPF <= 2 % from f=4", "zpf", *above(ZPF_MAX)),
        target_line(mean, worst, low, "light: ZPF <= 8 % at f=2, 3", "zpf", *above(ZPF_MAX_LOW)),
        target_line(mean, worst, factors, "light: PASS <= 1.5 %", "pass", *above(PASS_MAX)),
        target_line(mean, worst, high, "light: GR <= 5 % from f=4", "gr", *above(GR_MAX)),
        ht_verdict(mean, factors),
    ]
    return L, verdicts


def ht_verdict(mean, factors):
    """HT <= 0.3 levels, or at most the ideal reduction's own figure + 0.02:
    in light some halftones (a screen just above the new Nyquist, clipped at
    black and white once decoded) score above 0.3 even for ref-strict."""
    name = "light: HT <= 0.3 levels or ref-strict's own + 0.02"
    ours = {f: mean[(f, OURS, "ht")] for f in factors if (f, OURS, "ht") in mean}
    if not ours:
        return f"- {name}: not measured"
    limit = {f: max(HT_MAX, mean.get((f, "ref-strict", "ht"), 0.0) + HT_SLACK) for f in ours}
    missed = [f for f in ours if ours[f] > limit[f]]
    if missed:
        return f"- {name}: **FAIL** at " + "; ".join(f"f={f}: {ours[f]:.2f} (limit {limit[f]:.2f})" for f in missed)
    top = max(ours, key=ours.get)
    raised = "".join(f"; f={f} limit {limit[f]:.2f}" for f in ours if limit[f] > HT_MAX)
    return f"- {name}: PASS (highest f={top}: {ours[top]:.2f}{raised})"


def tone_table(path):
    rows = read_csv(path)
    inks = [c for c in rows[0] if c.startswith("ink")] if rows else []
    first = rows[0] if rows else {}
    L = [f"## Tone of reduced dot screens\n",
         f"45° bilevel dot screens (0/255) of period {first.get('period', '?')} px at each ink coverage, reduced "
         f"by {first.get('f', '?')}; mean 8-bit level of each result's interior (bench/tone_table.py). The first "
         "row is the light the screen sends, sRGB-encoded.\n",
         "| method | " + " | ".join(f"{c[3:]} % ink" for c in inks) + " |",
         "|---|" + "---:|" * len(inks)]
    for r in rows:
        L.append(f"| {r['method']} | " + " | ".join(r[c] or "–" for c in inks) + " |")
    L.append("")
    sent = {c: num(first[c]) for c in inks} if first else {}
    ours = next((r for r in rows if r["method"] == "decimora (light)"), None)
    if not ours:
        return L, ["- tone within 2 levels of the light sent: not measured"]
    off = {c: num(ours[c]) - sent[c] for c in inks}
    worst = max(off, key=lambda c: abs(off[c]))
    name = "tone within 2 levels of the light sent"
    if abs(off[worst]) > TONE_LEVELS:
        return L, [f"- {name}: **FAIL** at {worst[3:]} % ink: {num(ours[worst]):.1f} against {sent[worst]:.1f}"]
    return L, [f"- {name}: PASS (worst {off[worst]:+.1f} at {worst[3:]} % ink)"]


def tone_speed(path):
    rows = read_csv(path)
    L = ["## Reducing in light against coded values\n",
         f"Whole process on the kit's 48 MP RGB TIFF, `--tone coded` and `--tone light` run in turn, median of "
         f"{rows[0]['runs'] if rows else '?'} pairs (bench/tone_speed.py).\n",
         "| f | coded s | light s | light ÷ coded (median, min–max of the pairs) |",
         "|---:|---:|---:|---:|"]
    for r in rows:
        L.append(f"| {r['f']} | {r['coded_med']} | {r['light_med']} | {r['ratio_med']} "
                 f"({r['ratio_min']}–{r['ratio_max']}) |")
    L.append("")
    name = "light within 10 % of coded"
    slow = [r for r in rows if num(r["ratio_med"]) > SPEED_MAX]
    if not rows:
        return L, [f"- {name}: not measured"]
    if slow:
        return L, [f"- {name}: **FAIL** at " + "; ".join(f"f={r['f']}: {r['ratio_med']}" for r in slow)]
    top = max(rows, key=lambda r: num(r["ratio_med"]))
    return L, [f"- {name}: PASS (highest {top['ratio_med']} at f={top['f']})"]
