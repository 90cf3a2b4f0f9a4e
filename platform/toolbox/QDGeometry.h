#pragma once

// Conversions between Quartz rectangles and the QuickDraw rectangles that window
// bounds and events still use. Coordinates round to the nearest pixel and clamp
// to the 16-bit range (non-finite values give 0).

#include "corefoundation/MacTypes.h"
#include "quartz/CGGeometry.h"

#include <algorithm>
#include <cmath>

namespace tw::toolbox {

inline SInt16 ToQDCoordinate(double v)
{
    if (!std::isfinite(v))
        return 0;
    return static_cast<SInt16>(std::clamp(std::lround(v), -32768L, 32767L));
}

inline Rect ToQDRect(CGRect r)
{
    return { ToQDCoordinate(CGRectGetMinY(r)), ToQDCoordinate(CGRectGetMinX(r)), ToQDCoordinate(CGRectGetMaxY(r)),
        ToQDCoordinate(CGRectGetMaxX(r)) };
}

inline CGRect FromQDRect(Rect const& r) { return CGRectMake(r.left, r.top, r.right - r.left, r.bottom - r.top); }

} // namespace tw::toolbox
