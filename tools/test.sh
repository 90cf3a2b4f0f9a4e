#!/usr/bin/env bash
# Builds and runs every test: first under AddressSanitizer and UndefinedBehaviorSanitizer,
# then the regular build, whose CTest summary closes the output.
# TW_SKIP_SANITIZE=1 skips the sanitizer pass. TW_JOBS limits the parallel compiles and tests
# where several builds share one machine.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/setup.sh
jobs=${TW_JOBS:-$(nproc)}
export CTEST_OUTPUT_ON_FAILURE=1
# fontconfig keeps its caches until exit; nothing of ours is suppressed.
export ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 LSAN_OPTIONS="suppressions=$PWD/tools/lsan.supp"

if [ "${TW_SKIP_SANITIZE:-0}" != 1 ]; then
    echo "== Sanitizer build (address, undefined)"
    # The document window's library compiles file by file here: each file must include what it uses.
    tools/build.sh build-asan -DCMAKE_BUILD_TYPE=Debug -DTW_SANITIZE=ON -DTW_UNITY_OFF_TARGETS=docwindow
    # One run, its log kept whole: a failing test shows the output of the run that failed (a
    # second run could pass by chance and must never stand for the first).
    log=build-asan/Testing/sanitizer-tests.log
    mkdir -p "$(dirname "$log")"
    if ! (cd build-asan && ctest -j "$jobs" --timeout 300 --output-on-failure) >"$log" 2>&1; then
        grep -vE '^ *([0-9]+/[0-9]+ )?Test +#[0-9]+: .* Passed +[0-9.]+ sec$|^ +Start +[0-9]+: ' "$log" || true
        echo "Sanitizer tests failed (the whole log: $log)."
        exit 1
    fi
    grep -E "tests passed, |Total Test time" "$log" || true
    echo "Sanitizer tests passed."
fi

echo "== Regular build"
tools/build.sh build -DCMAKE_BUILD_TYPE=RelWithDebInfo
cd build && ctest -j "$jobs" --timeout 300
