#!/bin/sh
# Starts the Tarnwick bundle installed beside this launcher's folder.
here=$(dirname "$(readlink -f "$0")")
exec "$here/../lib/tarnwick/Tarnwick.app/Contents/MacOS/Tarnwick" "$@"
