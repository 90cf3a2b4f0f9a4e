#pragma once

// The rectangles labels have reserved in one drawing pass, so that no two labels
// overlap, across tile edges too. Image coordinates; main thread only.

#include "platform/Platform.h"

#include <vector>

class CMapFootprints {
public:
    // False when the rectangle is empty or meets a reserved one (sharing an edge counts
    // as meeting); otherwise true, reserving the rectangle when asked.
    bool Add(CGRect const& rect, bool reserve);
    void Clear() { mRects.clear(); }
    std::vector<CGRect> const& GetRects() const { return mRects; }

private:
    std::vector<CGRect> mRects;
};
