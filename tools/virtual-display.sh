# Sourced by the measuring scripts: checks the tools they name, then makes a work folder
# ($work), starts a private Xvfb (1280 x 800) and exports its DISPLAY. On exit the program
# started as $pid, the Xvfb and the work folder go.
#   tw_virtual_display TOOL...
tw_virtual_display() {
    local tool
    for tool in Xvfb "$@"; do
        command -v "$tool" >/dev/null || { echo "$tool is missing (tools/setup.sh installs it)" >&2; exit 1; }
    done
    work=$(mktemp -d)
    xvfb=""
    pid=""
    trap tw_virtual_display_cleanup EXIT
    trap "exit 1" INT TERM
    Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp 3>"$work/display" 2>/dev/null &
    xvfb=$!
    for _ in $(seq 50); do [ -s "$work/display" ] && break; sleep 0.1; done
    [ -s "$work/display" ] || { echo "Xvfb did not start." >&2; exit 1; }
    export DISPLAY=":$(head -n1 "$work/display")"
    unset TW_HEADLESS WAYLAND_DISPLAY
}

tw_virtual_display_cleanup() {
    if [ -n "$pid" ]; then kill "$pid" 2>/dev/null || true; fi
    if [ -n "$xvfb" ]; then kill "$xvfb" 2>/dev/null || true; fi
    wait 2>/dev/null
    rm -rf "$work"
}
