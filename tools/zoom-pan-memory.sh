#!/usr/bin/env bash
# How much memory Tarnwick holds after much zooming and panning, as a user would do it: the
# application runs on a virtual display (Xvfb) with fresh preferences and support folders,
# opens a document looking at Göteborg at level 12, and goes through rounds of ten zooms in
# and ten out from the keyboard with a drag of the map between them. Prints the resident and
# peak memory after each round. Usage: tools/zoom-pan-memory.sh [Tarnwick executable] [rounds]
# Needs Xvfb, xdotool and python3.
set -uo pipefail
cd "$(dirname "$0")/.."
app=${1:-build/Tarnwick.app/Contents/MacOS/Tarnwick}
rounds=${2:-3}
source tools/virtual-display.sh
tw_virtual_display xdotool python3

home="$work/home"
mkdir -p "$home/config" "$home/data"
document="$work/Göteborg.twk"
python3 - "$document" <<'EOF'
import plistlib, sys
with open(sys.argv[1], 'wb') as f:
    plistlib.dump({'Format': 1, 'Objects': [], 'ViewCentre': '{57.7, 11.97, 0}', 'ViewZoom': 12}, f)
EOF
XDG_CONFIG_HOME="$home/config" XDG_DATA_HOME="$home/data" HOME="$home" "$app" "$document" >"$work/app.log" 2>&1 &
pid=$!
sleep 4

memory() {
    awk '/^VmRSS:/ { rss = $2 } /^VmHWM:/ { peak = $2 } END { printf "resident %d MB, peak %d MB", rss / 1024, peak / 1024 }' \
        "/proc/$pid/status"
}

# The middle of the document window's map, where it opens on the 1280 x 800 screen.
x=560
y=420
xdotool mousemove "$x" "$y" click 1
echo "opened: $(memory)"
for round in $(seq "$rounds"); do
    for _ in $(seq 10); do xdotool key ctrl+equal; sleep 0.3; done
    for _ in $(seq 10); do xdotool key ctrl+minus; sleep 0.3; done
    xdotool mousemove "$x" "$y" mousedown 1
    for step in $(seq 10); do xdotool mousemove "$((x - step * 15))" "$((y - step * 8))"; sleep 0.05; done
    xdotool mouseup 1
    sleep 1
    echo "round $round: $(memory)"
done
kill -0 "$pid" 2>/dev/null || { echo "Tarnwick ended early: see its output" >&2; cat "$work/app.log" >&2; exit 1; }
