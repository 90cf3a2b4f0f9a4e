#pragma once

// Values shared by the map objects and everyone who shows, edits, stores or
// transfers them: type codes, styles, waypoint codes, attribute bits and the
// objects' messages. Codes are four-character values read big-endian; they
// are stored in documents and exchanged with devices: never renumber.

#include "foundation/ColourRGBA.h"
#include "mapdata/LayerFeature.h"

using MapObjectType = OSType;
using MapLineStyle = OSType;
using GPSWaypointClass = OSType;
using GPSWaypointColour = OSType;
using GPSWaypointOptions = OSType;

enum : MapObjectType {
    kMapObjectWaypoint = 'wayp',
    kMapObjectRoute = 'rout',
    kMapObjectTrack = 'trak',
    kMapObjectNote = 'note',
    kMapObjectLine = 'line',
    kMapObjectRectangle = 'rect',
    kMapObjectCircle = 'circ',
    kMapObjectCrop = 'crop',
};

enum : MapLineStyle {
    kMapLineSolid = 'soli',
    kMapLineDotted = 'dotd',
    kMapLineDashed = 'dash',
};

struct MapObjectStyle {
    float lineWidth = 1.0f; // [px]
    MapLineStyle lineStyle = kMapLineSolid;
    ColourRGBA fill { 1, 1, 1, 0.5f };
    ColourRGBA frame { 0, 0, 0, 1 };

    bool operator==(MapObjectStyle const& other) const = default;
};

// Display options of a waypoint.
enum : GPSWaypointOptions {
    kWaypointShowSymbol = 'symb', // the symbol only
    kWaypointShowName = 'snam', // symbol and name
    kWaypointShowComment = 'scom', // symbol and description
};

inline constexpr GPSWaypointSymbol kWaypointSymbolDefault = 'wayp';
inline constexpr GPSWaypointSymbol kWaypointSymbolDot = 'wdot';
inline constexpr GPSWaypointSymbol kWaypointSymbolGeocache = 'geoc';
inline constexpr GPSWaypointClass kWaypointClassUser = 'cusr';
inline constexpr GPSWaypointColour kWaypointColourDefault = 'cdef';

// Map object attribute bits.
enum : UInt32 {
    kMapObjectAttrSelected = 1,
    kMapObjectAttrTemporary = 2, // not listed, not saved
    kMapObjectAttrHalo = 4, // drawn with a halo, neither selectable nor movable on the map
    kMapObjectAttrLarge = 8, // a waypoint's symbol is always 32 pixels
};

// Messages of map objects; the parameter is the object.
enum : UInt32 {
    kMsgMapObjectModified = 'mmod',
    kMsgMapObjectNeedsDisplay = 'mdir', // the look changed, the content did not (routed legs)
    kMsgWaypointMoved = 'mwmo',
    kMsgWaypointRemoved = 'mwrm', // sent while the waypoint is destroyed
};
