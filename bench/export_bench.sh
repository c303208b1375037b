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

calc() { awk "BEGIN { print $1 }"; }

seconds() { # command...: wall and user seconds of one run, standard output discarded
    /usr/bin/time -f "%e %U" -o "$work/time.txt" "$@" > /dev/null 2>/dev/null
    cat "$work/time.txt"
}

best_of() { # runs command... three times and prints the fastest wall and user time
    best=""
    for _ in 1 2 3; do
        t=$(seconds "$@")
        if [ -z "$best" ] || [ "$(calc "${t% *} < ${best% *}")" = 1 ]; then best=$t; fi
    done
    echo "$best"
}

ours=$(best_of "$build/src/cli/zlgen-cli" export "$db" --to sqlite "$out" --force)
theirs=$(best_of mdb-export "$db" Orders)
peak=$(/usr/bin/time -v "$build/src/cli/zlgen-cli" export "$db" --to sqlite "$out" --force 2>&1 >/dev/null |
       awk -F': ' '/Maximum resident set size/ {print $2}')

# Wall time is what a user waits for; CPU time is shown too, as it is steadier on a busy machine.
printf 'rows: %d (%s MB file)\n' "$rows" "$(du -m "$db" | cut -f1)"
printf 'zlgen-cli export --to sqlite: %.2f s wall (%.0f rows/s), %.2f s CPU\n' \
    "${ours% *}" "$(calc "$rows / ${ours% *}")" "${ours#* }"
printf 'mdb-export > /dev/null:       %.2f s wall (%.0f rows/s), %.2f s CPU\n' \
    "${theirs% *}" "$(calc "$rows / ${theirs% *}")" "${theirs#* }"
printf 'ratio of rows/s: %.2f wall, %.2f CPU (goal >= 3)\n' \
    "$(calc "${theirs% *} / ${ours% *}")" "$(calc "${theirs#* } / ${ours#* }")"
printf 'peak memory of the export: %.1f MB (goal < 64)\n' "$(calc "$peak / 1024")"
