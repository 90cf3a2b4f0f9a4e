#!/usr/bin/env bash
# Draws the interface images of the bundle into resources/Resources/ (committed): the
# toolbar icons, the note, the compass and the inspector's line pictures; with a path,
# also a contact sheet of them where the program shows them:
#   tools/images/build-images.sh [contact sheet .png]
# The navigator's world picture comes from the map pack instead: tools/images/make-nav-map.sh.
set -euo pipefail
cd "$(dirname "$0")/../.."
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
g++ -std=c++20 -O1 -Wall -Wextra -o "$out/GenerateImages" tools/images/GenerateImages.cpp \
    tools/images/ContactSheet.cpp $(pkg-config --cflags --libs pangocairo)
backdrop=()
renderer=${TW_RENDER_MAP:-build/tools/render-map/render-map}
if [ $# -gt 0 ] && [ -x "$renderer" ]; then
    # A piece of map under the notes on the sheet: Göteborg's harbour.
    "$renderer" --centre 57.70,11.95 --level 11 --size 300x150 --out "$out/backdrop.png" >/dev/null
    backdrop=("$out/backdrop.png")
fi
"$out/GenerateImages" resources/Resources ${1:+"$1"} "${backdrop[@]}"
