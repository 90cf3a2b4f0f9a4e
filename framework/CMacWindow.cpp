#include "framework/CMacWindow.h"

#include "foundation/CSystemUtilities.h"
#include "render/CGraphicsUtilities.h"
#include "toolbox/DragCalls.h"

#include <algorithm>

namespace {

CMacWindow::WidgetSupport const* sWidgetSupport = nullptr;

constexpr ThemeBrush kBrushMovableModalBackground = 49;
constexpr ThemeBrush kBrushSheetBackground = 53;
constexpr UInt32 kBoundsChangeSizeChanged = 1 << 2;

EventTypeSpec const kWindowEvents[] = {
    { kEventClassWindow, kEventWindowBoundsChanged },
    { kEventClassWindow, kEventWindowGetClickActivation },
    { kEventClassCommand, kEventCommandProcess },
    { 0, 0 },
};

WindowRef CreateFromNib(IBNibRef theNib, CString const& windowName)
{
    WindowRef window = nullptr;
    if (!theNib || CreateWindowFromNib(theNib, windowName.GetCFString(), &window) != noErr)
        return nullptr;
    return window;
}

WindowRef CreateFromNibFile(CString const& nibName, CString const& windowName)
{
    IBNibRef nib = nullptr;
    if (CreateNibReference(nibName.GetCFString(), &nib) != noErr)
        return nullptr;
    WindowRef const window = CreateFromNib(nib, windowName);
    DisposeNibReference(nib);
    return window;
}

WindowRef CreateWithClass(WindowClass theClass, WindowAttributes attributes, CRect const& bounds)
{
    if (theClass == kSheetWindowClass)
        attributes |= kWindowCompositingAttribute;
    if (CSystemUtilities::IsRunningOnX())
        attributes |= kWindowAsyncDragAttribute;
    else
        attributes &= ~kWindowLiveResizeAttribute;
    WindowRef window = nullptr;
    if (CreateNewWindow(theClass, attributes, &bounds, &window) != noErr)
        return nullptr;
    return window;
}

// Edges hold at the ends of their range, as CRect's own moves do, rather than wrap.
SInt16 Saturated(int value) { return SInt16(std::clamp(value, -32768, 32767)); }

} // namespace

CRect operator+(CRect const& a, CRect const& b)
{
    return CRect(Saturated(a.top + b.top), Saturated(a.left + b.left), Saturated(a.bottom + b.bottom),
        Saturated(a.right + b.right));
}

CRect operator-(CRect const& a, CRect const& b)
{
    return CRect(Saturated(a.top - b.top), Saturated(a.left - b.left), Saturated(a.bottom - b.bottom),
        Saturated(a.right - b.right));
}

void CMacWindow::SetWidgetSupport(WidgetSupport const* support) { sWidgetSupport = support; }

CMacWindow::CMacWindow(WindowRef theWindow)
{
    if (theWindow && RetainWindow(theWindow) != noErr)
        theWindow = nullptr;
    InitialiseSelf(theWindow, 0);
}

CMacWindow::CMacWindow(IBNibRef theNib, CString const& windowName)
{
    InitialiseSelf(CreateFromNib(theNib, windowName), 0);
}

CMacWindow::CMacWindow(CString const& nibName, CString const& windowName)
{
    InitialiseSelf(CreateFromNibFile(nibName, windowName), 0);
}

CMacWindow::CMacWindow(WindowClass theClass, WindowAttributes attributes, CRect const& bounds, ThemeBrush brush)
{
    InitialiseSelf(CreateWithClass(theClass, attributes, bounds), brush);
}

CMacWindow::~CMacWindow()
{
    if (mRootControl && mWidgetSupport)
        mWidgetSupport->destroyRootControl(mRootControl);
    mRootControl = nullptr;
    RemoveHandler();
    // The last reference disposes the window first, so that its views and handlers go in order.
    if (mWindow && GetWindowRetainCount(mWindow) == 1)
        DisposeWindow(mWindow);
    else if (mWindow)
        ReleaseWindow(mWindow);
}

void CMacWindow::InitialiseSelf(WindowRef theWindow, ThemeBrush brush)
{
    mWindow = theWindow;
    mRootControl = nullptr;
    mSheet = nullptr;
    mToolbar = nullptr;
    mBinding = nullptr;
    if (!mWindow)
        return;
    WindowClass theClass = 0;
    if (brush == 0 && GetWindowClass(mWindow, &theClass) == noErr) {
        if (theClass == kMovableModalWindowClass)
            brush = kBrushMovableModalBackground;
        else if (theClass == kSheetWindowClass)
            brush = kBrushSheetBackground;
    }
    SetAutomaticControlDragTrackingEnabledForWindow(mWindow, true);
    SetThemeWindowBackground(mWindow, brush, true);
    ::GetWindowBounds(mWindow, kWindowContentRgn, &mLastContent);
    InstallHandler(mWindow, kWindowEvents);
    mWidgetSupport = sWidgetSupport;
    if (mWidgetSupport)
        mRootControl = mWidgetSupport->createRootControl(mWindow);
}

EventTargetRef CMacWindow::GetEventTarget() const { return mWindow ? GetWindowEventTarget(mWindow) : nullptr; }

CRect CMacWindow::GetWindowBounds(WindowRegionCode region) const
{
    Rect bounds {};
    if (mWindow)
        ::GetWindowBounds(mWindow, region, &bounds);
    return CRect(bounds);
}

CGRect CMacWindow::GetBounds(WindowRegionCode region) const
{
    CGRect bounds;
    CGraphicsUtilities::ConvertRect(GetWindowBounds(region), bounds);
    return bounds;
}

OSStatus CMacWindow::SetWindowBounds(CRect const& bounds, WindowRegionCode region, WindowTransitionEffect effect)
{
    if (effect == 0)
        return ::SetWindowBounds(mWindow, region, &bounds);
    CRect target = bounds;
    if (region == kWindowContentRgn)
        target = bounds + (GetWindowBounds(kWindowStructureRgn) - GetWindowBounds(kWindowContentRgn));
    return TransitionWindow(mWindow, effect, kWindowResizeTransitionAction, &target);
}

OSStatus CMacWindow::DoEvent(CCarbonEvent&) { return eventNotHandledErr; }

OSStatus CMacWindow::DoEventWindowBoundsChanged(CCarbonEvent& event)
{
    Rect previous = mLastContent, current {};
    ::GetWindowBounds(mWindow, kWindowContentRgn, &mLastContent);
    if (!mRootControl || !mWidgetSupport)
        return eventNotHandledErr;
    UInt32 attributes = 0;
    bool const described
        = event.GetParameter(kEventParamAttributes, typeUInt32, sizeof attributes, &attributes) == noErr
        && event.GetParameter(kEventParamPreviousBounds, typeQDRectangle, sizeof previous, &previous) == noErr
        && event.GetParameter(kEventParamCurrentBounds, typeQDRectangle, sizeof current, &current) == noErr;
    if (!described) {
        // Told only that the bounds changed: compare with the bounds seen last time.
        current = mLastContent;
        bool const resized = current.right - current.left != previous.right - previous.left
            || current.bottom - current.top != previous.bottom - previous.top;
        attributes = resized ? kBoundsChangeSizeChanged : 0;
    }
    if (attributes & kBoundsChangeSizeChanged) {
        Rect const delta { 0, 0, SInt16((current.bottom - current.top) - (previous.bottom - previous.top)),
            SInt16((current.right - current.left) - (previous.right - previous.left)) };
        mWidgetSupport->handleSuperResize(mRootControl, delta);
    }
    return noErr;
}
