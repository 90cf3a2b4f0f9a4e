#pragma once

// Cuts device-space paths down to what Cairo can take. Cairo keeps coordinates
// in 24.8 fixed point, so points beyond about ±8 million pixels wrap round; the
// map at its deepest zoom is far wider than that. Subpaths that leave the guard
// rectangle are clipped to it (polygons for fills, segments for strokes) and
// curves are split until each piece lies inside the guard or misses the visible
// area, where its chord is as good as the curve. The guard lies well outside
// the visible area, so the edges the clipping adds never show.

#include "quartz/PathData.h"

#include <vector>

namespace tw::quartz {

// A subpath of lines and curves, in device space.
struct Subpath {
    CGPoint start;
    std::vector<PathElement> segments; // Line and Curve only
    bool closed = false;
    CGFloat startDistance = 0; // [user units] from the original subpath's start, to keep dash phases
};

class GuardClipper {
public:
    // visible: device pixels the drawing may change; guard: a larger rectangle around it.
    GuardClipper(CGRect visible, CGRect guard);

    // Subpaths with a non-finite point are dropped whatever the mode.
    std::vector<Subpath> ClipForFill(PathData const& path) const;
    std::vector<Subpath> ClipForStroke(PathData const& path, CGAffineTransform const& deviceToUser) const;

private:
    bool Inside(CGPoint p) const;
    bool Inside(Subpath const& subpath) const;
    void Flatten(Subpath& subpath) const;
    void Subdivide(CGPoint p0, PathElement const& curve, int depth, std::vector<PathElement>& out) const;
    Subpath ClipPolygon(Subpath const& subpath) const;
    void ClipOpen(Subpath const& subpath, CGAffineTransform const& deviceToUser, std::vector<Subpath>& out) const;
    template <typename ClipOutside> std::vector<Subpath> ClipEach(PathData const& path, ClipOutside const& clip) const;

    CGRect mVisible;
    CGFloat mX0, mY0, mX1, mY1; // the guard's edges
};

// Splits a path into subpaths; lone moves are dropped.
std::vector<Subpath> SplitSubpaths(PathData const& path);

} // namespace tw::quartz
