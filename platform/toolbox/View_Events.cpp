#include "toolbox/MouseTracking.h"
#include "toolbox/ObjectClass.h"
#include "toolbox/Theme.h"
#include "toolbox/ToolboxErrors.h"
#include "toolbox/View.h"
#include "toolbox/Window.h"

namespace tw::toolbox {

namespace {

    EventRef MakeControlEvent(EventKind kind, View* view)
    {
        EventRef event = nullptr;
        if (CreateEvent(nullptr, kEventClassControl, kind, GetCurrentEventTime(), 0, &event) != noErr)
            return nullptr;
        ControlRef ref = view;
        SetEventParameter(event, kEventParamDirectObject, typeControlRef, sizeof ref, &ref);
        return event;
    }

    template <typename T> T ReadParam(EventRef event, EventParamName name, EventParamType type, T fallback = T {})
    {
        T value = fallback;
        GetEventParameter(event, name, type, nullptr, sizeof value, nullptr, &value);
        return value;
    }

} // namespace

OSStatus View::StandardHandler(EventHandlerCallRef, EventRef event)
{
    EventClass const eventClass = GetEventClass(event);
    EventKind const kind = GetEventKind(event);
    if (eventClass == kEventClassHIObject && kind == kEventHIObjectInitialize) {
        HIRect frame {};
        if (GetEventParameter(event, 'boun', typeHIRect, nullptr, sizeof frame, nullptr, &frame) == noErr)
            SetFrame(frame);
        return noErr;
    }
    if (eventClass != kEventClassControl)
        return eventNotHandledErr;
    switch (kind) {
    case kEventControlHitTest: {
        HIPoint const p = ReadParam<HIPoint>(event, kEventParamMouseLocation, typeHIPoint);
        ControlPartCode const part = CGRectContainsPoint(GetBounds(), p) ? GetClass()->GetDefaultHitPart() : 0;
        SetEventParameter(event, kEventParamControlPart, typeControlPartCode, sizeof part, &part);
        return noErr;
    }
    case kEventControlDraw: {
        CGContextRef context = ReadParam<CGContextRef>(event, kEventParamCGContextRef, typeCGContextRef);
        return context ? Theme::DrawView(context, this) : paramErr;
    }
    case kEventControlClick:
        return ClickStandard(event);
    case kEventControlTrack:
        return TrackStandard(event);
    default:
        return eventNotHandledErr;
    }
}

OSStatus View::Click(EventRef mouseDown, CGPoint p, ControlPartCode part)
{
    Protector protect(this);
    EventRef click = MakeControlEvent(kEventControlClick, this);
    if (!click)
        return paramErr;
    UInt32 const modifiers = ReadParam<UInt32>(mouseDown, kEventParamKeyModifiers, typeUInt32);
    UInt32 const clicks = ReadParam<UInt32>(mouseDown, kEventParamClickCount, typeUInt32, 1);
    EventMouseButton const button = ReadParam<EventMouseButton>(mouseDown, kEventParamMouseButton, typeMouseButton, 1);
    SetEventParameter(click, kEventParamMouseLocation, typeHIPoint, sizeof p, &p);
    SetEventParameter(click, kEventParamKeyModifiers, typeUInt32, sizeof modifiers, &modifiers);
    SetEventParameter(click, kEventParamClickCount, typeUInt32, sizeof clicks, &clicks);
    SetEventParameter(click, kEventParamMouseButton, typeMouseButton, sizeof button, &button);
    SetEventParameter(click, kEventParamControlPart, typeControlPartCode, sizeof part, &part);
    OSStatus const status = SendToSelf(click);
    ReleaseEvent(click);
    return status;
}

// The standard click: focus when the view wants it on click, then the track event,
// then the hit (and the command) when the mouse came up in a part.
OSStatus View::ClickStandard(EventRef click)
{
    // A view that takes the focus only in the part clicked (not by moving to its next part) gets it so.
    if ((mFeatures & kHIViewFeatureGetsFocusOnClick) && mWindow
        && mWindow->SetFocus(this, kControlFocusNextPart) == errCouldntSetFocus) {
        ControlPartCode const clicked = ReadParam<ControlPartCode>(click, kEventParamControlPart, typeControlPartCode);
        if (clicked > 0)
            mWindow->SetFocus(this, clicked);
    }
    if (IsDisposed())
        return noErr;
    EventRef track = MakeControlEvent(kEventControlTrack, this);
    if (!track)
        return paramErr;
    for (EventParamName name : { kEventParamMouseLocation, kEventParamKeyModifiers, kEventParamClickCount,
             kEventParamMouseButton, kEventParamControlPart }) {
        EventParamType type = 0;
        ByteCount size = 0;
        std::uint8_t buffer[32];
        if (GetEventParameter(click, name, typeWildCard, &type, sizeof buffer, &size, buffer) == noErr)
            SetEventParameter(track, name, type, size, buffer);
    }
    SendToSelf(track);
    ControlPartCode const part = ReadParam<ControlPartCode>(track, kEventParamControlPart, typeControlPartCode);
    UInt32 const modifiers = ReadParam<UInt32>(track, kEventParamKeyModifiers, typeUInt32);
    ReleaseEvent(track);
    if (part == kControlNoPart || IsDisposed())
        return noErr;
    EventRef hit = MakeControlEvent(kEventControlHit, this);
    if (hit) {
        SetEventParameter(hit, kEventParamControlPart, typeControlPartCode, sizeof part, &part);
        SetEventParameter(hit, kEventParamKeyModifiers, typeUInt32, sizeof modifiers, &modifiers);
        SendEventToEventTarget(hit, &GetTarget());
        ReleaseEvent(hit);
    }
    if (!IsDisposed() && mValues.command != 0)
        SendCommand(modifiers);
    return noErr;
}

// Highlights the part under the mouse until the button comes up; answers the part released in.
OSStatus View::TrackStandard(EventRef track)
{
    HIPoint p = ReadParam<HIPoint>(track, kEventParamMouseLocation, typeHIPoint);
    ControlPartCode part = ReadParam<ControlPartCode>(track, kEventParamControlPart, typeControlPartCode);
    SetHilite(part);
    UInt32 modifiers = 0;
    MouseTrackingResult result = kMouseTrackingMouseDown;
    while (result != kMouseTrackingMouseUp && result != kMouseTrackingUserCancelled) {
        if (HIViewTrackMouseLocation(this, 0, kEventDurationForever, &p, &modifiers, &result) != noErr
            && result != kMouseTrackingUserCancelled)
            break;
        if (IsDisposed())
            return noErr;
        part = result == kMouseTrackingUserCancelled ? ControlPartCode { kControlNoPart } : HitTest(p);
        SetHilite(part);
    }
    SetHilite(kControlNoPart);
    SetEventParameter(track, kEventParamControlPart, typeControlPartCode, sizeof part, &part);
    SetEventParameter(track, kEventParamKeyModifiers, typeUInt32, sizeof modifiers, &modifiers);
    return noErr;
}

OSStatus View::SendCommand(UInt32 modifiers)
{
    EventRef event = nullptr;
    if (CreateEvent(nullptr, kEventClassCommand, kEventCommandProcess, GetCurrentEventTime(), 0, &event) != noErr)
        return paramErr;
    HICommandExtended command {};
    command.attributes = kHICommandFromControl;
    command.commandID = mValues.command;
    command.source.control = this;
    SetEventParameter(event, kEventParamDirectObject, typeHICommand, sizeof command, &command);
    SetEventParameter(event, kEventParamKeyModifiers, typeUInt32, sizeof modifiers, &modifiers);
    OSStatus const status = SendEventToEventTarget(event, &GetTarget());
    ReleaseEvent(event);
    return status;
}

void View::Invalidate() { InvalidateRect(GetBounds()); }

void View::InvalidateRect(CGRect rect)
{
    if (!mWindow || !IsVisible() || IsDisposed())
        return;
    rect = CGRectIntersection(rect, GetBounds());
    if (CGRectIsNull(rect) || CGRectIsEmpty(rect))
        return;
    CGPoint const topLeft = ToWindow(rect.origin);
    CGRect const inWindow = CGRectIntersection({ topLeft, rect.size }, VisibleRectInWindow());
    if (!CGRectIsNull(inWindow))
        mWindow->InvalidateRect(inWindow);
}

void View::Draw(CGContextRef context, CGRect clip)
{
    CGPoint offset {};
    if (mParent) {
        CGPoint const zero = mParent->ToWindow({ 0, 0 });
        offset = zero;
        clip = CGRectIntersection(clip, mParent->VisibleRectInWindow());
    }
    DrawAt(context, clip, offset);
}

// parentOffset: where the parent's view coordinates (0, 0) fall in the window.
void View::DrawAt(CGContextRef context, CGRect clip, CGPoint parentOffset)
{
    if (!mVisible || IsDisposed())
        return;
    CGRect const frame = CGRectOffset(mFrame, parentOffset.x, parentOffset.y);
    CGRect const area = CGRectIntersection(frame, clip);
    if (CGRectIsNull(area) || CGRectIsEmpty(area))
        return;
    CGPoint const offset { frame.origin.x - mOrigin.x, frame.origin.y - mOrigin.y };
    if (EventRef draw = MakeControlEvent(kEventControlDraw, this)) {
        CGContextSaveGState(context);
        CGContextTranslateCTM(context, offset.x, offset.y);
        CGContextClipToRect(context, CGRectOffset(area, -offset.x, -offset.y));
        SetEventParameter(draw, kEventParamCGContextRef, typeCGContextRef, sizeof context, &context);
        SendToSelf(draw);
        CGContextRestoreGState(context);
        ReleaseEvent(draw);
    }
    for (View* child : std::vector<View*>(mChildren))
        if (HIObject::Live(child) && child->mParent == this)
            child->DrawAt(context, area, offset);
}

} // namespace tw::toolbox
