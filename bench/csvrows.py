"""Writing a bench part's rows as CSV, one dict per row."""
import csv


def write_rows(path, columns, rows):
    with open(path, "w", newline="") as fh:
        writer = csv.DictWriter(fh, columns)
        writer.writeheader()
        writer.writerows(rows)
