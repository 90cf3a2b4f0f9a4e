#include "framework/CCarbonEvent.h"
#include "quartz/CGContext.h"
#include "toolbox/HIObject.h"
#include "toolbox/HIViewCalls.h"
#include "toolbox/View.h"
#include "toolbox/WindowList.h"
#include "widgets/CHIView.h"
#include "widgets/CHIViewUtilities.h"

#include <cmath>

namespace {

CRect ToCRect(CGRect r)
{
    return CRect(static_cast<SInt16>(std::floor(r.origin.y)), static_cast<SInt16>(std::floor(r.origin.x)),
        static_cast<SInt16>(std::floor(CGRectGetMaxY(r))), static_cast<SInt16>(std::floor(CGRectGetMaxX(r))));
}

CGRect ToCGRect(CRect const& r) { return CGRectMake(r.left, r.top, r.right - r.left, r.bottom - r.top); }

// Where a sub view is placed: its parent's own bounds, in the coordinates its frame uses. The
// parent's control bounds are its frame in the grandparent (the window content for the root).
CRect InnerBounds(CHIView const* parent)
{
    CRect const outer = parent->GetControlBounds();
    CGPoint const origin = parent->GetBounds().origin;
    return ToCRect(CGRectMake(origin.x, origin.y, outer.GetWidth(), outer.GetHeight()));
}

EventTypeSpec const kTrackingAreaEvents[] = {
    { CHIView::kEventClassPctl, CHIView::kEventPctlExited },
    { CHIView::kEventClassPctl, CHIView::kEventPctlEntered },
    { CHIView::kEventClassPctl, CHIView::kEventPctlWithin },
    { 0, 0 },
};

int sTrackingViews = 0;
EventHandlerRef sTrackHandler = nullptr;
tw::toolbox::WeakRef<tw::toolbox::View> sLastTracked; // weak: reads null once the view is gone

} // namespace

CRect CHIView::GetControlBounds() const { return ToCRect(GetFrame()); }

void CHIView::SetControlBounds(CRect const& bounds)
{
    HIViewSetNeedsDisplay(GetHIViewRef(), true);
    SetFrame(ToCGRect(bounds));
    HIViewSetNeedsDisplay(GetHIViewRef(), true);
}

CRect CHIView::GetBestControlBounds() const
{
    Rect best {};
    GetBestControlRect(GetHIViewRef(), &best, nullptr);
    return best;
}

void CHIView::SetSizeConstraints(CGSize const* minimum, CGSize const* maximum)
{
    if (minimum)
        mMinSize = *minimum;
    if (maximum)
        mMaxSize = *maximum;
}

HILayoutInfo CHIView::GetLayoutInfo() const
{
    HILayoutInfo layout {};
    layout.version = kHILayoutInfoVersionZero;
    HIViewGetLayoutInfo(GetHIViewRef(), &layout);
    return layout;
}

void CHIView::SetLayoutInfo(HILayoutInfo const& layout) { HIViewSetLayoutInfo(GetHIViewRef(), &layout); }

void CHIView::SetLayoutOptions(UInt32 placement, UInt32 options, CRect const& margins)
{
    mLayoutOptions = options;
    CHIView* parent = GetSuperHIView();
    if (placement == 0 || !parent)
        return;
    CRect container = InnerBounds(parent);
    container.top += margins.top;
    container.left += margins.left;
    container.bottom -= margins.bottom;
    container.right -= margins.right;
    SetControlBounds(CHIViewUtilities::CalculateLayout(GetControlBounds(), placement, container));
}

void CHIView::HandleSuperResize(CRect const& delta)
{
    if (mLayoutOptions == 0)
        return;
    CRect const old = GetControlBounds();
    CRect container = old;
    if (CHIView* parent = GetSuperHIView())
        container = InnerBounds(parent);
    else
        container
            = CRect(old.top + delta.top, old.left + delta.left, old.bottom + delta.bottom, old.right + delta.right);
    CRect next = old;
    SInt16 const width = old.right - old.left, height = old.bottom - old.top;
    switch (mLayoutOptions & 7) {
    case 1:
        next.left += delta.left, next.right += delta.left;
        break;
    case 2:
        next.left += delta.right, next.right += delta.right;
        break;
    case 3:
        next.left += delta.left, next.right += delta.right;
        break;
    case 4:
        next.left = container.left + (container.right - container.left - width) / 2, next.right = next.left + width;
        break;
    }
    switch (mLayoutOptions & 56) {
    case 8:
        next.top += delta.top, next.bottom += delta.top;
        break;
    case 16:
        next.top += delta.bottom, next.bottom += delta.bottom;
        break;
    case 24:
        next.top += delta.top, next.bottom += delta.bottom;
        break;
    case 32:
        next.top = container.top + (container.bottom - container.top - height) / 2, next.bottom = next.top + height;
        break;
    }
    SetControlBounds(next);
    CRect const own(next.top - old.top, next.left - old.left, next.bottom - old.bottom, next.right - old.right);
    for (UInt16 i = 1; i <= GetSubHIViewCount(); ++i)
        if (CHIView* sub = GetSubHIView(i))
            sub->HandleSuperResize(own);
}

OSStatus CHIView::SetZOrder(HIViewZOrderOp op, CHIView* other)
{
    return HIViewSetZOrder(GetHIViewRef(), op, other ? other->GetHIViewRef() : nullptr);
}

void CHIView::SetFeatures(UInt64 set, UInt64 clear) { HIViewChangeFeatures(GetHIViewRef(), set, clear); }

void CHIView::RemoveSubViews()
{
    while (HIViewRef sub = HIViewGetFirstSubview(GetHIViewRef())) {
        HIViewSetNeedsDisplay(sub, true);
        HIViewRemoveFromSuperview(sub); // the parent's reference goes with it
    }
}

