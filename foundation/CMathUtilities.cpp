#include "foundation/CMathUtilities.h"

#include <algorithm>
#include <cmath>

CGFloat CMathUtilities::GetPointPointDistance2(CGPoint const& a, CGPoint const& b)
{
    CGFloat dx = b.x - a.x;
    CGFloat dy = b.y - a.y;
    return dx * dx + dy * dy;
}

CGFloat CMathUtilities::GetPointLineDistance(CGPoint const& p, CGPoint const& a, CGPoint const& b)
{
    CGFloat length2 = GetPointPointDistance2(a, b);
    // A segment of no length is its one point.
    if (length2 == 0)
        return std::sqrt(GetPointPointDistance2(p, a));
    CGFloat t = ((p.x - a.x) * (b.x - a.x) + (p.y - a.y) * (b.y - a.y)) / length2;
    t = std::clamp<CGFloat>(t, 0, 1);
    CGPoint nearest { a.x + t * (b.x - a.x), a.y + t * (b.y - a.y) };
    return std::sqrt(GetPointPointDistance2(p, nearest));
}
