#pragma once

// A waypoint: a named position with a symbol, class, colour, display option
// and proximity distance. Routes that use a waypoint listen to it: it sends
// "mwmo" when it moves and "mwrm" while it is destroyed.

#include "foundation/CCoordinate.h"
#include "model/CMapObject.h"

class CMapWaypoint : public CMapObject {
public:
    static constexpr char const* kKeyPosition = "Position";
    static constexpr char const* kKeyProximity = "Proximity";
    static constexpr char const* kKeySymbol = "Symbol";
    static constexpr char const* kKeyClass = "Class";
    static constexpr char const* kKeyColour = "Colour";
    static constexpr char const* kKeyOptions = "Options";

    // Symbol "wayp", class "cusr", colour "cdef", option "snam".
    CMapWaypoint();
    ~CMapWaypoint() override;

    CCoordinate GetPosition() const { return mPosition; }
    // Broadcasts "mmod" and then "mwmo" when the position changed.
    void SetPosition(CCoordinate const& position);
    double GetProximity() const { return mProximity; } // [m]; 0 for none
    GPSWaypointSymbol GetSymbol() const { return mSymbol; }
    GPSWaypointClass GetClass() const { return mClass; }
    GPSWaypointColour GetColour() const { return mColour; }
    GPSWaypointOptions GetOptions() const { return mOptions; }
    // Each broadcasts "mmod" when the value changed.
    void SetProximity(double metres);
    void SetSymbol(GPSWaypointSymbol symbol);
    void SetClass(GPSWaypointClass waypointClass);
    void SetColour(GPSWaypointColour colour);
    void SetOptions(GPSWaypointOptions options);

    OSStatus EncodeProperties(CFDictionary& properties) const override;
    OSStatus DecodeProperties(CFDictionary const& properties) override;

    // A symbol of the program's symbol set (the symbol images, the waypoint sheet's menu).
    static bool IsKnownSymbol(GPSWaypointSymbol symbol);

private:
    CCoordinate mPosition;
    double mProximity = 0; // [m]
    GPSWaypointSymbol mSymbol = kWaypointSymbolDefault;
    GPSWaypointClass mClass = kWaypointClassUser;
    GPSWaypointColour mColour = kWaypointColourDefault;
    GPSWaypointOptions mOptions = kWaypointShowName;
};
