#!/bin/sh
# Installs what is missing, builds the command-line program and the bundled sample database,
# and prints the SQL Server script that rebuilds the sample's schema.
set -e
cd "$(dirname "$0")/.."
./scripts/install-deps.sh
BUILD_DIR=${BUILD_DIR:-build}
cmake -S . -B "$BUILD_DIR" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$BUILD_DIR" -j"$(nproc)" --target zlgen-cli sample_database >/dev/null
"$BUILD_DIR/src/cli/zlgen-cli" sql "$BUILD_DIR/samples/orders.mdb" --dialect sqlserver "$@"
