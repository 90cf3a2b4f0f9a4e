#pragma once

// A track as receivers store it: a name and its points, each of which may
// start a new segment (the receiver lost its fix or was switched off).

#include "foundation/CCoordinatePVT.h"

#include <vector>

struct CGPSTrackPoint {
    CCoordinatePVT sample; // position and time; receivers send no velocity with track points
    bool altitudeKnown = false;
    bool newSegment = false;

    bool operator==(CGPSTrackPoint const& other) const;
};

struct CGPSTrack {
    static constexpr UInt8 kColourDefault = 0xFF;

    CString name;
    bool display = true; // shown on the receiver's map
    UInt8 colour = kColourDefault; // the receiver's colour index
    std::vector<CGPSTrackPoint> points;

    bool operator==(CGPSTrack const& other) const { return name == other.name && points == other.points; }
};
