#pragma once

// The rectangles labels have reserved in one drawing pass, so that no two labels
// overlap, across tile edges too. Each is also filed by the cells of a coarse grid
// it meets, so that a pass over many labels tests each against its neighbours only.
// Image coordinates; main thread only.

#include "platform/Platform.h"

#include <cstddef>
#include <cstdint>
#include <unordered_map>
#include <vector>

class CMapFootprints {
public:
    static constexpr double kCellSide = 64; // [px] of the grid's cells
    static constexpr std::int64_t kCellsMax = 64; // a rectangle meeting more is tested against all

    // False when the rectangle is empty or meets a reserved one (sharing an edge counts
    // as meeting); otherwise true, reserving the rectangle when asked.
    bool Add(CGRect const& rect, bool reserve);
    void Clear();
    std::vector<CGRect> const& GetRects() const { return mRects; }

private:
    std::vector<CGRect> mRects;
    std::unordered_map<UInt64, std::vector<std::size_t>> mCells; // indices of mRects by grid cell
    std::vector<std::size_t> mWide; // indices of rectangles meeting too many cells to file
};
