#!/bin/sh
# Checks the house style: every C++ file as clang-format would write it, and clang-tidy with the
# checked-in .clang-tidy over every source of src/ (the compile commands of BUILD_DIR), warnings
# as errors. --format-only skips clang-tidy (a few minutes on a 2-core machine).
# Usage: scripts/check-style.sh [--format-only] [build-dir]
set -e
cd "$(dirname "$0")/.."
TIDY=1
if [ "$1" = "--format-only" ]; then
    TIDY=0
    shift
fi
BUILD_DIR=${1:-${BUILD_DIR:-build}}

echo "clang-format: checking every C++ file"
git ls-files '*.cpp' '*.h' | xargs clang-format --dry-run -Werror
if [ "$TIDY" -eq 0 ]; then
    echo "check-style: format clean (clang-tidy not run)"
    exit 0
fi

if [ ! -f "$BUILD_DIR/compile_commands.json" ]; then
    echo "check-style: $BUILD_DIR/compile_commands.json is missing; configure the build first" >&2
    exit 1
fi
echo "clang-tidy: checking every source of src/"
# -Wno-unknown-warning-option: the compile commands carry GCC's warning options.
run-clang-tidy -quiet -p "$BUILD_DIR" -j "$(nproc)" \
    -extra-arg=-Wno-unknown-warning-option \
    "$(pwd)/src/.*\.cpp$" \
    > "$BUILD_DIR/clang-tidy.log" 2>&1 || {
    grep -E 'error:|warning:' "$BUILD_DIR/clang-tidy.log" | sort -u >&2
    echo "clang-tidy found problems (full log: $BUILD_DIR/clang-tidy.log)" >&2
    exit 1
}
echo "check-style: clean"
