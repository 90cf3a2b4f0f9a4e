#include "devices/CGPSTrack.h"

bool CGPSTrackPoint::operator==(CGPSTrackPoint const& other) const
{
    return CCoordinate(sample) == CCoordinate(other.sample) && sample.GetTime() == other.sample.GetTime()
        && altitudeKnown == other.altitudeKnown && newSegment == other.newSegment;
}
