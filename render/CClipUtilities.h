#pragma once

// Cutting projected geometry down to a tile before it is drawn, so that no
// point far outside reaches the drawing context (Cairo's fixed-point range
// ends near ±8 million pixels; the deepest level is 33 million wide), and
// thinning points that lie closer together than the eye can tell. Pure
// functions on pixel coordinates; any thread.

#include "platform/Platform.h"

#include <vector>

// A piece of a line inside the clip rectangle, with how far along the whole line it starts
// (so dashes run on unbroken from tile to tile).
struct ClipRun {
    std::vector<CGPoint> points;
    double startLength = 0; // [px]
};

class CClipUtilities {
public:
    // The ring cut to the rectangle (its parts outside replaced by runs along the edges);
    // empty when nothing of it is inside.
    static void ClipPolygon(std::vector<CGPoint> const& ring, CGRect const& rect, std::vector<CGPoint>& out);
    // The pieces of the line inside the rectangle, appended to runs.
    static void ClipPolyline(std::vector<CGPoint> const& line, CGRect const& rect, std::vector<ClipRun>& runs);
    // Drops each point nearer than tolerance to the last one kept; the first and last stay.
    static void Thin(std::vector<CGPoint>& points, double tolerance);
    // Whether the segment meets the rectangle.
    static bool SegmentMeetsRect(CGPoint a, CGPoint b, CGRect const& rect);
};
