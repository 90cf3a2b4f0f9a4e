#include "bindings/Source/Bindings/CBWindowBinding.h"

#include "bindings/Source/Bindings/CBObjectBindingSupport.h"
#include "toolbox/WindowCalls.h"

#include <cmath>
#include <cstdio>

using namespace tw::bindings;

namespace {

constexpr char const* kKeys[] = { "visible", "collapsed", "bounds", "title" };

EventTypeSpec const kWindowEvents[] = {
    { kEventClassWindow, kEventWindowClosed },
    { kEventClassWindow, kEventWindowShown },
    { kEventClassWindow, kEventWindowHidden },
    { kEventClassWindow, kEventWindowCollapsed },
    { kEventClassWindow, kEventWindowExpanded },
    { kEventClassWindow, kEventWindowBoundsChanged },
    { kEventClassWindow, kEventWindowTitleChanged },
};

EventHandlerUPP HandlerUPP()
{
    static EventHandlerUPP const sUPP = NewEventHandlerUPP(CBWindowBinding::EventHandler);
    return sUPP;
}

OSStatus SetContentBounds(WindowRef window, CBValue const& theValue)
{
    // Anything but a finite rectangle at least a pixel each way would collapse the window.
    CGRect const rect = theValue.IsRect() ? theValue.GetRect() : CGRect {};
    if (!theValue.IsRect() || !std::isfinite(rect.size.width) || !std::isfinite(rect.size.height)
        || !(rect.size.width >= 1) || !(rect.size.height >= 1))
        return paramErr;
    Rect bounds;
    bounds.top = ToCoordinate(rect.origin.y);
    bounds.left = ToCoordinate(rect.origin.x);
    bounds.bottom = ToCoordinate(bounds.top + double(ToCoordinate(rect.size.height)));
    bounds.right = ToCoordinate(bounds.left + double(ToCoordinate(rect.size.width)));
    return SetWindowBounds(window, kWindowContentRgn, &bounds);
}

} // namespace

CBWindowBinding::CBWindowBinding(WindowRef theWindow) { SetWindow(theWindow); }

CBWindowBinding::~CBWindowBinding() { SetWindow(nullptr); }

CBString CBWindowBinding::GetDebugInfo() const
{
    CFStringRef title = nullptr;
    if (mWindow)
        CopyWindowTitleAsCFString(mWindow, &title);
    std::string const text = TextOf(title);
    if (title)
        CFRelease(title);
    char info[512];
    std::snprintf(info, sizeof info, "[Window \"%.*s\"]", static_cast<int>(text.size()), text.c_str());
    return CBString(info);
}

void CBWindowBinding::SetWindow(WindowRef theWindow)
{
    ReleaseObject();
    mWindow = theWindow;
    if (!mWindow)
        return;
    WatchObject(GetWindowEventTarget(mWindow), HandlerUPP(), kWindowEvents, this, kKeys);
}

void CBWindowBinding::ApplyValue(CBString const& theKey, CBValue const& theValue)
{
    bool const wasApplying = mApplying;
    mApplying = true;
    OSStatus status = noErr;
    if (theKey == "visible") {
        if (theValue.GetBoolean())
            ShowWindow(mWindow);
        else
            HideWindow(mWindow);
    } else if (theKey == "collapsed") {
        status = CollapseWindow(mWindow, theValue.GetBoolean());
    } else if (theKey == "bounds") {
        status = SetContentBounds(mWindow, theValue);
    } else if (theKey == "title") {
        status = theValue.IsString() ? SetWindowTitleWithCFString(mWindow, theValue.GetString()) : paramErr;
    }
    CB_REPORT_STATUS(status);
    mApplying = wasApplying;
}

CBValue CBWindowBinding::ReadValue(CBString const& theKey) const
{
    if (theKey == "visible")
        return MakeBoolean(IsWindowVisible(mWindow));
    if (theKey == "collapsed")
        return MakeBoolean(IsWindowCollapsed(mWindow));
    if (theKey == "bounds") {
        Rect bounds {};
        if (!CB_REPORT_STATUS(GetWindowBounds(mWindow, kWindowContentRgn, &bounds)))
            return CBValue();
        CBValue value;
        value.SetRect(CGRectMake(bounds.left, bounds.top, bounds.right - bounds.left, bounds.bottom - bounds.top));
        return value;
    }
    if (theKey == "title") {
        CFStringRef title = nullptr;
        CB_REPORT_STATUS(CopyWindowTitleAsCFString(mWindow, &title));
        return AdoptString(title);
    }
    return CBValue();
}

bool CBWindowBinding::CheckBound() const { return CB_CHECK(mWindow != NULL); }

OSStatus CBWindowBinding::EventHandler(EventHandlerCallRef, EventRef theEvent, void* userData)
{
    if (!CB_CHECK(userData != NULL))
        return eventNotHandledErr;
    return static_cast<CBWindowBinding*>(userData)->DoEventWindow(theEvent);
}

OSStatus CBWindowBinding::DoEventWindow(EventRef theEvent)
{
    if (!CB_CHECK(GetEventClass(theEvent) == kEventClassWindow))
        return eventNotHandledErr;
    UInt32 const kind = GetEventKind(theEvent);
    if (kind == kEventWindowClosed) {
        delete this;
        return eventNotHandledErr;
    }
    if (mApplying)
        return eventNotHandledErr; // the key takes the written value when the write returns
    if (kind == kEventWindowShown || kind == kEventWindowHidden)
        SyncValue("visible");
    else if (kind == kEventWindowCollapsed || kind == kEventWindowExpanded)
        SyncValue("collapsed");
    else if (kind == kEventWindowBoundsChanged)
        SyncValue("bounds");
    else if (kind == kEventWindowTitleChanged)
        SyncValue("title");
    return eventNotHandledErr;
}
