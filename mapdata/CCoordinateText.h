#pragma once

// Latitude and longitude as text in the formats of the preference
// "MapCoordinates": degrees, degrees and minutes, or degrees, minutes and
// seconds, with a hemisphere letter. Parsing accepts all three forms whatever
// the preference. Stateless; any thread.

#include "foundation/CString.h"
#include "mapdata/MapDataTypes.h"

#include <optional>

class CCoordinateText {
public:
    static CString Format(double degrees, bool isLatitude, MapCoordinates format);
    // Nothing when the text is no coordinate of that axis or lies outside ±90° (±180°).
    static std::optional<double> Parse(CString const& text, bool isLatitude);
};
