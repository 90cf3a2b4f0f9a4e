#pragma once

// A waypoint as receivers store it: an identifier, a comment, a position and
// the receiver's own symbol, colour and display codes. Produced and consumed by
// the drivers; CDeviceTransfer turns it into a map waypoint and back.

#include "foundation/CCoordinate.h"
#include "foundation/CDateTime.h"
#include "mapdata/LayerFeature.h"

struct CGPSWaypoint {
    // How the receiver labels the waypoint on its map.
    enum : UInt8 {
        kDisplayName = 0, // symbol and name
        kDisplaySymbol = 1, // symbol only
        kDisplayComment = 2, // symbol and comment
    };
    static constexpr UInt16 kSymbolDot = 18; // the receiver's plain waypoint dot
    static constexpr UInt8 kColourDefault = 0xFF;

    CString name;
    CString comment;
    CCoordinate position; // the altitude only when altitudeKnown
    bool altitudeKnown = false;
    double proximity = 0; // [m]; 0 for none
    CDateTime time; // when it was made; 0 when unknown
    UInt16 symbol = kSymbolDot; // the receiver's symbol number
    UInt8 colour = kColourDefault; // the receiver's colour index
    UInt8 display = kDisplayName;

    bool operator==(CGPSWaypoint const& other) const;

    // Our symbols and the receiver's numbers; unknown numbers read as "wayp", and symbols
    // the receiver lacks are sent as its dot.
    static GPSWaypointSymbol GetSymbolCode(UInt16 number);
    static UInt16 GetSymbolNumber(GPSWaypointSymbol code);
};
