#pragma once

// One sample of a track: a position with its fix time, velocity and accuracy.

#include "foundation/CCoordinate.h"
#include "foundation/CDateTime.h"

#include <array>

class CCoordinatePVT : public CCoordinate {
public:
    using Velocity = std::array<double, 3>; // [m/s] east, north, up

    CCoordinatePVT() = default;
    CCoordinatePVT(
        CCoordinate const& position, CDateTime const& time, Velocity const& velocity = {}, double accuracy = 0);

    CDateTime GetTime() const { return mTime; }
    void SetTime(CDateTime const& time) { mTime = time; }
    // The velocity vector; the ground speed (east and north) goes through speed when given.
    Velocity GetVelocity(double* speed) const;
    void SetVelocity(Velocity const& velocity) { mVelocity = velocity; }
    double GetAccuracy() const { return mAccuracy; } // [m]
    void SetAccuracy(double accuracy) { mAccuracy = accuracy; }

private:
    CDateTime mTime;
    Velocity mVelocity {}; // [m/s]
    double mAccuracy = 0; // [m]
};
