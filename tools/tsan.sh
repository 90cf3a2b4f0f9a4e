#!/usr/bin/env bash
# Builds the threaded parts under ThreadSanitizer in build-tsan and runs their tests: the text
# and drawing layer, the worker threads and their hand-offs to the main thread, the renderer,
# routing, search, imports, the map view, the receivers' threads and the application.
#   tools/tsan.sh [test binary name...]      (default: all of them)
# Not part of tools/test.sh: a build of its own (some five minutes with three compiles) and
# nearly four minutes of tests with three binaries at once, twice that on two cores.
# TW_JOBS limits the parallel compiles and test binaries where several builds share one machine.
# Any report fails the run; each binary's output is kept in build-tsan/Testing/tsan/<name>.log.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/setup.sh
jobs=${TW_JOBS:-$(nproc)}
dir=build-tsan
all=(platform/quartz/platform_quartz_tests foundation/foundation_tests model/model_tests devices/devices_tests
    devices/devices_usb_tests render/render_tests docwindow/docwindow_tests app/app_tests)
binaries=()
if [ $# -eq 0 ]; then
    binaries=("${all[@]}")
else
    for name in "$@"; do
        for path in "${all[@]}"; do [ "$(basename "$path")" = "$name" ] && binaries+=("$path"); done
    done
    [ ${#binaries[@]} -eq $# ] || { echo "Unknown test binary among: $* (known: ${all[*]##*/})"; exit 2; }
fi

# Only the test binaries are built.
targets=()
for path in "${binaries[@]}"; do targets+=("$(basename "$path")"); done
TW_JOBS=$jobs TW_TARGETS="${targets[*]}" tools/build.sh "$dir" -DCMAKE_BUILD_TYPE=Debug -DTW_SANITIZE=thread

# Only the system's libraries are suppressed (see the file); a report exits with 66.
export TSAN_OPTIONS="suppressions=$PWD/tools/tsan.supp second_deadlock_stack=1 history_size=4 exitcode=66"
logs=$dir/Testing/tsan
mkdir -p "$logs"
run() {
    local path=$1 name
    name=$(basename "$path")
    if (cd "$dir" && "./$path") >"$logs/$name.log" 2>&1; then
        echo "passed: $name"
    else
        echo "FAILED: $name (exit $?; $logs/$name.log)"
    fi
}
export -f run
export dir logs
started=$(date +%s)
printf '%s\n' "${binaries[@]}" | xargs -P "$jobs" -I{} bash -c 'run {}' | tee "$logs/results"
failed=$(grep -c '^FAILED' "$logs/results" || true)
for log in "$logs"/*.log; do
    grep -q "WARNING: ThreadSanitizer" "$log" && grep -h "SUMMARY: ThreadSanitizer" "$log" | sort | uniq -c
done
echo "ThreadSanitizer: $(( ${#binaries[@]} - failed )) passed, $failed failed ($(( $(date +%s) - started )) s of tests)"
[ "$failed" -eq 0 ]
