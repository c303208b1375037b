#!/bin/sh
# Installs what is missing, builds everything with warnings as errors, and runs every test.
set -e
cd "$(dirname "$0")/.."
./scripts/install-deps.sh
BUILD_DIR=${BUILD_DIR:-build}
cmake -S . -B "$BUILD_DIR" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DENABLE_WERROR=ON
cmake --build "$BUILD_DIR" -j"$(nproc)"
cd "$BUILD_DIR"
QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j"$(nproc)"
