#include "foundation/CCoordinatePVT.h"

#include <cmath>

CCoordinatePVT::CCoordinatePVT(
    CCoordinate const& position, CDateTime const& time, Velocity const& velocity, double accuracy)
    : CCoordinate(position)
    , mTime(time)
    , mVelocity(velocity)
    , mAccuracy(accuracy)
{
}

CCoordinatePVT::Velocity CCoordinatePVT::GetVelocity(double* speed) const
{
    if (speed)
        *speed = std::hypot(mVelocity[0], mVelocity[1]);
    return mVelocity;
}
