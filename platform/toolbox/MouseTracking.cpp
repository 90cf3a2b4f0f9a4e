#include "toolbox/MouseTracking.h"

#include "toolbox/ScreenSink.h"
#include "toolbox/View.h"
#include "toolbox/Window.h"

#include <cmath>
#include <deque>

namespace tw::toolbox {

namespace {

    int sDepth = 0;
    std::deque<EventRef> sPending; // retains each
    CGPoint sLocation {};
    UInt32 sModifiers = 0;
    UInt32 sButtons = 0;
    int sWantKeys = 0;
    bool sHasKey = false;
    TrackedKey sKey;
    constexpr UInt32 kEscapeKeyCode = 53;

    bool IsKeyDown(EventRef event)
    {
        return GetEventClass(event) == kEventClassKeyboard
            && (GetEventKind(event) == kEventRawKeyDown || GetEventKind(event) == kEventRawKeyRepeat);
    }

    MouseTrackingResult ResultFor(EventRef event)
    {
        // Of the keys only Escape (which cancels) and modifier changes reach a session.
        if (GetEventClass(event) == kEventClassKeyboard)
            return GetEventKind(event) == kEventRawKeyDown ? kMouseTrackingUserCancelled
                                                           : kMouseTrackingKeyModifiersChanged;
        switch (GetEventKind(event)) {
        case kEventMouseDown:
            return kMouseTrackingMouseDown;
        case kEventMouseUp:
            return kMouseTrackingMouseUp;
        case kEventMouseDragged:
            return kMouseTrackingMouseDragged;
        default:
            return kMouseTrackingMouseMoved;
        }
    }

} // namespace

bool MouseSession::IsActive() { return sDepth > 0; }

bool MouseSession::Offer(EventRef event)
{
    if (sDepth == 0)
        return false;
    if (GetEventClass(event) == kEventClassKeyboard) {
        UInt32 code = 0;
        GetEventParameter(event, kEventParamKeyCode, typeUInt32, nullptr, sizeof code, nullptr, &code);
        bool const escape = GetEventKind(event) == kEventRawKeyDown && code == kEscapeKeyCode;
        bool const modifiers = GetEventKind(event) == kEventRawKeyModifiersChanged;
        if (!escape && !modifiers && !(sWantKeys > 0 && IsKeyDown(event)))
            return false;
    }
    sPending.push_back(RetainEvent(event));
    QuitEventLoop(GetMainEventLoop());
    return true;
}

OSStatus MouseSession::Next(EventTimeout timeout, CGPoint* global, UInt32* modifiers, MouseTrackingResult* result)
{
    ++sDepth;
    EventTime const deadline = timeout < 0 ? -1 : GetCurrentEventTime() + timeout;
    OSStatus status = noErr;
    while (sPending.empty()) {
        Screen::Refresh();
        EventTime const left = deadline < 0 ? kEventDurationForever : std::max(0.0, deadline - GetCurrentEventTime());
        OSStatus const run = RunCurrentEventLoop(left);
        if (!sPending.empty())
            break;
        if (run == eventLoopTimedOutErr || (deadline >= 0 && GetCurrentEventTime() >= deadline)) {
            *result = kMouseTrackingTimedOut;
            break;
        }
        // The loop was quit by someone else: the tracking is over.
        *result = kMouseTrackingUserCancelled;
        status = userCanceledErr;
        break;
    }
    --sDepth;
    CGPoint location = sLocation;
    UInt32 taken = sModifiers; // the event's own modifiers when it has them
    if (!sPending.empty()) {
        EventRef event = sPending.front();
        sPending.pop_front();
        *result = ResultFor(event);
        if (IsKeyDown(event) && sWantKeys > 0) {
            *result = kMouseTrackingKeyModifiersChanged; // the key, not a cancel: TakeKey has it
            sKey = {};
            GetEventParameter(event, kEventParamKeyCode, typeUInt32, nullptr, sizeof sKey.code, nullptr, &sKey.code);
            GetEventParameter(event, kEventParamKeyUnicodes, typeUnicodeText, nullptr, sizeof sKey.character, nullptr,
                &sKey.character);
            GetEventParameter(event, kEventParamKeyModifiers, typeUInt32, nullptr, sizeof sKey.modifiers, nullptr,
                &sKey.modifiers);
            sHasKey = true;
        }
        // Queued input moves on before it is taken: the event itself says where the mouse was.
        HIPoint where {};
        if (GetEventParameter(event, kEventParamMouseLocation, typeHIPoint, nullptr, sizeof where, nullptr, &where)
            == noErr)
            location = where;
        UInt32 held = 0;
        if (GetEventParameter(event, kEventParamKeyModifiers, typeUInt32, nullptr, sizeof held, nullptr, &held)
            == noErr)
            taken = held;
        ReleaseEvent(event);
        status = noErr;
    }
    *global = location;
    *modifiers = taken;
    return status;
}

void MouseSession::WantKeys(bool want)
{
    sWantKeys += want ? 1 : -1;
    if (sWantKeys == 0)
        sHasKey = false;
}
bool MouseSession::WantsKeys() { return sDepth > 0 && sWantKeys > 0; }

bool MouseSession::TakeKey(TrackedKey* out)
{
    if (!sHasKey)
        return false;
    sHasKey = false;
    *out = sKey;
    return true;
}

CGPoint MouseSession::GetLocation() { return sLocation; }
UInt32 MouseSession::GetModifiers() { return sModifiers; }
UInt32 MouseSession::GetButtons() { return sButtons; }

void MouseSession::Update(CGPoint global, UInt32 modifiers, UInt32 buttons)
{
    sLocation = global;
    sModifiers = modifiers;
    sButtons = buttons;
}

void MouseSession::Reset()
{
    for (EventRef event : sPending)
        ReleaseEvent(event);
    sPending.clear();
    sDepth = 0;
    sWantKeys = 0;
    sHasKey = false;
    sLocation = {};
    sModifiers = 0;
    sButtons = 0;
}

} // namespace tw::toolbox

