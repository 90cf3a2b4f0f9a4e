#!/bin/sh
# Draws the icons of the device descriptions shipped in the bundle (64 x 64, RGBA): a
# small handheld for the eTrex units, a larger one with an antenna for the GPSMAP, and a
# round receiver puck with its cable for NMEA receivers.
# Usage: tools/make_device_icons.sh [Devices folder]   (default: resources/Resources/Devices)
set -eu
devices="${1:-$(dirname "$0")/../resources/Resources/Devices}"

# handheld OUTPUT BODY-COLOUR ANTENNA(0|1)
handheld() {
    antenna=""
    top=6
    if [ "$3" = 1 ]; then
        antenna="roundrectangle 38,2 46,20 3,3"
        top=14
    fi
    convert -size 64x64 xc:none \
        -fill '#3a3f44' -stroke none -draw "$antenna" \
        -fill "$2" -stroke '#1c1f22' -strokewidth 2 -draw "roundrectangle 14,$top 50,61 9,9" \
        -fill '#b9d7c4' -stroke '#1c1f22' -strokewidth 1.5 -draw "rectangle 20,$((top + 7)) 44,$((top + 31))" \
        -fill none -stroke '#2f7a4f' -strokewidth 2 \
        -draw "polyline 22,$((top + 27)) 28,$((top + 20)) 34,$((top + 23)) 42,$((top + 11))" \
        -fill '#c0392b' -stroke none -draw "circle 42,$((top + 11)) 44,$((top + 11))" \
        -fill '#1c1f22' -draw "circle 32,$((top + 40)) 36,$((top + 40))" \
        -strip "PNG32:$1"
}

puck() {
    convert -size 64x64 xc:none \
        -fill none -stroke '#2b2b2b' -strokewidth 3 -draw "bezier 32,46 30,56 14,52 6,60" \
        -fill '#4a5056' -stroke '#1c1f22' -strokewidth 2 -draw "circle 32,28 32,6" \
        -fill '#6d757d' -stroke none -draw "circle 32,28 32,13" \
        -fill '#3fb56a' -draw "circle 44,18 46,18" \
        -fill white -font DejaVu-Sans-Bold -pointsize 9 -gravity center -annotate +0-4 'GPS' \
        -strip "PNG32:$1"
}

handheld "$devices/Garmin eTrex Legend HCx.twdevice/Contents/Resources/Icon.png" '#e8eaec' 0
handheld "$devices/Garmin eTrex Venture HC.twdevice/Contents/Resources/Icon.png" '#f2c94c' 0
handheld "$devices/Garmin GPSMAP 76CSx.twdevice/Contents/Resources/Icon.png" '#5d6770' 1
puck "$devices/NMEA Receiver.twdevice/Contents/Resources/Icon.png"
