#pragma once

#include "toolbox/HIToolboxTypes.h"
#include "toolbox/View.h"

#include <cstring>

// Returns the status of a call when it is not noErr.
#define TW_RETURN_STATUS(expr)                                                                                         \
    do {                                                                                                               \
        OSStatus const twStatus = (expr);                                                                              \
        if (twStatus != noErr)                                                                                         \
            return twStatus;                                                                                           \
    } while (false)

namespace tw::toolbox::controls {

// The standard behaviour of one system control: a handler installed at the
// bottom of the view's stack (every handler the program installs runs first
// and reaches it through CallNextEventHandler), over the view's own standard
// handler. It lives exactly as long as the view's handlers: the destruct event
// deletes it. Main thread only.
class Behaviour {
public:
    explicit Behaviour(View* view)
        : mView(view)
    {
    }
    virtual ~Behaviour() = default;
    Behaviour(Behaviour const&) = delete;
    Behaviour& operator=(Behaviour const&) = delete;

    View* GetView() const { return mView; }

    // One event of the view; eventNotHandledErr passes it on to the view's standard handler.
    virtual OSStatus Handle(EventHandlerCallRef callRef, EventRef event);

protected:
    virtual OSStatus Draw(CGContextRef context);
    virtual ControlPartCode HitTest(CGPoint point);
    // The mouse went down in the control; return eventNotHandledErr for the standard highlight tracking.
    virtual OSStatus Track(EventHandlerCallRef callRef, EventRef event);
    // After a successful track, before the command goes out.
    virtual void Hit(ControlPartCode part, UInt32 modifiers);
    virtual OSStatus SetData(ControlPartCode part, OSType tag, Size size, void const* data);
    virtual OSStatus GetData(ControlPartCode part, OSType tag, Size bufferSize, void* data, Size* actualSize);
    virtual OSStatus Key(EventRef event);
    virtual OSStatus Text(EventRef event);
    // Focus requests: kControlFocusNextPart, kControlFocusPrevPart or kControlFocusNoPart; answers the part taken.
    virtual ControlPartCode Focus(ControlPartCode part);
    virtual bool TakesFocus() const { return false; }
    virtual void BoundsChanged() { }
    virtual OSStatus OtherEvent(EventHandlerCallRef callRef, EventRef event);

public:
    // Helpers for the data handlers: a plain value of exactly its size.
    template <typename T> static OSStatus Read(Size size, void const* data, T* out)
    {
        if (size != static_cast<Size>(sizeof(T)) || !data)
            return errDataSizeMismatchStatus;
        std::memcpy(out, data, sizeof(T));
        return noErr;
    }
    template <typename T> static OSStatus Write(T const& value, Size bufferSize, void* data, Size* actualSize)
    {
        if (actualSize)
            *actualSize = sizeof(T);
        if (!data)
            return noErr;
        if (bufferSize < static_cast<Size>(sizeof(T)))
            return errDataSizeMismatchStatus;
        std::memcpy(data, &value, sizeof(T));
        return noErr;
    }
    static constexpr OSStatus errDataSizeMismatchStatus = -30591;

protected:
    bool IsFocused() const;
    bool IsDrawnActive() const { return mView->IsEnabled() && mView->IsActive(); }
    // Sends the hit event and the control's command, as the end of a click does.
    void SendHit(ControlPartCode part, UInt32 modifiers);

    View* mView; // weak: the view owns this behaviour through its handler
};

// Installs the standard behaviour of the view's system class, if it has one.
void AttachBehaviour(View* view);
// A behaviour of our own for a plain view, handling those events (the destruct event
// among them deletes it with the view).
void InstallBehaviour(View* view, Behaviour* behaviour, std::size_t count, EventTypeSpec const* events);
// The behaviour installed on a view, or null.
Behaviour* FindBehaviour(HIViewRef view);

} // namespace tw::toolbox::controls
