#pragma once

// Values shared by the map data and its callers.

#include "foundation/Status.h"
#include "platform/Platform.h"

// A map pack, region or layer of the wrong format or missing a required key.
inline constexpr OSStatus kMapFormatErr = -2114;

// Unit systems of distance and speed texts; the preference "MapUnits". Stored: never renumber.
enum MapUnits : SInt32 {
    kMapUnitsMetric = 1,
    kMapUnitsImperial = 2,
    kMapUnitsUser = 3, // the user's choice
    kMapUnitsKilometres = 4,
    kMapUnitsMetres = 5,
    kMapUnitsMiles = 6,
    kMapUnitsFeet = 7,
};

// Coordinate text formats; the preference "MapCoordinates". Stored: never renumber.
enum MapCoordinates : SInt32 {
    kMapCoordinatesDegrees = 1,
    kMapCoordinatesDegreesMinutes = 2,
    kMapCoordinatesDegreesMinutesSeconds = 3,
    kMapCoordinatesUser = 4,
};

using MapProjection = UInt32;
inline constexpr MapProjection kMapProjectionMercator = 0;

// Waypoint symbol image sizes [px].
enum SymbolSize : UInt32 {
    kSymbolSizeSmall = 16,
    kSymbolSizeLarge = 32,
};

// Forms of CMapManager::GetTimeString.
enum DateFormat : UInt32 {
    kDateFormatDuration = 0,
    kDateFormatDateTime = 1,
};
