#!/usr/bin/env python3
"""Instruction counts (callgrind) of the whole process `zlgen-cli sql DB --dialect access`
against `mdb-schema DB access` (Debian's mdbtools) on the bundled sample and on every fixture
database that has tables, with the ratio per file. The target is a ratio of at most 0.5.

Usage: bench/reader_cost.py [--cli build/src/cli/zlgen-cli] [--sample build/samples/orders.mdb]
                            [--fixtures ../shared/fixtures] [FILE...]
Exit status 1 when a ratio is above the limit or a program fails.
"""

from __future__ import annotations

import argparse
import re
import shutil
import subprocess
import sys
from pathlib import Path

LIMIT = 0.5
COLLECTED = re.compile(rb"Collected : (\d+)")


def instructions(command: list[str]) -> int:
    """Instructions of the whole process (start-up included), as callgrind counts them."""
    result = subprocess.run(
        ["valgrind", "--tool=callgrind", "--callgrind-out-file=/dev/null", *command],
        stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, timeout=600, check=False)
    found = COLLECTED.search(result.stderr)
    if found is None:
        raise RuntimeError(f"no count for {' '.join(command)}: "
                           f"{result.stderr.decode(errors='replace')[-400:]}")
    return int(found.group(1))


def has_tables(path: Path) -> bool:
    """Whether mdb-tables lists a user table (the comparison is about reading tables)."""
    listed = subprocess.run(["mdb-tables", "-1", str(path)], capture_output=True, check=False)
    return listed.returncode == 0 and bool(listed.stdout.strip())


def main() -> int:
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--cli", default="build/src/cli/zlgen-cli")
    parser.add_argument("--sample", default="build/samples/orders.mdb")
    parser.add_argument("--fixtures", default="../shared/fixtures")
    parser.add_argument("files", nargs="*", type=Path)
    args = parser.parse_args()
    for tool in ("valgrind", "mdb-schema", "mdb-tables"):
        if shutil.which(tool) is None:
            print(f"{tool} is missing (Debian packages valgrind, mdbtools)", file=sys.stderr)
            return 1
    files = list(args.files)
    if not files:
        files.append(Path(args.sample))
        fixtures = Path(args.fixtures)
        if fixtures.is_dir():
            files += sorted(p for p in fixtures.iterdir() if p.suffix in (".mdb", ".accdb"))
        else:
            print(f"note: no fixtures at {fixtures}", file=sys.stderr)
    worst = 0.0
    print(f"{'file':40} {'zlgen-cli':>12} {'mdb-schema':>12} {'ratio':>7}")
    for path in files:
        if not has_tables(path):
            print(f"{path.name:40} {'(no tables, skipped)':>33}")
            continue
        ours = instructions([args.cli, "sql", str(path), "--dialect", "access"])
        theirs = instructions(["mdb-schema", str(path), "access"])
        ratio = ours / theirs
        worst = max(worst, ratio)
        flag = "" if ratio <= LIMIT else "  ABOVE " + str(LIMIT)
        print(f"{path.name:40} {ours:12,} {theirs:12,} {ratio:7.3f}{flag}")
    print(f"worst ratio {worst:.3f} (limit {LIMIT})")
    return 0 if worst <= LIMIT else 1


if __name__ == "__main__":
    sys.exit(main())
