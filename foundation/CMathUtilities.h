#pragma once

// Static geometry helpers on Quartz points.

#include "platform/Platform.h"

class CMathUtilities {
public:
    static CGFloat GetPointPointDistance2(CGPoint const& a, CGPoint const& b); // squared
    // Distance from p to the segment a-b: the projection is clamped to the segment's ends.
    static CGFloat GetPointLineDistance(CGPoint const& p, CGPoint const& a, CGPoint const& b);
};
