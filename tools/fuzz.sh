#!/usr/bin/env bash
# Builds every libFuzzer entry with clang (-fsanitize=fuzzer,address,undefined) in build-fuzz
# and runs each on a working copy of its seed corpus:
#   tools/fuzz.sh [seconds per entry (default 60)] [entry...]
# Findings (crashes, traps, sanitizer reports) are kept under build-fuzz/findings/<entry>/;
# the summary gives each entry's runs and findings. The seeds in the source tree stay as they
# are: the regular tests replay them through the same entries.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/setup.sh
# The fuzzing tree's own needs: clang and its runtime (libFuzzer, the sanitizers).
if ! command -v clang++ >/dev/null 2>&1 || ! ls /usr/lib/llvm-*/lib/clang/*/lib/linux/libclang_rt.fuzzer-x86_64.a >/dev/null 2>&1; then
    sudo=""
    [ "$(id -u)" -ne 0 ] && sudo="sudo"
    $sudo apt-get update -qq
    $sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends clang libclang-rt-dev
fi

seconds=${1:-60}
shift || true
dir=build-fuzz
launcher=()
command -v ccache >/dev/null 2>&1 && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
if [ ! -f "$dir/build.ninja" ]; then
    CC=clang CXX=clang++ cmake -S . -B "$dir" -G Ninja "${launcher[@]}" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DTW_FUZZ=ON -DTW_BUILD_TESTS=OFF >/dev/null
fi
cmake --build "$dir" -j "${TW_JOBS:-$(nproc)}" --target tw_fuzzers

# entry: binary path, then its seed folders (the first is the main one), then options.
declare -A seeds=(
    [fuzz_parser_url]="model/tests/fuzz/corpus -dict=model/tests/fuzz/ParserURL.dict"
    [fuzz_parser_gpx]="model/tests/fuzz/corpus-gpx -dict=model/tests/fuzz/Import.dict"
    [fuzz_parser_loc]="model/tests/fuzz/corpus-loc -dict=model/tests/fuzz/Import.dict"
    [fuzz_view_link]="model/tests/fuzz/corpus-view -dict=model/tests/fuzz/ParserURL.dict"
    [fuzz_nmea_parser]="devices/tests/fuzz/corpus-nmea"
    [fuzz_garmin_records]="devices/tests/fuzz/corpus-garmin"
    [fuzz_device_description]="devices/tests/fuzz/corpus-description"
    [fuzz_update_feed]="framework/tests/fuzz/corpus-feed"
    [fuzz_shape_file]="mapdata/tests/fuzz/corpus"
    [fuzz_document]="docwindow/tests/fuzz/corpus"
    [fuzz_command_line]="app/tests/fuzz/corpus-command"
    [fuzz_property_list]="platform/corefoundation/tests/fuzz/corpus platform/corefoundation/tests/data/plist/bad"
)
entries=("$@")
if [ ${#entries[@]} -eq 0 ]; then
    mapfile -t entries < <(printf '%s\n' "${!seeds[@]}" | sort)
fi

printf '%-24s %12s %9s\n' entry runs findings
status=0
for entry in "${entries[@]}"; do
    binary=$(find "$dir" -type f -name "$entry" -perm -u+x | head -n1)
    [ -n "$binary" ] || { echo "$entry: not built" >&2; status=1; continue; }
    read -r -a args <<<"${seeds[$entry]:-}"
    folders=() options=()
    for a in "${args[@]}"; do [[ $a == -* ]] && options+=("$a") || folders+=("$a"); done
    work="$dir/corpus/$entry" findings="$dir/findings/$entry"
    mkdir -p "$work" "$findings"
    for f in "${folders[@]}"; do cp -n "$f"/* "$work"/ 2>/dev/null || true; done
    log="$dir/findings/$entry.log"
    # -fork keeps going after a finding, so that one fault does not hide the rest. Outside
    # libraries' process-wide caches are no leaks of ours (as in the tests).
    LSAN_OPTIONS="suppressions=$PWD/tools/lsan.supp${LSAN_OPTIONS:+:$LSAN_OPTIONS}" "$binary" -max_total_time="$seconds" -print_final_stats=1 -fork=1 -ignore_crashes=1 -ignore_ooms=1 \
        -ignore_timeouts=1 -timeout=10 -rss_limit_mb=2048 -artifact_prefix="$findings/" "${options[@]}" "$work" \
        >"$log" 2>&1 || true
    # The last progress line counts the runs of every job so far.
    runs=$(grep -oE '^#[0-9]+' "$log" | tail -n1 | tr -d '#' || true)
    found=$(find "$findings" -type f \( -name 'crash-*' -o -name 'leak-*' -o -name 'timeout-*' -o -name 'oom-*' \) | wc -l)
    printf '%-24s %12s %9s\n' "$entry" "${runs:-0}" "$found"
    [ "$found" -eq 0 ] || status=1
done
exit $status
