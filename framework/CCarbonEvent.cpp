#include "framework/CCarbonEvent.h"

#include <cmath>
#include <cstring>

namespace {

// Truncated toward zero and clamped: a far or non-finite coordinate must not
// wrap around in 16 bits.
SInt16 ToQuickDraw(CGFloat value)
{
    if (!std::isfinite(value))
        return 0;
    return SInt16(std::trunc(std::fmax(-32768.0, std::fmin(32767.0, value))));
}

} // namespace

CCarbonEvent::CCarbonEvent(EventRef event)
    : mEvent(RetainEvent(event))
{
}

CCarbonEvent::CCarbonEvent(UInt32 eventClass, UInt32 eventKind)
{
    if (CreateEvent(nullptr, eventClass, eventKind, GetCurrentEventTime(), kEventAttributeNone, &mEvent) != noErr)
        mEvent = nullptr;
}

CCarbonEvent::CCarbonEvent(CCarbonEvent const& other)
    : mEvent(RetainEvent(other.mEvent))
{
}

CCarbonEvent& CCarbonEvent::operator=(CCarbonEvent const& other)
{
    if (this != &other) {
        EventRef const previous = mEvent;
        mEvent = RetainEvent(other.mEvent);
        ReleaseEvent(previous);
    }
    return *this;
}

CCarbonEvent::~CCarbonEvent() { ReleaseEvent(mEvent); }

CCarbonEvent CCarbonEvent::CreateWithHICommandID(UInt32 commandID)
{
    CCarbonEvent event(kEventClassCommand, kEventCommandProcess);
    HICommandExtended command {};
    command.commandID = commandID;
    event.Write(kEventParamDirectObject, typeHICommand, command);
    return event;
}

OSStatus CCarbonEvent::PostToQueue(EventQueueRef queue, EventPriority priority)
{
    return PostEventToQueue(queue, mEvent, priority);
}

OSStatus CCarbonEvent::SendToTarget(EventTargetRef target) { return SendEventToEventTarget(mEvent, target); }
OSStatus CCarbonEvent::SendToWindow(WindowRef window) { return SendToTarget(GetWindowEventTarget(window)); }
OSStatus CCarbonEvent::SendToControl(ControlRef control) { return SendToTarget(GetControlEventTarget(control)); }
OSStatus CCarbonEvent::SendToFocus() { return SendToTarget(GetUserFocusEventTarget()); }

OSStatus CCarbonEvent::GetParameter(EventParamName name, EventParamType type, ByteCount size, void* out) const
{
    OSStatus const status = GetEventParameter(mEvent, name, type, nullptr, size, nullptr, out);
    if (status != noErr && out)
        std::memset(out, 0, size);
    return status;
}

OSStatus CCarbonEvent::SetParameter(EventParamName name, EventParamType type, ByteCount size, void const* data)
{
    return SetEventParameter(mEvent, name, type, size, data);
}

bool CCarbonEvent::GetParameterBool(EventParamName name) const { return Read<Boolean>(name, typeBoolean) != 0; }
OSType CCarbonEvent::GetParameterOSType(EventParamName name) const { return Read<OSType>(name, typeOSStatus); }
UInt32 CCarbonEvent::GetParameterUInt32(EventParamName name) const { return Read<UInt32>(name, typeUInt32); }
void* CCarbonEvent::GetParameterPointer(EventParamName name) const { return Read<void*>(name, typeVoidPtr); }
Rect CCarbonEvent::GetParameterQDRect(EventParamName name) const { return Read<Rect>(name, typeQDRectangle); }
HIRect CCarbonEvent::GetParameterHIRect(EventParamName name) const { return Read<HIRect>(name, typeHIRect); }
HIPoint CCarbonEvent::GetParameterHIPoint(EventParamName name) const { return Read<HIPoint>(name, typeHIPoint); }
WindowRef CCarbonEvent::GetParameterWindow(EventParamName name) const { return Read<WindowRef>(name, typeWindowRef); }

CFMutableArrayRef CCarbonEvent::GetParameterCFMutableArray(EventParamName name) const
{
    return Read<CFMutableArrayRef>(name, typeCFMutableArrayRef);
}

CFStringRef CCarbonEvent::GetParameterCFString(EventParamName name) const
{
    return Read<CFStringRef>(name, typeCFStringRef);
}

ControlPartCode CCarbonEvent::GetParameterControlPartCode(EventParamName name) const
{
    return Read<ControlPartCode>(name, typeControlPartCode);
}

EventMouseButton CCarbonEvent::GetMouseButton() const
{
    return Read<EventMouseButton>(kEventParamMouseButton, typeMouseButton);
}

DragRef CCarbonEvent::GetDragRef() const { return Read<DragRef>(kEventParamDragRef, typeDragRef); }
SInt32 CCarbonEvent::GetMouseWheelDelta() const { return Read<SInt32>(kEventParamMouseWheelDelta, typeSInt32); }

