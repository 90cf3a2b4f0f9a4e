#pragma once

// A polyline in image pixels, with the bounds of each run of points kept beside
// it, so that drawing adds only the runs that meet the part being drawn: a
// long track costs per frame what the view shows of it, not its length.

#include "platform/Platform.h"

#include <cstddef>
#include <vector>

class CProjectedPolyline {
public:
    static constexpr std::size_t kRunLength = 128; // points per run

    std::vector<CGPoint> const& GetPoints() const { return mPoints; }
    std::vector<CGPoint>& EditPoints() { return mPoints; }
    // After the points changed: measures the runs again.
    void Measure();
    void Clear();
    // Adds the segments meeting the area to the context's path; a skipped stretch breaks the path.
    // Answers the number of points added.
    std::size_t AddToPath(CGContextRef context, CGRect const& area) const;

private:
    std::vector<CGPoint> mPoints; // [image px]
    std::vector<CGRect> mRuns; // run i: points i * kRunLength to (i + 1) * kRunLength, both ends included
};
