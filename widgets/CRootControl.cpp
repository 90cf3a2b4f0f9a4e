#include "widgets/CRootControl.h"

#include "framework/CCarbonEvent.h"
#include "toolbox/WindowCalls.h"

#include <set>

namespace {

std::set<CRootControl const*>& LiveRoots()
{
    static std::set<CRootControl const*> roots;
    return roots;
}

} // namespace

CRootControl::CRootControl(WindowRef window)
    : mWindow(window)
{
    WindowAttributes attributes = 0;
    GetWindowAttributes(window, &attributes);
    mCompositing = (attributes & kWindowCompositingAttribute) != 0;
    ControlRef root = nullptr;
    if (GetRootControl(window, &root) == noErr && root) {
        CFRetain(root);
        mRetained = root;
    }
    SetControlRef(root);
    // Follows the window: moves with the left and top edges, grows with the right and bottom ones.
    SetLayoutOptions(0, 27, CRect());
    if (!mCompositing)
        AddEvent(kEventClassControl, kEventControlDraw);
    LiveRoots().insert(this);
}

CRootControl::~CRootControl()
{
    LiveRoots().erase(this);
    if (mRetained)
        CFRelease(mRetained);
}

bool CRootControl::IsLive(CRootControl const* root) { return LiveRoots().contains(root); }

CRect CRootControl::GetControlBounds() const
{
    Rect content {};
    GetWindowBounds(mWindow, kWindowContentRgn, &content);
    return CRect(
        0, 0, static_cast<SInt16>(content.bottom - content.top), static_cast<SInt16>(content.right - content.left));
}

void CRootControl::SetControlBounds(CRect const& rect)
{
    HIRect const area = CGRectMake(rect.left, rect.top, rect.GetWidth(), rect.GetHeight());
    HIViewSetNeedsDisplayInRect(GetControlRef(), &area, true);
}

OSStatus CRootControl::DoEventControlDraw(CCarbonEvent& event)
{
    if (mCompositing)
        return eventNotHandledErr;
    if (!event.GetCGContext())
        return paramErr;
    // The window's own background drawing erases, keeping its outline and grow box.
    CallNextHandler(event);
    return noErr;
}