using tw::toolbox::MouseSession;

bool tw::toolbox::TrackRelease(View* view, CGPoint* where)
{
    Protector protect(view);
    UInt32 modifiers = 0;
    MouseTrackingResult result = kMouseTrackingMouseDown;
    while (result != kMouseTrackingMouseUp && result != kMouseTrackingUserCancelled) {
        if (HIViewTrackMouseLocation(view, 0, kEventDurationForever, where, &modifiers, &result) != noErr
            || view->IsDisposed())
            return false;
    }
    return result == kMouseTrackingMouseUp;
}

OSStatus HIViewTrackMouseLocation(HIViewRef view, OptionBits, EventTimeout timeout, HIPoint* outPt,
    UInt32* outModifiers, MouseTrackingResult* outResult)
{
    tw::toolbox::View* live = tw::toolbox::LiveView(view);
    if (!live || !live->GetWindow() || !outResult)
        return paramErr;
    CGPoint global {};
    UInt32 modifiers = 0;
    OSStatus const status = MouseSession::Next(timeout, &global, &modifiers, outResult);
    // The view may have gone while the loop ran.
    live = tw::toolbox::LiveView(view);
    if (outPt && live && live->GetWindow()) {
        CGRect const structure = live->GetWindow()->GetStructure();
        *outPt = live->FromWindow({ global.x - structure.origin.x, global.y - structure.origin.y });
    }
    if (outModifiers)
        *outModifiers = modifiers;
    return status;
}

OSStatus TrackMouseLocationWithOptions(
    GrafPtr port, OptionBits, EventTimeout timeout, Point* outPt, UInt32* outModifiers, MouseTrackingResult* outResult)
{
    if (!outResult || (port && !tw::toolbox::LiveWindow(port)))
        return paramErr;
    CGPoint global {};
    UInt32 modifiers = 0;
    OSStatus const status = MouseSession::Next(timeout, &global, &modifiers, outResult);
    if (outPt) {
        CGPoint local = global;
        if (tw::toolbox::Window* window = tw::toolbox::LiveWindow(port)) {
            CGRect const content = window->GetContent();
            local = { global.x - content.origin.x, global.y - content.origin.y };
        }
        outPt->h = static_cast<SInt16>(std::floor(local.x));
        outPt->v = static_cast<SInt16>(std::floor(local.y));
    }
    if (outModifiers)
        *outModifiers = modifiers;
    return status;
}

OSStatus TrackMouseLocation(GrafPtr port, Point* outPt, MouseTrackingResult* outResult)
{
    return TrackMouseLocationWithOptions(port, 0, kEventDurationForever, outPt, nullptr, outResult);
}

void GetGlobalMouse(Point* outPt)
{
    if (!outPt)
        return;
    CGPoint const p = MouseSession::GetLocation();
    outPt->h = static_cast<SInt16>(std::floor(p.x));
    outPt->v = static_cast<SInt16>(std::floor(p.y));
}

UInt32 GetCurrentEventKeyModifiers() { return MouseSession::GetModifiers(); }
UInt32 GetCurrentEventButtonState() { return MouseSession::GetButtons(); }
Boolean StillDown() { return MouseSession::GetButtons() != 0; }
UInt32 GetDblTime() { return static_cast<UInt32>(tw::toolbox::kDoubleClickTime * 60); }
