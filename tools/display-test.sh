#!/usr/bin/env bash
# The display test: starts Tarnwick on a virtual display with its SDL window and
# drives it as a user would, checking screenshots: the menu bar is drawn, a click
# on a menu title opens the menu and a click elsewhere closes it, the window has
# its icon and is titled after the front document, a second start hands over to
# the running one, a killed one's socket is replaced, Go to Location moves the map
# to links pasted from the clipboard, Ctrl+Q quits with status 0,
# and nothing is printed on standard output.
# Usage: tools/display-test.sh <Tarnwick executable> [output folder]
# Exits 77 (skipped) only when Xvfb, xdotool, xprop or ImageMagick is missing.
set -uo pipefail

app=$1
out=${2:-$(mktemp -d)}
for tool in Xvfb xdotool xprop import convert compare xclip; do
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
# A runtime folder of the test's own, where the running instance listens.
export XDG_RUNTIME_DIR="$out/run"
rm -rf "$XDG_RUNTIME_DIR" && mkdir -p "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
# A home of its own, fresh each run: the run starts as a first start and never touches the
# user's documents and preferences.
export HOME="$out/home"
unset XDG_CONFIG_HOME XDG_DATA_HOME
rm -rf "$HOME" && mkdir -p "$HOME"
export XDG_CACHE_HOME="$out/../display-test-cache" # the font cache outlives the run

"$app" >"$out/app.log" 2>"$out/app.err" &
pid=$!
timeout 10 xdotool search --sync --name 'Tarnwick$' >/dev/null || fail "the window did not appear"

# The mean brightness (0..1) of a region of a screenshot: WxH+X+Y.
mean() { convert "$1" -crop "$2" +repage -colorspace Gray -format '%[fx:mean]' info:; }
deviation() { convert "$1" -crop "$2" +repage -colorspace Gray -format '%[fx:standard_deviation]' info:; }
below() { awk -v a="$1" -v b="$2" 'BEGIN { exit !(a < b) }'; }
shot() { import -window root "$out/$1.png" && echo "$out/$1.png"; }

# Every wait below polls for what it waits for, as long as a loaded machine may take.
menubar=1280x22+0+0
desktop=760x120+30+670 # below the document window
filemenu=160x150+100+40 # below the File title

# 1. The menu bar: light, with titles written on it, over the darker desktop.
for _ in $(seq 250); do
    s=$(shot 1-menubar)
    below 0.8 "$(mean "$s" $menubar)" && break
    sleep 0.1
done
below 0.8 "$(mean "$s" $menubar)" || fail "no menu bar at the top of the screen"
below 0.02 "$(deviation "$s" $menubar)" || fail "the menu bar has no titles"
below "$(mean "$s" $desktop)" 0.6 || fail "the desktop is not drawn"
# The window is titled after the untitled document and has the program's icon.
wid=$(xdotool search --name 'Tarnwick$' | head -n1)
for _ in $(seq 150); do
    title=$(xdotool getwindowname "$wid")
    [ "$title" != "Tarnwick" ] && break
    sleep 0.1
done
case "$title" in
    *" — Tarnwick") ;;
    *) fail "the window's title is \"$title\", not the document's name and the program's" ;;
esac
xprop -id "$wid" -f _NET_WM_ICON 32c ' = $0 x $1' _NET_WM_ICON | grep -q "= 256 x 256" || fail "the window has no icon"
# The untitled document opened at start-up covers that place: Ctrl+W (Command-W) closes it.
xdotool key ctrl+w
for _ in $(seq 150); do
    s=$(shot 1-closed-document)
    below "$(mean "$s" $filemenu)" 0.6 && break
    sleep 0.1
done
below "$(mean "$s" $filemenu)" 0.6 || fail "something already covers the place of the File menu"

# 2. A click on "File" opens its menu; a click on the desktop closes it.
xdotool mousemove 108 10 click 1
for _ in $(seq 150); do
    s=$(shot 2-file-menu)
    below 0.8 "$(mean "$s" $filemenu)" && break
    sleep 0.1
done
below 0.8 "$(mean "$s" $filemenu)" || fail "clicking File did not open its menu"
below 0.02 "$(deviation "$s" $filemenu)" || fail "the File menu has no items"
xdotool mousemove 700 720 click 1
for _ in $(seq 150); do
    s=$(shot 3-closed)
    below "$(mean "$s" $filemenu)" 0.6 && break
    sleep 0.1
done
below "$(mean "$s" $filemenu)" 0.6 || fail "clicking the desktop did not close the menu"

# 3. A second start hands over to the running one and ends at once: with nothing to
# open, the running one reopens, making a new document as no document is open.
timeout 10 "$app" >"$out/second.log" 2>&1
second=$?
[ "$second" -eq 0 ] || fail "the second start ended with status $second"
[ "$(xdotool search --name 'Tarnwick$' | wc -l)" -eq 1 ] || fail "a second window opened"
for _ in $(seq 150); do
    s=$(shot 4-reopened)
    below 0.8 "$(mean "$s" $filemenu)" || break
    sleep 0.1
done
case "$(xdotool getwindowname "$wid")" in
    *" — Tarnwick") ;;
    *) fail "the running Tarnwick did not reopen a document for the second start" ;;
esac

