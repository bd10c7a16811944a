#!/usr/bin/env python3
"""Gathers the summary tables of several runs into one, with the run's name as its first column.

    gather_summaries.py OUT RUN... -- SUMMARY.tsv...

Each SUMMARY.tsv is a `varno-report --summary --format tsv` table of the RUN in the same place.
OUT is written whole or not at all.
"""
import os
import sys
import tempfile


def main(argv):
    if "--" not in argv or len(argv) < 2:
        sys.exit(__doc__)
    split = argv.index("--")
    out, runs, tables = argv[0], argv[1:split], argv[split + 1:]
    if len(runs) != len(tables):
        sys.exit(f"gather_summaries.py: {len(runs)} runs but {len(tables)} summary tables")
    header, rows = None, []
    for run, table in zip(runs, tables):
        with open(table, encoding="utf-8") as f:
            lines = f.read().splitlines()
        if not lines:
            sys.exit(f"gather_summaries.py: {table} is empty")
        if header is None:
            header = lines[0]
        elif lines[0] != header:
            sys.exit(f"gather_summaries.py: {table}: its header differs from the first table's")
        rows += [f"{run}\t{line}" for line in lines[1:]]
    text = "".join(line + "\n" for line in [f"run\t{header or ''}"] + rows)
    folder = os.path.dirname(os.path.abspath(out))
    with tempfile.NamedTemporaryFile("w", encoding="utf-8", dir=folder, delete=False) as f:
        f.write(text)
    os.replace(f.name, out)


if __name__ == "__main__":
    main(sys.argv[1:])
