"""The sharpness part's figures (bench/sharpness.py) as Markdown: the
contrast kept per method, factor and fraction of the new Nyquist frequency,
and decimora's targets."""
from summary import num, read_csv

RATIOS = (0.5, 0.7, 0.8, 0.9)
# Least contrast decimora must keep at a fraction of the new Nyquist frequency.
TARGETS = {0.5: 0.97, 0.8: 0.80, 0.9: 0.35}
OURS = ("decimora coded", "decimora light")
METHODS = OURS + ("Pillow LANCZOS", "vips reduce")


def column(r):
    return f"r{r}"


COLUMNS = ["method", "f"] + [column(r) for r in RATIOS]


def misses(row):
    """-> [(r, contrast kept)] below its target, for one row."""
    return [(r, num(row[column(r)])) for r, least in TARGETS.items() if num(row[column(r)]) < least]


def target_cell(row):
    if row["method"] not in OURS:
        return "–"
    missed = misses(row)
    if not missed:
        return "PASS"
    return "**FAIL**: " + ", ".join(f"{r}: {kept:.2f} < {TARGETS[r]:.2f}" for r, kept in missed)


def markdown_table(rows):
    order = sorted(rows, key=lambda row: (int(row["f"]), METHODS.index(row["method"])))
    out = ["| method | f | " + " | ".join(str(r) for r in RATIOS) + " | targets |",
           "|---|---:|" + "---:|" * len(RATIOS) + "---|"]
    for row in order:
        cells = [f"{num(row[column(r)]):.2f}" for r in RATIOS]
        out.append(f"| {row['method']} | {row['f']} | " + " | ".join(cells) + f" | {target_cell(row)} |")
    return out


def verdicts(rows):
    """-> one target line per decimora mode, over the factors."""
    wanted = ", ".join(f">= {least:.2f} at {r}" for r, least in TARGETS.items())
    lines = []
    for method in OURS:
        name = f"sharpness, {method}: contrast kept {wanted}"
        mine = [row for row in rows if row["method"] == method]
        if not mine:
            lines.append(f"- {name}: not measured")
            continue
        failed = [(row["f"], misses(row)) for row in mine if misses(row)]
        if failed:
            detail = "; ".join(f"f={f}: " + ", ".join(f"{kept:.2f} at {r}" for r, kept in missed)
                               for f, missed in failed)
            lines.append(f"- {name}: **FAIL** at {detail}")
        else:
            lowest = min(num(row[column(0.9)]) for row in mine)
            lines.append(f"- {name}: PASS (lowest at 0.9: {lowest:.2f})")
    return lines


def sharpness_section(path):
    """-> (Markdown lines, target lines) of a sharpness.py CSV."""
    rows = read_csv(path)
    L = ["## Sharpness: contrast kept of a sinusoid near the new Nyquist frequency\n",
         "Vertical stripes, a cosine of 0.25 of full scale around mid grey at r × the new Nyquist frequency "
         "(r / (2f) cycles per input pixel), 16-bit, 256 × 32 output pixels; the amplitude of a least-squares "
         "fit at the known output frequency over the averaged rows, less 12 pixels at each end, ÷ the input's "
         "(bench/sharpness.py). decimora light: a cosine of light stored sRGB-encoded, measured in light.\n"]
    L += markdown_table(rows)
    L.append("")
    return L, verdicts(rows)
