#!/usr/bin/env bash
# Renders the navigator's world picture, resources/Resources/NavMap.png (committed), from
# the world map pack with the tile renderer: the whole map image at zoom level 1, 512 x 512
# pixels, which is exactly the Mercator square (84° N to 84° S) the map view scrolls over,
# so the navigator can lay it over any level's image by scaling alone.
#   tools/images/make-nav-map.sh [build dir]    (default: build; render-map is built there)
set -euo pipefail
cd "$(dirname "$0")/../.."
build=${1:-build}
cmake --build "$build" --target render-map >/dev/null
"$build/tools/render-map/render-map" --centre 0,0 --level 1 --size 512x512 --out resources/Resources/NavMap.png
