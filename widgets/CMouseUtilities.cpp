#include "widgets/CMouseUtilities.h"

#include "toolbox/MouseTracking.h"
#include "widgets/CHIView.h"
#include "widgets/CHIViewUtilities.h"

CGPoint CMouseUtilities::GetGlobalMouse()
{
    Point where {};
    ::GetGlobalMouse(&where);
    return { static_cast<CGFloat>(where.h), static_cast<CGFloat>(where.v) };
}

CGPoint CMouseUtilities::GetViewMouse(CHIView* view)
{
    CGPoint point = GetGlobalMouse();
    if (view)
        CHIViewUtilities::GlobalToView(view->GetHIViewRef(), point);
    return point;
}
