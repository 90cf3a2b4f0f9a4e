#!/usr/bin/env bash
# How many system calls Tarnwick makes a second while nothing happens: the
# application starts on a virtual display (Xvfb) with fresh preferences and support
# folders, is left alone to settle, and strace counts every thread's calls for a while.
# Usage: tools/idle-syscalls.sh [Tarnwick executable] [seconds counted] [seconds to settle]
# Prints strace's table and the calls a second. Needs Xvfb, xdotool and strace.
set -uo pipefail
cd "$(dirname "$0")/.."
app=${1:-build/Tarnwick.app/Contents/MacOS/Tarnwick}
seconds=${2:-20}
settle=${3:-8}
for tool in Xvfb xdotool strace; do
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

mkdir -p "$work/config" "$work/data" "$work/runtime"
chmod 700 "$work/runtime"
HOME="$work" XDG_CONFIG_HOME="$work/config" XDG_DATA_HOME="$work/data" XDG_RUNTIME_DIR="$work/runtime" \
    "$app" >"$work/app.log" 2>&1 &
pid=$!
timeout 20 xdotool search --sync --name 'Tarnwick$' >/dev/null || { echo "The window did not appear." >&2; exit 1; }
sleep "$settle"
timeout -s INT "$seconds" strace -c -f -p "$pid" -o "$work/counts" 2>/dev/null
# strace writes no table when nothing was called at all.
[ -s "$work/counts" ] && cat "$work/counts"
python3 - "$work/counts" "$seconds" <<'EOF'
import sys
calls = 0
for line in open(sys.argv[1]):
    fields = line.split()
    if fields and fields[-1] == 'total':
        calls = int(fields[3])
print(f"{calls} calls in {sys.argv[2]} s: {calls / float(sys.argv[2]):.1f} calls a second")
EOF
echo "load: $(cut -d' ' -f1-3 /proc/loadavg)"
