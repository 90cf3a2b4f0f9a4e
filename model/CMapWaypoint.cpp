#include "model/CMapWaypoint.h"

#include "foundation/Status.h"
#include "mapdata/CSymbolImages.h"
#include "model/CMapCodingUtilities.h"

#include <cmath>

namespace {

constexpr double kMaxProximity = 1e7; // [m], a quarter of the earth

bool IsKnownClass(OSType code) { return code == kWaypointClassUser; }
bool IsKnownColour(OSType code) { return code == kWaypointColourDefault; }
bool IsKnownOptions(OSType code)
{
    return code == kWaypointShowSymbol || code == kWaypointShowName || code == kWaypointShowComment;
}

bool IsUsableProximity(double metres) { return std::isfinite(metres) && metres >= 0 && metres <= kMaxProximity; }

} // namespace

CMapWaypoint::CMapWaypoint()
    : CMapObject(kMapObjectWaypoint)
{
}

CMapWaypoint::~CMapWaypoint() { BroadcastMessage(kMsgWaypointRemoved, this); }

void CMapWaypoint::SetPosition(CCoordinate const& position)
{
    if (position == mPosition)
        return;
    mPosition = position;
    BroadcastModified();
    BroadcastMessage(kMsgWaypointMoved, this);
}

void CMapWaypoint::SetProximity(double metres)
{
    if (!IsUsableProximity(metres) || metres == mProximity)
        return;
    mProximity = metres;
    BroadcastModified();
}

void CMapWaypoint::SetSymbol(GPSWaypointSymbol symbol)
{
    if (symbol == mSymbol)
        return;
    mSymbol = symbol;
    BroadcastModified();
}

void CMapWaypoint::SetClass(GPSWaypointClass waypointClass)
{
    if (waypointClass == mClass)
        return;
    mClass = waypointClass;
    BroadcastModified();
}

void CMapWaypoint::SetColour(GPSWaypointColour colour)
{
    if (colour == mColour)
        return;
    mColour = colour;
    BroadcastModified();
}

void CMapWaypoint::SetOptions(GPSWaypointOptions options)
{
    if (options == mOptions)
        return;
    mOptions = options;
    BroadcastModified();
}

OSStatus CMapWaypoint::EncodeProperties(CFDictionary& properties) const
{
    TW_RETURN_IF_ERROR(CMapObject::EncodeProperties(properties));
    properties.SetValueString(kKeyPosition, CMapCodingUtilities::EncodeCoordinate(mPosition));
    properties.SetValueFloat64(kKeyProximity, mProximity);
    properties.SetValueOSType(kKeySymbol, mSymbol);
    properties.SetValueOSType(kKeyClass, mClass);
    properties.SetValueOSType(kKeyColour, mColour);
    properties.SetValueOSType(kKeyOptions, mOptions);
    return noErr;
}

OSStatus CMapWaypoint::DecodeProperties(CFDictionary const& properties)
{
    TW_RETURN_IF_ERROR(CMapObject::DecodeProperties(properties));
    if (!CMapCodingUtilities::DecodeCoordinate(properties.GetValueString(kKeyPosition), mPosition))
        return paramErr;
    double proximity = properties.GetValueFloat64(kKeyProximity);
    mProximity = IsUsableProximity(proximity) ? proximity : 0;
    // Codes that are missing keep the defaults; unknown ones are kept as they are.
    if (OSType symbol = CMapCodingUtilities::GetCode(properties, kKeySymbol, IsKnownSymbol))
        mSymbol = symbol;
    if (OSType code = CMapCodingUtilities::GetCode(properties, kKeyClass, IsKnownClass))
        mClass = code;
    if (OSType colour = CMapCodingUtilities::GetCode(properties, kKeyColour, IsKnownColour))
        mColour = colour;
    if (OSType options = CMapCodingUtilities::GetCode(properties, kKeyOptions, IsKnownOptions))
        mOptions = options;
    return noErr;
}

bool CMapWaypoint::IsKnownSymbol(GPSWaypointSymbol symbol)
{
    for (auto const& entry : CSymbolImages::kSymbols)
        if (entry.code == symbol)
            return true;
    return false;
}
