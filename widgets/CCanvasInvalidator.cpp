#include "widgets/CCanvasInvalidator.h"

#include "widgets/CCanvasView.h"

#include <algorithm>

namespace {

constexpr double kDelay = 0.001; // [s]
constexpr std::size_t kMaxAreas = 64; // more become one

} // namespace

void CCanvasInvalidator::SetNeedsDisplay(CGRect const& rect)
{
    if (std::none_of(mAreas.begin(), mAreas.end(), [&](CGRect const& area) { return CGRectContainsRect(area, rect); })) {
        std::erase_if(mAreas, [&](CGRect const& area) { return CGRectContainsRect(rect, area); });
        mAreas.push_back(rect);
        if (mAreas.size() > kMaxAreas) {
            CGRect all = mAreas.front();
            for (CGRect const& area : mAreas)
                all = CGRectUnion(all, area);
            mAreas.assign(1, all);
        }
    }
    if (!IsInstalled())
        InstallTimer(kDelay, kDelay);
}

void CCanvasInvalidator::DoTimer()
{
    RemoveTimer();
    std::vector<CGRect> areas;
    areas.swap(mAreas);
    for (CGRect const& area : areas)
        mCanvas->SetNeedsDisplay(true, &area);
}
