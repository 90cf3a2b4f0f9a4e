#!/usr/bin/env bash
# Builds and runs every test: first under AddressSanitizer and UndefinedBehaviorSanitizer,
# then the regular build, whose CTest summary closes the output.
# TW_SKIP_SANITIZE=1 skips the sanitizer pass.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/setup.sh
jobs=$(nproc)
export CTEST_OUTPUT_ON_FAILURE=1
# fontconfig keeps its caches until exit; nothing of ours is suppressed.
export ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 LSAN_OPTIONS="suppressions=$PWD/tools/lsan.supp"

if [ "${TW_SKIP_SANITIZE:-0}" != 1 ]; then
    echo "== Sanitizer build (address, undefined)"
    tools/build.sh build-asan -DCMAKE_BUILD_TYPE=Debug -DTW_SANITIZE=ON
    (cd build-asan && ctest -j "$jobs" --timeout 300 -Q) \
        || { (cd build-asan && ctest -j "$jobs" --rerun-failed --output-on-failure); exit 1; }
    echo "Sanitizer tests passed."
fi

echo "== Regular build"
tools/build.sh build -DCMAKE_BUILD_TYPE=RelWithDebInfo
cd build && ctest -j "$jobs" --timeout 300
