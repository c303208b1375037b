#!/bin/sh
# Installs what is missing, builds everything with warnings as errors, and runs every test; then
# checks the house style, and builds and runs the tests once more with AddressSanitizer and
# UndefinedBehaviorSanitizer (without the tests labelled `slow`).
set -e
cd "$(dirname "$0")/.."
./scripts/install-deps.sh
BUILD_DIR=${BUILD_DIR:-build}
SANITIZE_DIR=${SANITIZE_DIR:-build-sanitize}
JOBS=$(nproc)
# Compiler results are cached (ccache, when present) relative to the checkout, so that a second
# checkout of the same sources builds from the cache.
export CCACHE_BASEDIR="${CCACHE_BASEDIR:-$(pwd)}"

cmake -S . -B "$BUILD_DIR" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DENABLE_WERROR=ON
cmake --build "$BUILD_DIR" -j"$JOBS"
(cd "$BUILD_DIR" && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j"$JOBS")

./scripts/check-style.sh "$BUILD_DIR"

# The crash-only tests (fuzz replay, random damage) mean something only here. The windows are
# left out: the controller tests carry their behaviour without Qt.
cmake -S . -B "$SANITIZE_DIR" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DENABLE_WERROR=ON \
    -DENABLE_ASAN=ON -DENABLE_UBSAN=ON -DBUILD_UI=OFF -DBUILD_BENCHMARKS=OFF
cmake --build "$SANITIZE_DIR" -j"$JOBS"
(cd "$SANITIZE_DIR" && ctest --output-on-failure -j"$JOBS" -LE slow)
