#!/usr/bin/env bash
# Draws the waypoint symbol PNGs into resources/Resources/Symbols/{16,32}/ (committed),
# and a contact sheet of them: tools/symbols/build-symbols.sh [contact sheet .png]
set -euo pipefail
cd "$(dirname "$0")/../.."
out=$(mktemp -d)
g++ -std=c++20 -O1 -o "$out/GenerateSymbols" tools/symbols/GenerateSymbols.cpp $(pkg-config --cflags --libs pangocairo)
"$out/GenerateSymbols" resources/Resources/Symbols ${1:+"$1"}
rm -rf "$out"
