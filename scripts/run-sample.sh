#!/bin/sh
# Installs what is missing, builds the command-line program and the bundled sample database,
# prints the SQL Server script that rebuilds the sample's schema, then exports the sample with
# its rows into a SQLite file and answers a question from it with sqlite3.
set -e
cd "$(dirname "$0")/.."
./scripts/install-deps.sh
BUILD_DIR=${BUILD_DIR:-build}
cmake -S . -B "$BUILD_DIR" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
# The build's messages are shown only when it fails (the static link warns about getpwuid,
# which falls back from $HOME to the password database, as is intended).
log="$BUILD_DIR/run-sample-build.log"
cmake --build "$BUILD_DIR" -j"$(nproc)" --target zlgen-cli sample_database >"$log" 2>&1 || {
    cat "$log" >&2
    exit 1
}
"$BUILD_DIR/src/cli/zlgen-cli" sql "$BUILD_DIR/samples/orders.mdb" --dialect sqlserver "$@"

sqlite_file="$BUILD_DIR/samples/orders.sqlite"
"$BUILD_DIR/src/cli/zlgen-cli" export "$BUILD_DIR/samples/orders.mdb" --to sqlite "$sqlite_file" --force
echo
echo "-- The saved query \"Ten Most Expensive Products\", as a view of $sqlite_file:"
sqlite3 -header -column "$sqlite_file" 'SELECT * FROM "Ten Most Expensive Products";'
