#!/bin/sh
# Times `zlgen-cli export --to sqlite` against `mdb-export DB TABLE > /dev/null` (Debian's
# mdbtools) on a writer-made table of a million rows, and reports rows per second of both, their
# ratio (the goal is at least 3) and the export's peak memory (the goal is under 64 MB).
# Usage: bench/export_bench.sh BUILD_DIR [ROWS]
set -e
build=${1:-build}
rows=${2:-1000000}
work="$build/bench-export"
mkdir -p "$work"
db="$work/orders-$rows.mdb"
if [ ! -f "$db" ]; then
    "$build/bench/zlmkexportdb" "$db" "$rows"
fi
out="$work/orders.sqlite"

seconds() { # command...: wall seconds of one run, standard output discarded
    start=$(date +%s.%N)
    "$@" > /dev/null
    end=$(date +%s.%N)
    echo "$end - $start" | bc -l
}

best_of() { # runs command... three times and prints the fastest time
    best=""
    for _ in 1 2 3; do
        t=$(seconds "$@")
        if [ -z "$best" ] || [ "$(echo "$t < $best" | bc -l)" = 1 ]; then best=$t; fi
    done
    echo "$best"
}

ours=$(best_of "$build/src/cli/zlgen-cli" export "$db" --to sqlite "$out" --force)
theirs=$(best_of mdb-export "$db" Orders)
peak=$(/usr/bin/time -v "$build/src/cli/zlgen-cli" export "$db" --to sqlite "$out" --force 2>&1 >/dev/null |
       awk -F': ' '/Maximum resident set size/ {print $2}')

ours_rate=$(echo "$rows / $ours" | bc -l)
theirs_rate=$(echo "$rows / $theirs" | bc -l)
printf 'rows: %d (%s MB file)\n' "$rows" "$(du -m "$db" | cut -f1)"
printf 'zlgen-cli export --to sqlite: %.2f s, %.0f rows/s\n' "$ours" "$ours_rate"
printf 'mdb-export > /dev/null:       %.2f s, %.0f rows/s\n' "$theirs" "$theirs_rate"
printf 'ratio: %.2f (goal >= 3)\n' "$(echo "$ours_rate / $theirs_rate" | bc -l)"
printf 'peak memory of the export: %.1f MB (goal < 64)\n' "$(echo "$peak / 1024" | bc -l)"
