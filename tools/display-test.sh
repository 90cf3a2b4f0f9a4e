#!/usr/bin/env bash
# The display test: starts Tarnwick on a virtual display with its SDL window and
# drives it as a user would, checking screenshots: the menu bar is drawn, a click
# on a menu title opens the menu and a click elsewhere closes it, Ctrl+Q quits
# with status 0. Usage: tools/display-test.sh <Tarnwick executable> [output folder]
# Exits 77 (skipped) only when Xvfb, xdotool or ImageMagick is missing.
set -uo pipefail

app=$1
out=${2:-$(mktemp -d)}
for tool in Xvfb xdotool import convert; do
    command -v "$tool" >/dev/null || { echo "skipped: $tool is not installed (tools/setup.sh installs it)"; exit 77; }
done
mkdir -p "$out"
rm -f "$out"/*.png "$out/display"

xvfb=""
pid=""
cleanup() {
    if [ -n "$pid" ]; then kill "$pid" 2>/dev/null || true; fi
    if [ -n "$xvfb" ]; then kill "$xvfb" 2>/dev/null || true; fi
    wait 2>/dev/null
}
trap cleanup EXIT
trap "exit 1" INT TERM
fail() {
    echo "FAIL: $*"
    echo "(screenshots and the application's output are in $out)"
    exit 1
}

# A virtual display on a free number, which Xvfb reports itself.
Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp 3>"$out/display" 2>"$out/xvfb.log" &
xvfb=$!
for _ in $(seq 50); do [ -s "$out/display" ] && break; sleep 0.1; done
[ -s "$out/display" ] || fail "Xvfb did not start"
export DISPLAY=":$(head -n1 "$out/display")"
unset TW_HEADLESS WAYLAND_DISPLAY

"$app" >"$out/app.log" 2>&1 &
pid=$!
timeout 10 xdotool search --sync --name '^Tarnwick$' >/dev/null || fail "the window did not appear"

# The mean brightness (0..1) of a region of a screenshot: WxH+X+Y.
mean() { convert "$1" -crop "$2" +repage -colorspace Gray -format '%[fx:mean]' info:; }
deviation() { convert "$1" -crop "$2" +repage -colorspace Gray -format '%[fx:standard_deviation]' info:; }
below() { awk -v a="$1" -v b="$2" 'BEGIN { exit !(a < b) }'; }
shot() { import -window root "$out/$1.png" && echo "$out/$1.png"; }

menubar=1280x22+0+0
desktop=400x300+600+400
filemenu=160x150+100+40 # below the File title

# 1. The menu bar: light, with titles written on it, over the darker desktop.
for _ in $(seq 50); do
    s=$(shot 1-menubar)
    below 0.8 "$(mean "$s" $menubar)" && break
    sleep 0.1
done
below 0.8 "$(mean "$s" $menubar)" || fail "no menu bar at the top of the screen"
below 0.02 "$(deviation "$s" $menubar)" || fail "the menu bar has no titles"
below "$(mean "$s" $desktop)" 0.6 || fail "the desktop is not drawn"
# The untitled document opened at start-up covers that place: Ctrl+W (Command-W) closes it.
xdotool key ctrl+w
for _ in $(seq 30); do
    s=$(shot 1-closed-document)
    below "$(mean "$s" $filemenu)" 0.6 && break
    sleep 0.1
done
below "$(mean "$s" $filemenu)" 0.6 || fail "something already covers the place of the File menu"

# 2. A click on "File" opens its menu; a click on the desktop closes it.
xdotool mousemove 108 10 click 1
for _ in $(seq 30); do
    s=$(shot 2-file-menu)
    below 0.8 "$(mean "$s" $filemenu)" && break
    sleep 0.1
done
below 0.8 "$(mean "$s" $filemenu)" || fail "clicking File did not open its menu"
below 0.02 "$(deviation "$s" $filemenu)" || fail "the File menu has no items"
xdotool mousemove 700 500 click 1
for _ in $(seq 30); do
    s=$(shot 3-closed)
    below "$(mean "$s" $filemenu)" 0.6 && break
    sleep 0.1
done
below "$(mean "$s" $filemenu)" 0.6 || fail "clicking the desktop did not close the menu"

# 3. Ctrl+Q (Command-Q) quits with status 0.
xdotool key ctrl+q
for _ in $(seq 50); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
kill -0 "$pid" 2>/dev/null && fail "Ctrl+Q did not quit"
wait "$pid"
status=$?
pid=""
[ "$status" -eq 0 ] || fail "Tarnwick ended with status $status"
grep -q "not built yet" "$out/app.log" || fail "Tarnwick did not say what it shows"
echo "Display test passed: screenshots in $out"
