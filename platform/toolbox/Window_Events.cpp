#include "toolbox/MouseTracking.h"
#include "toolbox/ObjectClass.h"
#include "toolbox/ScreenSink.h"
#include "toolbox/ToolboxErrors.h"
#include "toolbox/View.h"
#include "toolbox/Window.h"
#include "toolbox/WindowList.h"

#include <algorithm>
#include <cmath>

namespace tw::toolbox {

namespace {

    // Follows the mouse until it is released, calling step with the offset from where it went down.
    template <typename Step> MouseTrackingResult FollowMouse(CGPoint start, Step&& step)
    {
        for (;;) {
            CGPoint global {};
            UInt32 modifiers = 0;
            MouseTrackingResult result = 0;
            MouseSession::Next(kEventDurationForever, &global, &modifiers, &result);
            step(CGPoint { global.x - start.x, global.y - start.y }, result);
            if (result == kMouseTrackingMouseUp || result == kMouseTrackingUserCancelled)
                return result;
        }
    }

    void CollectFocusable(View* view, std::vector<View*>& out)
    {
        if (!view->IsVisibleFlag() || !view->IsEnabledFlag())
            return;
        out.push_back(view);
        for (View* child : view->GetChildren())
            CollectFocusable(child, out);
    }

    ControlPartCode AskFocus(View* view, ControlPartCode part, bool* handled)
    {
        EventRef event = nullptr;
        *handled = false;
        if (CreateEvent(nullptr, kEventClassControl, kEventControlSetFocusPart, GetCurrentEventTime(), 0, &event))
            return 0;
        ControlRef ref = view;
        SetEventParameter(event, kEventParamDirectObject, typeControlRef, sizeof ref, &ref);
        SetEventParameter(event, kEventParamControlPart, typeControlPartCode, sizeof part, &part);
        ControlPartCode result = 0;
        if (view->SendToSelf(event) == noErr) {
            *handled = true;
            GetEventParameter(
                event, kEventParamControlPart, typeControlPartCode, nullptr, sizeof result, nullptr, &result);
        }
        ReleaseEvent(event);
        return result;
    }

} // namespace

void Window::SendDisposeEvent() { SendWindowEvent(kEventWindowClosed); }

// A window disposed with its parent (a sheet) is still released by its creator's DisposeWindow.
void Window::DisposeAndRelease()
{
    Protector protect(this);
    Dispose();
    if (!mCreatorReleased) {
        mCreatorReleased = true;
        Release();
    }
}

OSStatus Window::StandardHandler(EventHandlerCallRef, EventRef event)
{
    EventClass const eventClass = GetEventClass(event);
    EventKind const kind = GetEventKind(event);
    if (eventClass == kEventClassWindow && kind == kEventWindowClose) {
        DisposeAndRelease();
        return noErr;
    }
    if (eventClass == kEventClassMouse && kind == kEventMouseDown)
        return HandleMouseDown(event);
    return eventNotHandledErr;
}

OSStatus Window::HandleMouseDown(EventRef event)
{
    HIPoint global {};
    GetEventParameter(event, kEventParamMouseLocation, typeHIPoint, nullptr, sizeof global, nullptr, &global);
    CGPoint const local { global.x - mStructure.origin.x, global.y - mStructure.origin.y };
    Protector protect(this);
    switch (FindPart(local)) {
    case inGoAway:
        if (TrackBox(kWindowCloseBoxRgn, global))
            SendWindowEvent(kEventWindowClose);
        return noErr;
    case inCollapseBox:
        if (TrackBox(kWindowCollapseBoxRgn, global))
            SetCollapsed(!mCollapsed);
        return noErr;
    case inZoomOut:
        if (TrackBox(kWindowZoomBoxRgn, global))
            Zoom();
        return noErr;
    case inDrag:
        return DragFrame(global, false);
    case inGrow:
        return DragFrame(global, true);
    case inContent:
        return HandleContentClick(event, local);
    default:
        return eventNotHandledErr;
    }
}

// Highlights a frame box while the mouse is down in it; true when released inside.
bool Window::TrackBox(WindowRegionCode region, CGPoint start)
{
    CGRect const box = CGRectOffset(GetPartRect(region), mStructure.origin.x, mStructure.origin.y);
    bool inside = true;
    FollowMouse(start, [&](CGPoint offset, MouseTrackingResult) {
        inside = CGRectContainsPoint(box, { start.x + offset.x, start.y + offset.y });
    });
    return inside && !IsDisposed();
}

OSStatus Window::DragFrame(CGPoint start, bool grow)
{
    CGRect const original = mStructure;
    CGRect const available = Screen::GetAvailableBounds();
    FollowMouse(start, [&](CGPoint offset, MouseTrackingResult) {
        if (IsDisposed())
            return;
        CGRect next = original;
        if (grow) {
            next.size.width = std::max(Window::kMinimumSize.width, original.size.width + offset.x);
            next.size.height = std::max(Window::kMinimumSize.height, original.size.height + offset.y);
        } else {
            next.origin.x += offset.x;
            // The title bar never goes under the menu bar.
            next.origin.y = std::max(available.origin.y, original.origin.y + offset.y);
        }
        SetStructure(next);
    });
    return noErr;
}

void Window::Zoom()
{
    CGRect const available = CGRectInset(Screen::GetAvailableBounds(), 4, 4);
    if (mZoomedFrom.size.width > 0) {
        SetStructure(mZoomedFrom);
        mZoomedFrom = {};
    } else {
        mZoomedFrom = mStructure;
        SetStructure(GetZoomedStructure(available));
    }
    SendWindowEvent(kEventWindowZoomed);
}

// The content size the window's handlers call ideal ('mDim', height then width), kept
// within the available area and moved into it; the whole area for a window without one.
CGRect Window::GetZoomedStructure(CGRect available)
{
    EventRef event = nullptr;
    if (CreateEvent(nullptr, kEventClassWindow, kEventWindowGetIdealSize, GetCurrentEventTime(), 0, &event) != noErr)
        return available;
    WindowRef self = this;
    SetEventParameter(event, kEventParamDirectObject, typeWindowRef, sizeof self, &self);
    Point ideal {};
    bool const answered = SendEventToEventTarget(event, &GetTarget()) == noErr
        && GetEventParameter(event, 'mDim', typeQDPoint, nullptr, sizeof ideal, nullptr, &ideal) == noErr;
    ReleaseEvent(event);
    if (!answered || ideal.h <= 0 || ideal.v <= 0)
        return available;
    CGSize const size { std::min<double>(ideal.h, available.size.width),
        std::min(ideal.v + GetContentTop(), available.size.height) };
    CGPoint const origin { std::clamp(mStructure.origin.x, available.origin.x, CGRectGetMaxX(available) - size.width),
        std::clamp(mStructure.origin.y, available.origin.y, CGRectGetMaxY(available) - size.height) };
    return { origin, size };
}

// Clicks in the content go to the deepest view that answers a part other than 0.
OSStatus Window::HandleContentClick(EventRef event, CGPoint local)
{
    ControlPartCode part = kControlNoPart;
    View* view = mRoot->DeepestViewAt(local, &part);
    if (!view || !view->IsEnabled() || !view->IsActive())
        return view ? noErr : eventNotHandledErr;
    return view->Click(event, view->FromWindow(local), part);
}

OSStatus Window::SetFocus(View* view, ControlPartCode part)
{
    if (view && (view->GetWindow() != this || view->IsDisposed()))
        return paramErr;
    View* old = mFocus.Get();
    bool handled = false;
    if (view) {
        ControlPartCode const taken = AskFocus(view, part, &handled);
        bool const accepted = handled ? taken != 0 : part > 0 && view->GetClass()->GetDefaultHitPart() != 0;
        if (!accepted)
            return errCouldntSetFocus;
        part = handled ? taken : part;
    }
    if (old && old != view)
        AskFocus(old, kControlFocusNoPart, &handled);
    mFocus.Reset(view);
    mFocusPart = view ? part : 0;
    return noErr;
}

void Window::FocusLeaving(View* view)
{
    auto const within = [view](View* focus) { return focus && (focus == view || view->IsAncestorOf(focus)); };
    if (!within(mFocus.Get()) || IsDisposed())
        return;
    Protector protect(this);
    if (AdvanceFocus(false) != noErr || within(mFocus.Get()))
        SetFocus(nullptr, kControlFocusNoPart);
}

// Tab moves within the focused view's parts first, then to the next view that takes the focus.
OSStatus Window::AdvanceFocus(bool backwards)
{
    ControlPartCode const direction = backwards ? kControlFocusPrevPart : kControlFocusNextPart;
    bool handled = false;
    if (View* current = mFocus.Get()) {
        ControlPartCode const part = AskFocus(current, direction, &handled);
        if (part != 0) {
            mFocusPart = part;
            return noErr;
        }
    }
    std::vector<View*> order;
    CollectFocusable(mContentView, order);
    if (backwards)
        std::reverse(order.begin(), order.end());
    auto start = std::find(order.begin(), order.end(), mFocus.Get());
    std::size_t const first = start == order.end() ? 0 : (start - order.begin()) + 1;
    for (std::size_t i = 0; i < order.size(); ++i) {
        View* candidate = order[(first + i) % order.size()];
        if (candidate == mFocus.Get())
            continue;
        ControlPartCode const part = AskFocus(candidate, direction, &handled);
        if (part != 0) {
            if (View* old = mFocus.Get())
                AskFocus(old, kControlFocusNoPart, &handled);
            mFocus.Reset(candidate);
            mFocusPart = part;
            return noErr;
        }
    }
    return errCouldntSetFocus;
}

} // namespace tw::toolbox
