#include "render/CMapFootprints.h"

#include "render/CGraphicsUtilities.h"

#include <cmath>

namespace {

std::int64_t FootprintCell(double v) { return std::int64_t(std::floor(v / CMapFootprints::kCellSide)); }
UInt64 FootprintKey(std::int64_t x, std::int64_t y) { return (UInt64(x) << 32) ^ UInt64(UInt32(y)); }

} // namespace

void CMapFootprints::Clear()
{
    mRects.clear();
    mCells.clear();
    mWide.clear();
}

bool CMapFootprints::Add(CGRect const& rect, bool reserve)
{
    if (CGraphicsUtilities::IsEmpty(rect))
        return false;
    CGRect const r = CGRectStandardize(rect);
    std::int64_t const left = FootprintCell(r.origin.x), right = FootprintCell(r.origin.x + r.size.width);
    std::int64_t const top = FootprintCell(r.origin.y), bottom = FootprintCell(r.origin.y + r.size.height);
    bool const filed = std::isfinite(r.size.width) && std::isfinite(r.size.height)
        && (right - left + 1) * (bottom - top + 1) <= kCellsMax;
    auto const meets = [&](std::size_t index) { return CGraphicsUtilities::IsIntersecting(rect, mRects[index]); };
    if (filed) {
        for (std::int64_t y = top; y <= bottom; ++y)
            for (std::int64_t x = left; x <= right; ++x)
                if (auto const found = mCells.find(FootprintKey(x, y)); found != mCells.end())
                    for (std::size_t index : found->second)
                        if (meets(index))
                            return false;
        for (std::size_t index : mWide)
            if (meets(index))
                return false;
    } else {
        for (std::size_t index = 0; index < mRects.size(); ++index)
            if (meets(index))
                return false;
    }
    if (!reserve)
        return true;
    std::size_t const index = mRects.size();
    mRects.push_back(rect);
    if (!filed) {
        mWide.push_back(index);
        return true;
    }
    for (std::int64_t y = top; y <= bottom; ++y)
        for (std::int64_t x = left; x <= right; ++x)
            mCells[FootprintKey(x, y)].push_back(index);
    return true;
}
