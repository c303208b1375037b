#!/bin/sh
# Shows that every output of zlgen-cli is byte-identical between two git revisions: list (plain,
# --json, --system), both SQL dialects, the module in each of its option forms and DBCREATE.BAS,
# on every fixture database and on the bundled sample (the one revision A builds). Standard
# output, standard error, exit status and written files are all compared.
# Usage: scripts/compare-outputs.sh [REV_A [REV_B]]   (default: main and HEAD)
set -eu
cd "$(dirname "$0")/.."
REPO=$(pwd)
REV_A=${1:-main}
REV_B=${2:-HEAD}
FIXTURES=$(cd "$REPO/../shared/fixtures" 2>/dev/null && pwd || true)
WORK=$(mktemp -d "${TMPDIR:-/tmp}/zl-compare-XXXXXX")
trap 'rm -rf "$WORK"' EXIT
# Compiler caches can share objects between checkouts laid out alike (DIR/src, DIR/build).
export CCACHE_BASEDIR="$(dirname "$WORK")" CCACHE_NOHASHDIR=1

build() {  # build REV DIR: the revision's zlgen-cli and sample database
    mkdir -p "$2"
    git -C "$REPO" archive "$1" | tar -x -C "$2"
    cmake -S "$2" -B "$2/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DENABLE_WERROR=ON \
        -DBUILD_UI=OFF -DBUILD_TESTING=OFF -DBUILD_BENCHMARKS=OFF > "$2/configure.log"
    cmake --build "$2/build" -j"$(nproc)" --target zlgen-cli sample_database > "$2/build.log"
}

# run CLI OUT NAME ARGS...: one command, its streams and status kept under OUT/NAME.
run() {
    cli=$1 out=$2 name=$3
    shift 3
    status=0
    (cd "$out" && LANG=C LC_ALL=C ZLGEN_INI="$out/ZLGEN.INI" "$cli" "$@" \
        > "$out/$name.out" 2> "$out/$name.err") || status=$?
    echo "$status" > "$out/$name.status"
}

outputs() {  # outputs CLI OUT: every command on every database
    mkdir -p "$2"
    cli=$1 out=$2
    run "$cli" "$out" dbcreate dbcreate -o dbcreate.bas
    for db in $DATABASES; do
        tag=$(basename "$db" | tr -c 'A-Za-z0-9.\n' '_')
        run "$cli" "$out" "$tag.list" list "$db"
        run "$cli" "$out" "$tag.list-json" list "$db" --json
        run "$cli" "$out" "$tag.list-system" list "$db" --system
        run "$cli" "$out" "$tag.sql-access" sql "$db" --dialect access
        run "$cli" "$out" "$tag.sql-sqlserver" sql "$db" --dialect sqlserver
        run "$cli" "$out" "$tag.vb" vb "$db" -o "$tag.bas"
        run "$cli" "$out" "$tag.vb-public-dbcreate" vb "$db" -o "$tag.public.bas" \
            --public --dbcreate --name-after-database
        run "$cli" "$out" "$tag.vb-private-allinone" vb "$db" -o "$tag.private.bas" \
            --private --all-in-one
    done
}

echo "Building $REV_A and $REV_B (this takes a while)"
build "$REV_A" "$WORK/a"
build "$REV_B" "$WORK/b"

DATABASES="$WORK/a/build/samples/orders.mdb"
if [ -n "$FIXTURES" ]; then
    DATABASES="$DATABASES $(find "$FIXTURES" -maxdepth 1 -type f \( -name '*.mdb' -o -name '*.accdb' \) | sort | tr '\n' ' ')"
else
    echo "No ../shared/fixtures: comparing on the sample only"
fi

outputs "$WORK/a/build/src/cli/zlgen-cli" "$WORK/out-a"
outputs "$WORK/b/build/src/cli/zlgen-cli" "$WORK/out-b"

if cmp -s "$WORK/a/build/samples/orders.mdb" "$WORK/b/build/samples/orders.mdb"; then
    echo "sample database: identical"
else
    echo "sample database: the two revisions build different files (outputs compared on $REV_A's)"
fi
count=$(find "$WORK/out-a" -type f | wc -l)
if diff -r "$WORK/out-a" "$WORK/out-b"; then
    echo "identical: all $count outputs of $REV_A and $REV_B on $(echo $DATABASES | wc -w) databases"
else
    echo "DIFFERENT: the outputs above differ between $REV_A and $REV_B" >&2
    exit 1
fi
