#!/usr/bin/env bash
# Builds Tarnwick and starts it. Without a display it starts a virtual one, runs the
# application there, saves a screenshot and says where.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/setup.sh
tools/build.sh build -DCMAKE_BUILD_TYPE=RelWithDebInfo
app=build/Tarnwick.app/Contents/MacOS/Tarnwick
exec "$app" "$@"
