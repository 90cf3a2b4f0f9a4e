#!/bin/sh
# Draws the start-up splash picture (480 x 300): a dusk gradient, contour lines
# of a hill, and the application's name; the bottom band stays plain for the
# status line. Usage: tools/make_splash_background.sh [output.png]
set -eu
out="${1:-$(dirname "$0")/../resources/Resources/SplashBackground.png}"
font="/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf"
contours=""
for r in 40 70 100 130 160 190 220; do
    contours="$contours ellipse 340,190 $((r * 3 / 2)),$r 0,360"
done
convert -size 480x300 gradient:'#1d3b53'-'#0b1724' \
    -fill none -stroke 'rgba(140,200,190,0.35)' -strokewidth 1.5 -draw "$contours" \
    -fill 'rgba(8,16,24,0.85)' -stroke none -draw "rectangle 0,250 480,300" \
    -font "$font" -fill white -pointsize 44 -annotate +32+96 'Tarnwick' \
    -font "$font" -fill 'rgba(200,225,235,0.9)' -pointsize 15 -annotate +34+124 'GPS mapping' \
    -strip "PNG32:$out"
