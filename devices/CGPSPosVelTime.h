#pragma once

// One position fix of a receiver: where, when, how fast and which way, and how
// sure. Drivers broadcast it with "tpvt"; devices and track recorders keep it.

#include "foundation/CCoordinatePVT.h"

struct CGPSPosVelTime {
    enum : UInt32 {
        kFixNone = 0, // no position: the rest is not to be used
        kFix2D = 2, // latitude and longitude; the altitude is a guess
        kFix3D = 3,
    };

    CCoordinatePVT sample; // position, fix time [UTC], velocity [m/s east, north, up], accuracy [m]
    double heading = 0; // [deg] clockwise from true north, 0 to 360
    UInt32 fix = kFixNone;

    bool IsValid() const { return fix != kFixNone; }
    double GetSpeed() const; // [m/s] over ground
};
