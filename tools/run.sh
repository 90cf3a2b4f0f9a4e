#!/usr/bin/env bash
# Builds Tarnwick and starts it. On a desktop its window opens. Without a display it
# starts a virtual one, runs the application there for a few seconds in a scratch home,
# saves a screenshot (build/screenshot.png), quits the application and says where the
# picture is.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/setup.sh
tools/build.sh build -DCMAKE_BUILD_TYPE=RelWithDebInfo
app=build/Tarnwick.app/Contents/MacOS/Tarnwick

if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
    exec "$app" "$@"
fi

screenshot=$PWD/build/screenshot.png
displayfile=$(mktemp)
# The demonstration runs in a home of its own: "My Places" and the preferences it makes
# stay out of the user's folders, and go with it.
demohome=$(mktemp -d)
xvfb=""
pid=""
cleanup() {
    if [ -n "$pid" ]; then kill "$pid" 2>/dev/null || true; fi
    if [ -n "$xvfb" ]; then kill "$xvfb" 2>/dev/null || true; fi
    rm -f "$displayfile"
    rm -rf "$demohome"
}
trap cleanup EXIT
trap "exit 1" INT TERM

echo "No display: starting a virtual one (Xvfb)."
Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp 3>"$displayfile" 2>/dev/null &
xvfb=$!
for _ in $(seq 50); do [ -s "$displayfile" ] && break; sleep 0.1; done
[ -s "$displayfile" ] || { echo "Xvfb did not start." >&2; exit 1; }
export DISPLAY=":$(head -n1 "$displayfile")"

HOME=$demohome XDG_CONFIG_HOME=$demohome/.config XDG_DATA_HOME=$demohome/.local/share \
    XDG_CACHE_HOME=$demohome/.cache XDG_STATE_HOME=$demohome/.local/state "$app" "$@" &
pid=$!
timeout 10 xdotool search --sync --name 'Tarnwick$' >/dev/null || { echo "The window did not appear." >&2; exit 1; }
sleep 3
import -window root "$screenshot"

# Quit as a user would (Ctrl+Q); stop it the hard way if that does not work.
xdotool key ctrl+q
for _ in $(seq 50); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
if kill -0 "$pid" 2>/dev/null; then
    echo "Tarnwick did not quit on Ctrl+Q: stopping it." >&2
    kill "$pid" 2>/dev/null || true
fi
wait "$pid" || true
pid=""
echo "Screenshot of Tarnwick on the virtual display: $screenshot"
