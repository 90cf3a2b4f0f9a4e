#!/usr/bin/env bash
# How long Tarnwick takes to quit with one document: it starts on a virtual display
# (Xvfb) with fresh preferences and support folders and its "My Places", a waypoint is
# placed so that the document has something to save, then Ctrl+Q is pressed and the time
# until the process has ended is taken. With a document, that document is opened instead
# and left unchanged (a changed one would ask before it closes).
# Usage: tools/quit-time.sh [Tarnwick executable] [runs] [document]
# Prints one line per run and the median. Needs Xvfb and xdotool.
set -uo pipefail
cd "$(dirname "$0")/.."
app=${1:-build/Tarnwick.app/Contents/MacOS/Tarnwick}
runs=${2:-5}
document=${3:-}
for tool in Xvfb xdotool python3; do
    command -v "$tool" >/dev/null || { echo "$tool is missing (tools/setup.sh installs it)" >&2; exit 1; }
done

work=$(mktemp -d)
xvfb=""
pid=""
cleanup() {
    if [ -n "$pid" ]; then kill "$pid" 2>/dev/null || true; fi
    if [ -n "$xvfb" ]; then kill "$xvfb" 2>/dev/null || true; fi
    wait 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT
trap "exit 1" INT TERM

Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp 3>"$work/display" 2>/dev/null &
xvfb=$!
for _ in $(seq 50); do [ -s "$work/display" ] && break; sleep 0.1; done
[ -s "$work/display" ] || { echo "Xvfb did not start." >&2; exit 1; }
export DISPLAY=":$(head -n1 "$work/display")"
unset TW_HEADLESS WAYLAND_DISPLAY

results=()
for run in $(seq "$runs"); do
    home="$work/home$run"
    mkdir -p "$home/config" "$home/data"
    XDG_CONFIG_HOME="$home/config" XDG_DATA_HOME="$home/data" "$app" ${document:+"$document"} >"$work/app$run.log" 2>&1 &
    pid=$!
    sleep "${TW_WAIT:-4}" # started, drawn and idle
    # A waypoint in the middle of the map: the window's tool for it is on key 'w'.
    if [ -z "$document" ]; then
        xdotool mousemove 640 420 key w click 1 2>/dev/null
        sleep 1
    fi
    start=$(date +%s.%N)
    xdotool key ctrl+q 2>/dev/null
    while kill -0 "$pid" 2>/dev/null; do sleep 0.01; done
    end=$(date +%s.%N)
    wait "$pid" 2>/dev/null
    pid=""
    ms=$(python3 -c "print(round(($end - $start) * 1000))")
    saved=$(find "$home/data" -name '*.twk' -newermt "@${start%.*}" 2>/dev/null | wc -l)
    echo "run $run: quit in ${ms} ms (documents saved at quit: $saved)"
    results+=("$ms")
done
printf '%s\n' "${results[@]}" | sort -n | awk '{ v[NR] = $1 } END { if (NR) print "median: " v[int((NR + 1) / 2)] " ms over " NR " runs" }'
