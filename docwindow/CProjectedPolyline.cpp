#include "docwindow/CProjectedPolyline.h"

#include <algorithm>
#include <cmath>

void CProjectedPolyline::Clear()
{
    mPoints.clear();
    mRuns.clear();
}

void CProjectedPolyline::Measure()
{
    mRuns.clear();
    if (mPoints.size() < 2)
        return;
    for (std::size_t start = 0; start + 1 < mPoints.size(); start += kRunLength) {
        std::size_t const end = std::min(start + kRunLength, mPoints.size() - 1);
        double left = mPoints[start].x, right = left, top = mPoints[start].y, bottom = top;
        for (std::size_t i = start + 1; i <= end; ++i) {
            left = std::min<double>(left, mPoints[i].x);
            right = std::max<double>(right, mPoints[i].x);
            top = std::min<double>(top, mPoints[i].y);
            bottom = std::max<double>(bottom, mPoints[i].y);
        }
        mRuns.push_back(CGRectMake(left, top, right - left, bottom - top));
    }
}

namespace {

bool PolylineMeets(CGRect const& a, CGRect const& b)
{
    return a.origin.x <= b.origin.x + b.size.width && b.origin.x <= a.origin.x + a.size.width
        && a.origin.y <= b.origin.y + b.size.height && b.origin.y <= a.origin.y + a.size.height;
}

} // namespace

std::size_t CProjectedPolyline::AddToPath(CGContextRef context, CGRect const& area) const
{
    std::size_t added = 0;
    bool open = false;
    for (std::size_t run = 0; run < mRuns.size(); ++run) {
        if (!PolylineMeets(mRuns[run], area)) {
            open = false;
            continue;
        }
        std::size_t const start = run * kRunLength;
        std::size_t const end = std::min(start + kRunLength, mPoints.size() - 1);
        for (std::size_t i = start + 1; i <= end; ++i) {
            CGPoint const& a = mPoints[i - 1];
            CGPoint const& b = mPoints[i];
            CGRect const segment = CGRectMake(std::min(a.x, b.x), std::min(a.y, b.y), std::abs(b.x - a.x),
                std::abs(b.y - a.y));
            if (!PolylineMeets(segment, area)) {
                open = false;
                continue;
            }
            if (!open) {
                CGContextMoveToPoint(context, a.x, a.y);
                ++added;
                open = true;
            }
            CGContextAddLineToPoint(context, b.x, b.y);
            ++added;
        }
    }
    return added;
}
