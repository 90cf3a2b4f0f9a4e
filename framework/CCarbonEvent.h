#pragma once

#include "corefoundation/CFArray.h"
#include "corefoundation/CFString.h"
#include "events/CarbonEvents.h"
#include "toolbox/HIToolboxTypes.h"

// Holds one reference to a Carbon event and reads, writes, sends and posts it.
// Copies share the event. Typed readers answer zero (false, null, an empty
// point, size or rectangle) for a missing or differently typed parameter.
class CCarbonEvent {
public:
    CCarbonEvent() = default;
    CCarbonEvent(EventRef event);
    CCarbonEvent(UInt32 eventClass, UInt32 eventKind);
    CCarbonEvent(CCarbonEvent const& other);
    CCarbonEvent& operator=(CCarbonEvent const& other);
    virtual ~CCarbonEvent();

    // A 'cmds' process-command event for this command id.
    static CCarbonEvent CreateWithHICommandID(UInt32 commandID);

    EventRef GetEvent() const { return mEvent; }
    bool IsValid() const { return mEvent != nullptr; }

    UInt32 GetClass() const { return GetEventClass(mEvent); }
    UInt32 GetKind() const { return GetEventKind(mEvent); }
    bool IsClass(UInt32 eventClass) const { return GetClass() == eventClass; }
    bool IsKind(UInt32 eventKind) const { return GetKind() == eventKind; }
    EventTime GetTime() const { return GetEventTime(mEvent); }

    OSStatus PostToQueue(EventQueueRef queue, EventPriority priority);
    OSStatus SendToTarget(EventTargetRef target);
    OSStatus SendToWindow(WindowRef window);
    OSStatus SendToControl(ControlRef control);
    OSStatus SendToFocus();

    // On failure the size bytes at out are zeroed.
    OSStatus GetParameter(EventParamName name, EventParamType type, ByteCount size, void* out) const;
    OSStatus SetParameter(EventParamName name, EventParamType type, ByteCount size, void const* data);

    bool GetParameterBool(EventParamName name) const;
    OSType GetParameterOSType(EventParamName name) const;
    UInt32 GetParameterUInt32(EventParamName name) const;
    void* GetParameterPointer(EventParamName name) const;
    Rect GetParameterQDRect(EventParamName name) const;
    HIRect GetParameterHIRect(EventParamName name) const;
    HIPoint GetParameterHIPoint(EventParamName name) const;
    WindowRef GetParameterWindow(EventParamName name) const;
    CFMutableArrayRef GetParameterCFMutableArray(EventParamName name) const;
    CFStringRef GetParameterCFString(EventParamName name) const;
    ControlPartCode GetParameterControlPartCode(EventParamName name) const;
    EventMouseButton GetMouseButton() const;
    DragRef GetDragRef() const;
    SInt32 GetMouseWheelDelta() const;
    HICommandExtended GetHICommand() const;
    CGContextRef GetCGContext() const;
    UInt32 GetKeyCode() const;
    UInt32 GetKeyModifiers() const;
    UInt32 GetMouseClickCount() const;
    // Also as a QuickDraw point when asked (each coordinate truncated toward zero).
    HIPoint GetMouseLocation(Point* qdPoint = nullptr) const;
    HIPoint GetMouseDelta() const;
    HISize GetScrollImageSize() const;
    HISize GetScrollViewSize() const;
    HIPoint GetScrollOrigin() const;
    HIRect GetScrollVisible() const;

    OSStatus SetEventTarget(EventTargetRef target);
    OSStatus SetParameterBool(EventParamName name, bool value);
    OSStatus SetParameterUInt32(EventParamName name, UInt32 value);
    OSStatus SetParameterPointer(EventParamName name, void* pointer);
    OSStatus SetParameterQDPoint(EventParamName name, Point const& point);
    OSStatus SetParameterHISize(EventParamName name, CGSize const& size);
    OSStatus SetParameterHIRect(EventParamName name, CGRect const& rect);
    OSStatus SetParameterHIPoint(EventParamName name, CGPoint const& point);
    OSStatus SetParameterHIToolbarItem(EventParamName name, HIToolbarItemRef const& item);
    OSStatus SetParameterWindow(EventParamName name, WindowRef window);
    OSStatus SetParameterControlPartCode(EventParamName name, ControlPartCode part);
    OSStatus SetControlRef(ControlRef control);
    OSStatus SetMouseButton(EventMouseButton button);
    OSStatus SetCGContext(CGContextRef context);
    OSStatus SetDragAccept(bool accept);
    OSStatus SetMouseLocation(CGPoint const& location);
    OSStatus SetMouseDelta(CGPoint const& delta);
    OSStatus SetKeyModifiers(UInt32 modifiers);
    OSStatus SetMouseClickCount(UInt32 count);

private:
    template <typename T> T Read(EventParamName name, EventParamType type) const
    {
        T value {};
        GetParameter(name, type, sizeof value, &value);
        return value;
    }
    template <typename T> OSStatus Write(EventParamName name, EventParamType type, T const& value)
    {
        return SetParameter(name, type, sizeof value, &value);
    }

    EventRef mEvent = nullptr; // retains
};
