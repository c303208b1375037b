#!/usr/bin/env python3
"""Times whole `zlgen-cli sql` runs for each dialect on the 1,000-table benchmark schema.

Usage: bench/script_cli_timing.py BUILD_DIR [RUNS]
The schema is the generator benchmarks' one (50 fields per table with a text default and a
number rule per six fields, 4 indexes, 500 QueryDefs), written as a real file with zlmkdb. Each
run is what a user waits for: the program starts, reads the file with our reader and writes the
script. Reports the median wall time per dialect and its ratio to the SQL Server script.
"""
import json
import os
import statistics
import subprocess
import sys
import time

build = sys.argv[1] if len(sys.argv) > 1 else "build"
runs = int(sys.argv[2]) if len(sys.argv) > 2 else 15
TABLES = 1000


def field(t, j):
    f = {"name": f"Field {j} of T{t}"}
    kind = j % 6
    if kind == 0:
        f["type"] = "Long"
        if j == 0:
            f["autoNumber"] = True
    elif kind == 1:
        f.update(type="Text", size=50, defaultValue='"n/a"',
                 validationText='Must not be "empty"')
    elif kind == 2:
        f["type"] = "Currency"
    elif kind == 3:
        f["type"] = "Date"
    elif kind == 4:
        f["type"] = "Memo"
    else:
        f.update(type="Double", validationRule=">= 0")
    return f


tables = []
for t in range(TABLES):
    fields = [field(t, j) for j in range(50)]
    f = [x["name"] for x in fields[:4]]
    tables.append({"name": f"Table {t}", "fields": fields, "indexes": [
        {"name": "PrimaryKey", "fields": [f[0]], "primary": True},
        {"name": "ByText", "fields": [f[1]], "unique": True},
        {"name": "ByTwo", "fields": [f[1], "-" + f[2]]},
        {"name": "ByDate", "fields": ["-" + f[3]]}]})
queries = [{"name": f"Query {q}", "selectStar": True, "tables": [f"Table {q}"],
            "where": f"[Field 2 of T{q}] > 100",
            "orderBy": [{"expression": f"[Field 3 of T{q}]", "descending": True}]}
           for q in range(TABLES // 2)]

work = os.path.join(build, "bench-cli")
os.makedirs(work, exist_ok=True)
desc_path = os.path.join(work, "script_timing.json")
db_path = os.path.join(work, "script_timing.mdb")
json.dump({"tables": tables, "queries": queries}, open(desc_path, "w"))
subprocess.run([os.path.join(build, "tools", "zlmkdb"), desc_path, db_path], check=True)
print(f"database: {os.path.getsize(db_path) / 1e6:.1f} MB, {TABLES} tables, "
      f"{len(queries)} QueryDefs")

cli = os.path.join(build, "src", "cli", "zlgen-cli")
medians = {}
for dialect in ("sqlserver", "postgresql", "sqlite"):
    times = []
    for _ in range(runs):
        start = time.perf_counter()
        subprocess.run([cli, "sql", db_path, "--dialect", dialect], check=True,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        times.append((time.perf_counter() - start) * 1000)
    medians[dialect] = statistics.median(times)
    ratio = medians[dialect] / medians["sqlserver"]
    print(f"sql --dialect {dialect}: median {medians[dialect]:.1f} ms "
          f"(min {min(times):.1f}, max {max(times):.1f}, {runs} runs), "
          f"{ratio:.2f} x the SQL Server script")
