#pragma once

// The waypoint symbol images, 16 and 32 pixels, read from the PNG files of the
// bundle's "Symbols" folder ("Symbols/16/<name>.png", "Symbols/32/<name>.png").
// Owned by the CMapManager, which loads them once on the main thread; the
// images are read-only afterwards, so any thread may draw them.

#include "mapdata/LayerFeature.h"
#include "mapdata/MapDataTypes.h"

#include <map>
#include <string_view>

class CSymbolImages {
public:
    struct Symbol {
        GPSWaypointSymbol code;
        char const* name; // the image file name without ".png"
    };
    static Symbol const kSymbols[66];

    CSymbolImages() = default;
    CSymbolImages(CSymbolImages const&) = delete;
    CSymbolImages& operator=(CSymbolImages const&) = delete;
    ~CSymbolImages();

    // Images that cannot be read are logged and left out; the count of those read.
    std::size_t Load();
    void Clear();
    // Borrowed; an unknown symbol gives the "wayp" image, another size null.
    CGImageRef GetImage(GPSWaypointSymbol symbol, UInt32 size) const;

private:
    struct Pair {
        CGImageRef small = nullptr; // retains
        CGImageRef large = nullptr; // retains
    };
    std::map<GPSWaypointSymbol, Pair> mImages;
};