# 4. A killed instance leaves its socket behind: the next start replaces it and runs.
kill -9 "$pid"
wait "$pid" 2>/dev/null
ls "$XDG_RUNTIME_DIR"/tarnwick-*.socket >/dev/null 2>&1 || fail "the killed instance's socket is not there to be replaced"
"$app" >"$out/app.log" 2>"$out/app.err" &
pid=$!
timeout 10 xdotool search --sync --name 'Tarnwick$' >/dev/null || fail "a start after a killed instance did not run"

# 4b. Go to Location (Ctrl+L) takes each form of map link from the desktop clipboard (Tab
# to "Paste Link", Space): Return keeps the place, Escape goes back to where the map was.
# The screen is compared with a view of the whole world, where each paste starts.
difference() { compare -metric RMSE "$1" "$2" null: 2>&1 | sed -n 's/.*(\(.*\)).*/\1/p'; }
# Each step waits for what it does to show, not for a fixed time: a slow build (the
# sanitizers on a loaded machine) takes seconds to show a sheet. The sheet is open while
# its default button, OK, is blue where the sheet puts it over the map.
sheet_open() { below 0.4 "$(convert "$1" -crop 50x10+573+328 +repage -format '%[fx:mean.b-mean.r]' info:)"; }
location() { # link, ending key
    printf '%s' "$1" | xclip -selection clipboard
    xdotool key ctrl+l
    for _ in $(seq 300); do
        s=$(shot 4b-sheet)
        sheet_open "$s" && break
    done
    sheet_open "$s" || fail "the Go to Location sheet did not open"
    # The sheet takes the keys in turn: Tab to "Paste Link", Space pastes, then the ending key.
    xdotool key Tab Tab Tab space "$2"
    for _ in $(seq 300); do
        s=$(shot 4b-sheet-gone)
        sheet_open "$s" || break
    done
    sheet_open "$s" && fail "the Go to Location sheet did not close"
}
# The map of the world is drawn when each quarter of it shows sea (a tile still loading
# is grey); the view is taken once, drawn, two shots half a second apart agree (the splash
# screen fades first).
world_drawn() {
    local quarter
    for quarter in 250x240+295+150 250x240+550+150 250x240+295+400 250x240+550+400; do
        below "$(convert "$1" -crop $quarter +repage -format '%[fx:mean.b-mean.r]' info:)" 0.03 && return 1
    done
    return 0
}
settle() {
    world=$(shot 4b-world)
    for _ in $(seq 240); do
        sleep 0.5
        cp "$world" "$out/4b-earlier.png"
        world=$(shot 4b-world)
        world_drawn "$world" && below "$(difference "$out/4b-earlier.png" "$world")" 0.002 && return
    done
    fail "the map of the world was not drawn"
}
# Waits, as long as a loaded machine takes to draw it, for the screen to show the world view.
shows_world() { # shot name
    for _ in $(seq 240); do
        s=$(shot "$1")
        below "$(difference "$world" "$s")" 0.01 && return 0
        sleep 0.25
    done
    return 1
}
settle
location "tarnwick://view?lat=0&lon=0&zoom=1" Return
settle
location "https://maps.google.com/maps?ll=57.7089,11.9746&z=12" Escape
shows_world 4b-cancelled || fail "Escape in Go to Location did not bring the map back"
n=0
for link in "tarnwick://view?lat=57.7089&lon=11.9746&zoom=12" \
    "http://www.multimap.com/map/browse.cgi?lat=51.5073&lon=-0.1277&scale=10000&icon=x" \
    "http://www.streetmap.co.uk/map.srf?x=530625&y=178388&z=115" \
    "http://maps.google.com/maps?ll=51.500152,-0.126236&spn=0.010032,0.027466" \
    "<Placemark><name>Pin</name><LookAt><range>20000</range></LookAt><Point><coordinates>-73.56,45.5,0</coordinates></Point></Placemark>" \
    "http://maps.yahoo.com/#mvt=m&lat=40.748441&lon=-73.985664&mag=3" \
    "http://maps.live.com/default.aspx?v=2&cp=47.619~-122.348&style=r&lvl=15"; do
    n=$((n + 1))
    location "$link" Return
    # A loaded machine may draw the new place a while after the sheet goes.
    for _ in $(seq 120); do
        s=$(shot "4b-link-$n")
        below 0.02 "$(difference "$world" "$s")" && break
        sleep 0.25
    done
    below 0.02 "$(difference "$world" "$s")" || fail "the map did not move to the pasted link $link"
    location "tarnwick://view?lat=0&lon=0&zoom=1" Return
    shows_world "4b-back-$n" || fail "the map did not go back to the world after the link $link"
done

# 5. Ctrl+Q (Command-Q) quits with status 0.
xdotool key ctrl+q
for _ in $(seq 150); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
kill -0 "$pid" 2>/dev/null && fail "Ctrl+Q did not quit"
wait "$pid"
status=$?
pid=""
[ "$status" -eq 0 ] || fail "Tarnwick ended with status $status"
[ ! -s "$out/app.log" ] || fail "Tarnwick printed on standard output: $(head -c 200 "$out/app.log")"
[ ! -e "$XDG_RUNTIME_DIR"/tarnwick-*.socket ] || fail "Tarnwick left its socket behind"
echo "Display test passed: screenshots in $out"
