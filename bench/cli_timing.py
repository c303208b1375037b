#!/usr/bin/env python3
"""Times whole zlgen-cli runs on a database of about 3 MB with 9 tables and 22 QueryDefs.

Usage: bench/cli_timing.py BUILD_DIR
Makes the database from the bundled sample's description (more queries, many order lines),
then runs `zlgen-cli sql` repeatedly and reports the median wall time and the peak memory.
"""
import copy
import json
import os
import statistics
import subprocess
import sys
import time

build = sys.argv[1] if len(sys.argv) > 1 else "build"
root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
description = json.load(open(os.path.join(root, "samples", "orders.json")))

queries = description["queries"]
extra = 22 - len(queries)
for i in range(extra):
    queries.append({"name": f"Lines over {i}", "kind": "select",
                    "tables": ["Order Details"],
                    "columns": ["[Order Details].OrderID", "[Order Details].Quantity"],
                    "where": f"[Order Details].Quantity > {i}"})

lines = next(t for t in description["tables"] if t["name"] == "Order Details")
template = lines["rows"][0]
rows = []
for order in range(100000, 100000 + 19000):
    for product in (1, 2, 3):
        row = copy.copy(template)
        row[0], row[1] = order, product
        rows.append(row)
lines["rows"] = rows

work = os.path.join(build, "bench-cli")
os.makedirs(work, exist_ok=True)
desc_path = os.path.join(work, "timing.json")
db_path = os.path.join(work, "timing.mdb")
json.dump(description, open(desc_path, "w"))
subprocess.run([os.path.join(build, "tools", "zlmkdb"), desc_path, db_path], check=True)
print(f"database: {os.path.getsize(db_path) / 1e6:.1f} MB, "
      f"{len(description['tables'])} tables, {len(queries)} QueryDefs")

cli = os.path.join(build, "src", "cli", "zlgen-cli")
for dialect in ("access", "sqlserver"):
    times = []
    for _ in range(50):
        start = time.perf_counter()
        subprocess.run([cli, "sql", db_path, "--dialect", dialect], check=True,
                       stdout=subprocess.DEVNULL)
        times.append((time.perf_counter() - start) * 1000)
    print(f"sql --dialect {dialect}: median {statistics.median(times):.1f} ms, "
          f"min {min(times):.1f} ms, max {max(times):.1f} ms over {len(times)} runs")
# Peak memory of the program alone, not of the writer that made the database.
measured = subprocess.run(["/usr/bin/time", "-f", "%M", cli, "sql", db_path, "--dialect",
                           "sqlserver"], check=True, stdout=subprocess.DEVNULL,
                          stderr=subprocess.PIPE, text=True)
peak_kb = int(measured.stderr.strip().splitlines()[-1])
print(f"peak resident memory of zlgen-cli sql: {peak_kb / 1024:.1f} MB")
