#!/usr/bin/env bash
# Installs the Debian packages Tarnwick builds and tests with. Safe to run again:
# it asks apt only for what is missing.
set -euo pipefail

packages=(
    build-essential cmake ninja-build pkg-config python3
    libcairo2-dev libpango1.0-dev libsdl2-dev libpugixml-dev libcurl4-openssl-dev
    libgeographiclib-dev libgtest-dev libgmock-dev libbenchmark-dev fonts-dejavu-core
    xvfb xdotool imagemagick xclip poppler-utils gdal-bin
    libexpat1-dev libusb-1.0-0-dev libudev-dev gpsbabel ccache
    libx11-dev x11-xkb-utils x11-utils
    libgl-dev libglx-dev libgl1-mesa-dri
)

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$p")
    fi
done

if [ ${#missing[@]} -eq 0 ]; then
    exit 0
fi

echo "Installing: ${missing[*]}"
sudo=""
if [ "$(id -u)" -ne 0 ]; then
    sudo="sudo"
fi
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
