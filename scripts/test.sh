#!/usr/bin/env bash
# Builds everything and runs the whole test suite.
# Usage: scripts/test.sh [build-dir] [extra cmake options...]
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD=${1:-build}; shift || true
cmake -S . -B "$BUILD" -G Ninja -DQEL_WERROR=ON "$@"
cmake --build "$BUILD"
export QT_QPA_PLATFORM=offscreen QEL_SYSTEM_PORTS=0
export LSAN_OPTIONS="suppressions=$PWD/tests/lsan.supp:print_suppressions=0" UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
ctest --test-dir "$BUILD" --output-on-failure -j2
