#include "render/CMapFootprints.h"

#include "render/CGraphicsUtilities.h"

#include <cmath>

namespace {
std::int64_t CellOf(double v) { return std::int64_t(std::floor(v / CMapFootprints::kCell)); }
UInt64 CellKey(std::int64_t x, std::int64_t y) { return (UInt64(x) << 32) ^ UInt64(UInt32(y)); }
} // namespace

bool CMapFootprints::Add(CGRect const& rect, bool reserve)
{
    if (CGraphicsUtilities::IsEmpty(rect))
        return false;
    CGRect const r = CGRectStandardize(rect);
    std::int64_t const left = CellOf(r.origin.x), right = CellOf(r.origin.x + r.size.width);
    std::int64_t const top = CellOf(r.origin.y), bottom = CellOf(r.origin.y + r.size.height);
    bool const filed = (right - left + 1) * (bottom - top + 1) <= kCellsMax;
    if (filed) {
        for (std::int64_t y = top; y <= bottom; ++y)
            for (std::int64_t x = left; x <= right; ++x)
                if (auto const found = mCells.find(CellKey(x, y)); found != mCells.end())
                    for (std::size_t index : found->second)
                        if (CGraphicsUtilities::IsIntersecting(rect, mRects[index]))
                            return false;
        for (std::size_t index : mWide)
            if (CGraphicsUtilities::IsIntersecting(rect, mRects[index]))
                return false;
    } else {
        for (CGRect const& reserved : mRects)
            if (CGraphicsUtilities::IsIntersecting(rect, reserved))
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
            mCells[CellKey(x, y)].push_back(index);
    return true;
}

void CMapFootprints::Clear()
{
    mRects.clear();
    mCells.clear();
    mWide.clear();
}
