#pragma once

// The rectangles labels have reserved in one drawing pass, so that no two labels
// overlap, across tile edges too. The rectangles are also filed by the cells of a
// coarse grid they meet, so that a pass over many labels tests each against its
// neighbours only. Image coordinates; main thread only.

#include "platform/Platform.h"

#include <cstdint>
#include <unordered_map>
#include <vector>

class CMapFootprints {
public:
    static constexpr double kCell = 64; // [px] side of the grid's cells
    static constexpr std::int64_t kCellsMax = 64; // a larger rectangle is tested against all

    // False when the rectangle is empty or meets a reserved one (sharing an edge counts
    // as meeting); otherwise true, reserving the rectangle when asked.
    bool Add(CGRect const& rect, bool reserve);
    void Clear();
    std::vector<CGRect> const& GetRects() const { return mRects; }

private:
    std::vector<CGRect> mRects;
    std::unordered_map<UInt64, std::vector<std::size_t>> mCells; // indices into mRects by grid cell
    std::vector<std::size_t> mWide; // rectangles meeting too many cells to file
};
