#pragma once

// Waypoint symbols named in text, as GPX and LOC files name them: our own
// symbol names ("FlagBlue"), our four-character codes ("fblu") and the names
// receivers and mapping programs commonly write ("Flag, Blue", "Gas Station",
// "Geocache"). Case, spaces and punctuation do not matter.

#include "model/MapObjectTypes.h"

#include <string_view>

class CSymbolNameUtilities {
public:
    // The symbol for the name; fallback when no symbol is known by it.
    static GPSWaypointSymbol GetSymbol(std::string_view name, GPSWaypointSymbol fallback = kWaypointSymbolDefault);
};