HICommandExtended CCarbonEvent::GetHICommand() const
{
    return Read<HICommandExtended>(kEventParamDirectObject, typeHICommand);
}

CGContextRef CCarbonEvent::GetCGContext() const
{
    return Read<CGContextRef>(kEventParamCGContextRef, typeCGContextRef);
}
UInt32 CCarbonEvent::GetKeyCode() const { return Read<UInt32>(kEventParamKeyCode, typeUInt32); }
UInt32 CCarbonEvent::GetKeyModifiers() const { return Read<UInt32>(kEventParamKeyModifiers, typeUInt32); }
UInt32 CCarbonEvent::GetMouseClickCount() const { return Read<UInt32>(kEventParamClickCount, typeUInt32); }

HIPoint CCarbonEvent::GetMouseLocation(Point* qdPoint) const
{
    HIPoint const location = Read<HIPoint>(kEventParamMouseLocation, typeHIPoint);
    if (qdPoint) {
        qdPoint->h = ToQuickDraw(location.x);
        qdPoint->v = ToQuickDraw(location.y);
    }
    return location;
}

HIPoint CCarbonEvent::GetMouseDelta() const { return Read<HIPoint>(kEventParamMouseDelta, typeHIPoint); }
HISize CCarbonEvent::GetScrollImageSize() const { return Read<HISize>(kEventParamImageSize, typeHISize); }
HISize CCarbonEvent::GetScrollViewSize() const { return Read<HISize>(kEventParamViewSize, typeHISize); }
HIPoint CCarbonEvent::GetScrollOrigin() const { return Read<HIPoint>(kEventParamOrigin, typeHIPoint); }

HIRect CCarbonEvent::GetScrollVisible() const { return HIRect { GetScrollOrigin(), GetScrollViewSize() }; }

OSStatus CCarbonEvent::SetEventTarget(EventTargetRef target)
{
    return Write(kEventParamPostTarget, typeEventTargetRef, target);
}

OSStatus CCarbonEvent::SetParameterBool(EventParamName name, bool value)
{
    return Write(name, typeBoolean, Boolean(value ? 1 : 0));
}

OSStatus CCarbonEvent::SetParameterUInt32(EventParamName name, UInt32 value) { return Write(name, typeUInt32, value); }
OSStatus CCarbonEvent::SetParameterPointer(EventParamName name, void* pointer)
{
    return Write(name, typeVoidPtr, pointer);
}
OSStatus CCarbonEvent::SetParameterQDPoint(EventParamName name, Point const& point)
{
    return Write(name, typeQDPoint, point);
}
OSStatus CCarbonEvent::SetParameterHISize(EventParamName name, CGSize const& size)
{
    return Write(name, typeHISize, size);
}
OSStatus CCarbonEvent::SetParameterHIRect(EventParamName name, CGRect const& rect)
{
    return Write(name, typeHIRect, rect);
}
OSStatus CCarbonEvent::SetParameterHIPoint(EventParamName name, CGPoint const& point)
{
    return Write(name, typeHIPoint, point);
}
OSStatus CCarbonEvent::SetParameterHIToolbarItem(EventParamName name, HIToolbarItemRef const& item)
{
    return Write(name, typeHIToolbarItemRef, item);
}
OSStatus CCarbonEvent::SetParameterWindow(EventParamName name, WindowRef window)
{
    return Write(name, typeWindowRef, window);
}
OSStatus CCarbonEvent::SetParameterControlPartCode(EventParamName name, ControlPartCode part)
{
    return Write(name, typeControlPartCode, part);
}

OSStatus CCarbonEvent::SetControlRef(ControlRef control)
{
    Write(kEventParamDirectObject, typeControlRef, control);
    return noErr;
}

OSStatus CCarbonEvent::SetMouseButton(EventMouseButton button)
{
    return Write(kEventParamMouseButton, typeMouseButton, button);
}
OSStatus CCarbonEvent::SetCGContext(CGContextRef context)
{
    return Write(kEventParamCGContextRef, typeCGContextRef, context);
}
OSStatus CCarbonEvent::SetDragAccept(bool accept)
{
    return SetParameterBool(kEventParamControlWouldAcceptDrop, accept);
}
OSStatus CCarbonEvent::SetMouseLocation(CGPoint const& location)
{
    return Write(kEventParamMouseLocation, typeHIPoint, location);
}
OSStatus CCarbonEvent::SetMouseDelta(CGPoint const& delta) { return Write(kEventParamMouseDelta, typeHIPoint, delta); }
OSStatus CCarbonEvent::SetKeyModifiers(UInt32 modifiers)
{
    return Write(kEventParamKeyModifiers, typeUInt32, modifiers);
}
OSStatus CCarbonEvent::SetMouseClickCount(UInt32 count) { return Write(kEventParamClickCount, typeUInt32, count); }
