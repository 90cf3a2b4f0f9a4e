#pragma once

// Distances, speeds and times as display text, in metric or imperial units,
// from the bundle's localised formats. Stateless; main thread (the bundle
// string tables are shared, the preferences are not).

#include "foundation/CDateTime.h"
#include "mapdata/MapDataTypes.h"

class CMapUnitText {
public:
    // kMapUnitsUser must be resolved by the caller; other unknown values read as metric.
    static CString GetDistanceString(double metres, MapUnits units);
    static CString GetVelocityString(double metresPerSecond, MapUnits units);
    static CString GetTimeString(CDateTime const& date, DateFormat format);

    // A stored preference: 0, 3 ("the user's choice") and unknown values read as metric.
    static MapUnits ResolveStoredUnits(SInt32 stored);
};
