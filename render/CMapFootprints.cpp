#include "render/CMapFootprints.h"

#include "render/CGraphicsUtilities.h"

bool CMapFootprints::Add(CGRect const& rect, bool reserve)
{
    if (CGraphicsUtilities::IsEmpty(rect))
        return false;
    for (CGRect const& reserved : mRects)
        if (CGraphicsUtilities::IsIntersecting(rect, reserved))
            return false;
    if (reserve)
        mRects.push_back(rect);
    return true;
}