void CHIView::RemoveSubView(CHIView* view, bool deleteIt)
{
    if (!view || view->GetSuperView() != GetHIViewRef())
        return;
    HIViewRef const ref = view->GetHIViewRef();
    CFRetain(ref);
    view->RemoveFromSuperView();
    if (deleteIt)
        delete view;
    CFRelease(ref);
}

CString CHIView::GetControlString(ControlPartCode part, OSType tag) const
{
    CFStringRef text = nullptr;
    Size size = 0;
    if (::GetControlData(GetHIViewRef(), part, tag, sizeof text, &text, &size) != noErr || !text)
        return {};
    // Control data hands out a copy: the string adopts it.
    return CString(text, true);
}

OSErr CHIView::SetControlUInt16(ControlPartCode part, OSType tag, UInt16 value)
{
    return SetControlData(part, tag, sizeof value, &value);
}

OSErr CHIView::SetControlBoolean(ControlPartCode part, OSType tag, bool value)
{
    Boolean const flag = value;
    return SetControlData(part, tag, sizeof flag, &flag);
}

OSErr CHIView::SetControlString(ControlPartCode part, OSType tag, CString const& value)
{
    CFStringRef const text = value.GetCFString();
    return SetControlData(part, tag, sizeof text, &text);
}

OSStatus CHIView::DoEventControlGetSizeConstraints(CCarbonEvent& event)
{
    OSStatus const status = CallNextHandler(event);
    if (status != eventNotHandledErr)
        return status;
    CGSize minimum = mMinSize, maximum = mMaxSize;
    if ((minimum.width == 0 && minimum.height == 0) || (maximum.width == 0 && maximum.height == 0)) {
        CRect const best = GetBestControlBounds();
        CGFloat const width = best.right - best.left, height = best.bottom - best.top;
        for (CGSize* size : { &minimum, &maximum }) {
            if (size->width == 0)
                size->width = width;
            if (size->height == 0)
                size->height = height;
        }
    }
    event.SetParameter('mnsz', typeHISize, sizeof minimum, &minimum);
    event.SetParameter('mxsz', typeHISize, sizeof maximum, &maximum);
    return noErr;
}

CGRect CHIView::DrawZoomBackground(
    CGContextRef context, CGFloat const background[4], CGFloat const frame[4], CGFloat const fill[4], CGRect& content)
{
    content = GetZoomContent();
    CGContextSaveGState(context);
    if (content.origin.x != 0 || content.origin.y != 0) {
        CGContextSetRGBFillColor(context, background[0], background[1], background[2], background[3]);
        CGContextFillRect(context, GetBounds());
    }
    CGContextSetRGBStrokeColor(context, frame[0], frame[1], frame[2], frame[3]);
    CGContextSetLineWidth(context, 1);
    CGContextStrokeRect(context, content);
    CGContextSetRGBFillColor(context, fill[0], fill[1], fill[2], fill[3]);
    CGContextFillRect(context, content);
    CGContextRestoreGState(context);
    CGContextClipToRect(context, content);
    return content;
}

void CHIView::CreateTrackingArea(bool)
{
    if (mHasTrackingArea)
        return;
    if (sTrackingViews++ == 0) {
        EventTypeSpec const moved { kEventClassMouse, kEventMouseMoved };
        InstallEventHandler(GetApplicationEventTarget(), TrackHandler, 1, &moved, nullptr, &sTrackHandler);
    }
    mHasTrackingArea = true;
    AddEvents(kTrackingAreaEvents);
}

void CHIView::DisposeTrackingArea()
{
    if (!mHasTrackingArea)
        return;
    if (--sTrackingViews == 0 && sTrackHandler) {
        RemoveEventHandler(sTrackHandler);
        sTrackHandler = nullptr;
    }
    mHasTrackingArea = false;
    RemoveEvents(kTrackingAreaEvents);
}

// Tells the view under the mouse that the mouse entered, stayed or (the last one) left.
OSStatus CHIView::TrackHandler(EventHandlerCallRef callRef, EventRef event, void*)
{
    CCarbonEvent moved(event);
    HIPoint const global = moved.GetMouseLocation();
    WindowRef window = moved.GetParameterWindow(kEventParamWindowRef);
    if (!window)
        window = tw::toolbox::WindowList::FindAt(global);
    HIViewRef view = nullptr;
    if (window)
        HIViewGetViewForMouseEvent(HIViewGetRoot(window), event, &view);
    UInt32 const modifiers = view ? moved.GetKeyModifiers() : 0;
    auto send = [&](HIViewRef target, UInt32 kind) {
        CCarbonEvent notice(kEventClassPctl, kind);
        HIPoint p = global;
        CHIViewUtilities::GlobalToView(target, p);
        notice.SetParameter(kEventParamKeyModifiers, typeUInt32, sizeof modifiers, &modifiers);
        notice.SetParameter(kEventParamMouseLocation, typeHIPoint, sizeof p, &p);
        notice.SendToControl(target);
    };
    tw::toolbox::View* last = sLastTracked.Get();
    if (view != last) {
        if (last)
            send(last, kEventPctlExited);
        if (view)
            send(view, kEventPctlEntered);
        sLastTracked.Reset(view);
    } else if (view) {
        send(view, kEventPctlWithin);
    }
    return CallNextEventHandler(callRef, event);
}

OSStatus CHIView::DoEventControlTrackingAreaEntered(CCarbonEvent&)
{
    mMouseInside = true;
    return eventNotHandledErr;
}

OSStatus CHIView::DoEventControlTrackingAreaExited(CCarbonEvent&)
{
    mMouseInside = false;
    return eventNotHandledErr;
}
