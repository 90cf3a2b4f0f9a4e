#pragma once

// Text forms of the values map objects store in their dictionaries, and the
// reading of four-character codes written on a machine of either byte order.
// Every reader refuses what it cannot use (non-finite numbers, latitudes past
// 90°, longitudes past 180°) instead of guessing a value.

#include "foundation/CCoordinateRect.h"
#include "foundation/CFDictionary.h"

#include <string>

class CMapCodingUtilities {
public:
    // "{latitude, longitude, altitude}", the coordinate text form, at full precision.
    static CString EncodeCoordinate(CCoordinate const& coordinate);
    // The same form (the altitude may be left out); false for anything else.
    static bool DecodeCoordinate(CString const& text, CCoordinate& coordinate);

    // "{north, west, south, east}" in degrees.
    static CString EncodeBounds(CCoordinateRect const& bounds);
    static bool DecodeBounds(CString const& text, CCoordinateRect& bounds);

    // The code under the key; when it is not one the predicate knows but its byte-swapped
    // value is, the swapped value. Unknown codes come back as read; 0 when missing.
    static OSType GetCode(CFDictionary const& properties, CFDictionary::Key key, bool (*isKnown)(OSType));

    static bool IsValidLatitude(double degrees);
    static bool IsValidLongitude(double degrees);
    // Shortest text that reads back to the same double; locale-free.
    static void AppendNumber(std::string& text, double value);
};
