#!/usr/bin/env bash
# How long Tarnwick takes from the start of its process to the first screen on
# which the map of its document window is drawn, as a user would see it: the
# application runs on a virtual display (Xvfb) with fresh preferences and
# support folders, screenshots are taken one after another, and the first one
# whose map area already shows what the settled screen shows is the moment the
# map was drawn. With a document, the time until that document's window is drawn, with
# what it holds. Usage: tools/startup-time.sh [Tarnwick executable] [runs] [document]
# Prints one line per run (with the process's peak memory once settled) and the median.
# TW_SHOTS (40) and TW_SETTLE (1 s) give a slow document more time to be drawn.
# Needs Xvfb, ImageMagick's import and python3.
set -uo pipefail
cd "$(dirname "$0")/.."
app=${1:-build/Tarnwick.app/Contents/MacOS/Tarnwick}
runs=${2:-5}
document=${3:-}
# A strip of the map area of the document window on the 1280 x 800 screen (WxH+X+Y),
# left of the splash screen and clear of the window's frame and the list.
region=${TW_MAP_REGION:-100x400+295+90}
for tool in Xvfb import python3; do
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
    shots="$work/shots$run"
    mkdir -p "$home/config" "$home/data" "$shots"
    start=$(date +%s.%N)
    XDG_CONFIG_HOME="$home/config" XDG_DATA_HOME="$home/data" "$app" ${document:+"$document"} >"$work/app$run.log" 2>&1 &
    pid=$!
    # Shots as fast as the display gives them, each named by the time it was complete
    # (so the figure errs on the late side by at most one shot).
    for _ in $(seq "${TW_SHOTS:-40}"); do
        import -window root -crop "$region" +repage "$shots/shot.ppm" 2>/dev/null &&
            mv "$shots/shot.ppm" "$shots/$(date +%s.%N).ppm"
    done
    sleep "${TW_SETTLE:-1}"
    import -window root -crop "$region" +repage "$shots/settled.ppm"
    peak=$(awk '/^VmHWM:/ { printf "%d", $2 / 1024 }' "/proc/$pid/status" 2>/dev/null)
    kill "$pid" 2>/dev/null
    wait "$pid" 2>/dev/null
    pid=""
    ms=$(python3 - "$shots" "$start" <<'EOF'
import os, sys

def pixels(path):
    data = open(path, 'rb').read()
    # P6 header: magic, width, height, maximum, then the bytes.
    fields, at = [], 0
    while len(fields) < 4:
        while data[at:at + 1].isspace():
            at += 1
        end = at
        while not data[end:end + 1].isspace():
            end += 1
        fields.append(data[at:end])
        at = end
    return data[at + 1:]

folder, start = sys.argv[1], float(sys.argv[2])
settled = pixels(os.path.join(folder, 'settled.ppm'))
for name in sorted(n for n in os.listdir(folder) if n not in ('settled.ppm', 'shot.ppm')):
    shot = pixels(os.path.join(folder, name))
    if len(shot) != len(settled):
        continue
    same = sum(1 for i in range(0, len(shot), 3) if shot[i:i + 3] == settled[i:i + 3])
    if same >= 0.98 * len(shot) / 3:
        print(round((float(name[:-4]) - start) * 1000))
        break
else:
    print('never')
EOF
)
    echo "run $run: the map was drawn ${ms} ms after the process started (peak memory ${peak:-?} MB)"
    results+=("$ms")
done
printf '%s\n' "${results[@]}" | grep -v never | sort -n | awk '{ v[NR] = $1 } END { if (NR) print "median: " v[int((NR + 1) / 2)] " ms over " NR " runs" }'
