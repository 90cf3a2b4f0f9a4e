#include "toolbox/MouseTracking.h"
#include "toolbox/controls/Behaviours.h"
#include "toolbox/controls/ControlBehaviour.h"
#include "toolbox/controls/ControlDefinitions.h"
#include "toolbox/controls/ControlTheme.h"
#include "toolbox/controls/ControlsInternal.h"

#include <algorithm>
#include <cmath>

namespace tw::toolbox::controls {

namespace {

    // What the content tells through the scrollable protocol.
    struct ScrollInfo {
        HISize image {};
        HISize view {};
        HIPoint origin {};
        HISize line { 10, 10 };
    };

    enum : ControlPartCode { kVerticalBarPart = 129, kHorizontalBarPart = 130 };

    template <typename T> void ReadInto(EventRef event, EventParamName name, EventParamType type, T* value)
    {
        GetEventParameter(event, name, type, nullptr, sizeof *value, nullptr, value);
    }

    // A scroll view: its first sub view that speaks the scrollable protocol is the
    // content, placed beside scroll bars 15 pixels wide. The bars, the wheel and the
    // navigation calls move the content's origin through the protocol.
    class ScrollViewBehaviour : public Behaviour {
    public:
        using Behaviour::Behaviour;

        // The content, placed beside the bars (sub views may have come and the bounds changed since).
        View* Content()
        {
            View* content = FindContent();
            if (content)
                Place(content);
            return content;
        }

        View* FindContent() const
        {
            for (View* child : std::vector<View*>(mView->GetChildren())) {
                ScrollInfo info;
                if (HIObject::Live(child) && Query(child, &info))
                    return child;
            }
            return nullptr;
        }

        bool Query(View* content, ScrollInfo* info) const
        {
            EventRef event = nullptr;
            if (CreateEvent(nullptr, kEventClassScrollable, kEventScrollableGetInfo, GetCurrentEventTime(), 0, &event))
                return false;
            OSStatus const status = content->SendToSelf(event);
            if (status == noErr) {
                ReadInto(event, kEventParamImageSize, typeHISize, &info->image);
                ReadInto(event, kEventParamViewSize, typeHISize, &info->view);
                ReadInto(event, kEventParamOrigin, typeHIPoint, &info->origin);
                ReadInto(event, kEventParamLineSize, typeHISize, &info->line);
            }
            ReleaseEvent(event);
            return status == noErr;
        }

        // Moves the content's origin, kept within the image.
        void ScrollTo(View* content, ScrollInfo const& info, CGPoint origin)
        {
            origin.x = std::clamp<CGFloat>(origin.x, 0, std::max<CGFloat>(0, info.image.width - info.view.width));
            origin.y = std::clamp<CGFloat>(origin.y, 0, std::max<CGFloat>(0, info.image.height - info.view.height));
            if (origin.x == info.origin.x && origin.y == info.origin.y)
                return;
            EventRef event = nullptr;
            if (CreateEvent(nullptr, kEventClassScrollable, kEventScrollableScrollTo, GetCurrentEventTime(), 0, &event))
                return;
            SetEventParameter(event, kEventParamOrigin, typeHIPoint, sizeof origin, &origin);
            content->SendToSelf(event);
            ReleaseEvent(event);
            mView->Invalidate();
        }

        // The origin a navigation action leads to.
        CGPoint Target(ScrollInfo const& info, HIScrollViewAction action) const
        {
            CGPoint p = info.origin;
            CGFloat const pageX = std::max<CGFloat>(info.line.width, info.view.width - info.line.width);
            CGFloat const pageY = std::max<CGFloat>(info.line.height, info.view.height - info.line.height);
            if (action & kHIScrollViewScrollToTop)
                p.y = 0;
            if (action & kHIScrollViewScrollToBottom)
                p.y = info.image.height - info.view.height;
            if (action & kHIScrollViewScrollToLeft)
                p.x = 0;
            if (action & kHIScrollViewScrollToRight)
                p.x = info.image.width - info.view.width;
            p.y += (action & kHIScrollViewPageDown ? pageY : 0) - (action & kHIScrollViewPageUp ? pageY : 0);
            p.x += (action & kHIScrollViewPageRight ? pageX : 0) - (action & kHIScrollViewPageLeft ? pageX : 0);
            p.x = std::clamp<CGFloat>(p.x, 0, std::max<CGFloat>(0, info.image.width - info.view.width));
            p.y = std::clamp<CGFloat>(p.y, 0, std::max<CGFloat>(0, info.image.height - info.view.height));
            return p;
        }

        OSStatus Navigate(HIScrollViewAction action, bool test, bool* possible)
        {
            View* content = Content();
            ScrollInfo info;
            if (!content || !Query(content, &info)) {
                *possible = false;
                return paramErr;
            }
            CGPoint const to = Target(info, action);
            *possible = to.x != info.origin.x || to.y != info.origin.y;
            if (!test)
                ScrollTo(content, info, to);
            return noErr;
        }

    protected:
        OSStatus Draw(CGContextRef c) override
        {
            View* content = Content();
            ScrollInfo info;
            bool const known = content && Query(content, &info);
            for (bool vertical : { true, false }) {
                CGRect const bar = Bar(vertical);
                if (CGRectIsEmpty(bar))
                    continue;
                ControlTheme::DrawScrollBar(
                    c, bar, vertical, known ? Thumb(info, vertical) : CGRectZero, mView->IsEnabled());
            }
            CGRect const corner = Corner();
            if (!CGRectIsEmpty(corner)) {
                CGContextSetGrayFillColor(c, 0.93, 1);
                CGContextFillRect(c, corner);
            }
            return noErr;
        }

        ControlPartCode HitTest(CGPoint p) override
        {
            if (CGRectContainsPoint(Bar(true), p))
                return kVerticalBarPart;
            return CGRectContainsPoint(Bar(false), p) ? ControlPartCode(kHorizontalBarPart)
                                                      : ControlPartCode(kControlNoPart);
        }

        OSStatus Track(EventHandlerCallRef, EventRef event) override;
        OSStatus OtherEvent(EventHandlerCallRef callRef, EventRef event) override;
        void BoundsChanged() override { Layout(); }

        OSStatus Key(EventRef event) override
        {
            UInt32 code = 0;
            GetEventParameter(event, kEventParamKeyCode, typeUInt32, nullptr, sizeof code, nullptr, &code);
            HIScrollViewAction const action = code == 115 ? kHIScrollViewScrollToTop
                : code == 119                             ? kHIScrollViewScrollToBottom
                : code == 116                             ? kHIScrollViewPageUp
                : code == 121                             ? kHIScrollViewPageDown
                                                          : HIScrollViewAction(0);
            if (action == 0)
                return eventNotHandledErr;
            bool possible = false;
            return Navigate(action, false, &possible);
        }

    private:
        OptionBits Options() const
        {
            OptionBits options = kHIScrollViewOptionsVertScroll | kHIScrollViewOptionsHorizScroll;
            mView->GetProperty(kControlsCreator, 'opts', sizeof options, nullptr, &options);
            return options;
        }
        bool HasBar(bool vertical) const
        {
            return Options() & (vertical ? kHIScrollViewOptionsVertScroll : kHIScrollViewOptionsHorizScroll);
        }

        CGRect Bar(bool vertical) const
        {
            CGRect const b = mView->GetBounds();
            if (!HasBar(vertical))
                return CGRectZero;
            CGFloat const other = HasBar(!vertical) ? kScrollBarWidth : 0;
            return vertical ? CGRect { { CGRectGetMaxX(b) - kScrollBarWidth, b.origin.y },
                { kScrollBarWidth, b.size.height - other } }
                            : CGRect { { b.origin.x, CGRectGetMaxY(b) - kScrollBarWidth },
                                  { b.size.width - other, kScrollBarWidth } };
        }

        CGRect Corner() const
        {
            if (!HasBar(true) || !HasBar(false))
                return CGRectZero;
            CGRect const b = mView->GetBounds();
            return { { CGRectGetMaxX(b) - kScrollBarWidth, CGRectGetMaxY(b) - kScrollBarWidth },
                { kScrollBarWidth, kScrollBarWidth } };
        }

        // The thumb shows which part of the image is in view; empty when all of it is.
        CGRect Thumb(ScrollInfo const& info, bool vertical) const
        {
            CGRect const bar = Bar(vertical);
            CGFloat const image = vertical ? info.image.height : info.image.width;
            CGFloat const view = vertical ? info.view.height : info.view.width;
            CGFloat const origin = vertical ? info.origin.y : info.origin.x;
            CGFloat const track = vertical ? bar.size.height : bar.size.width;
            if (image <= view || track <= 0)
                return CGRectZero;
            CGFloat const length = std::max<CGFloat>(20, track * view / image);
            CGFloat const start = (track - length) * std::clamp<CGFloat>(origin / (image - view), 0, 1);
            return vertical ? CGRect { { bar.origin.x, bar.origin.y + start }, { bar.size.width, length } }
                            : CGRect { { bar.origin.x + start, bar.origin.y }, { length, bar.size.height } };
        }

        void Layout()
        {
            if (View* content = FindContent())
                Place(content);
        }

        // The content fills the view less the bars.
        void Place(View* content)
        {
            CGRect frame = mView->GetBounds();
            frame.origin = CGPointZero;
            if (HasBar(true))
                frame.size.width = std::max<CGFloat>(0, frame.size.width - kScrollBarWidth);
            if (HasBar(false))
                frame.size.height = std::max<CGFloat>(0, frame.size.height - kScrollBarWidth);
            content->SetFrame(frame);
        }

        // The bars (and the corner between them) show where the content is; the content
        // draws its own change, so that a scroll redraws only what came into view.
        void InvalidateBars()
        {
            View* content = FindContent();
            if (!content) {
                mView->Invalidate();
                return;
            }
            CGRect const bounds = mView->GetBounds();
            CGRect const frame = content->GetFrame();
            CGFloat const right = CGRectGetMaxX(frame), bottom = CGRectGetMaxY(frame);
            if (right < bounds.size.width)
                mView->InvalidateRect({ { bounds.origin.x + right, bounds.origin.y },
                    { bounds.size.width - right, bounds.size.height } });
            if (bottom < bounds.size.height)
                mView->InvalidateRect({ { bounds.origin.x, bounds.origin.y + bottom },
                    { bounds.size.width, bounds.size.height - bottom } });
        }

        void DragThumb(View* content, bool vertical, CGPoint start);
    };

    OSStatus ScrollViewBehaviour::Track(EventHandlerCallRef, EventRef event)
    {
        HIPoint p {};
        GetEventParameter(event, kEventParamMouseLocation, typeHIPoint, nullptr, sizeof p, nullptr, &p);
        // Scrolling is all a press on the bars does: no hit follows.
        ControlPartCode const none = kControlNoPart;
        SetEventParameter(event, kEventParamControlPart, typeControlPartCode, sizeof none, &none);
        View* content = Content();
        ScrollInfo info;
        ControlPartCode const part = HitTest(p);
        if (!content || part == kControlNoPart || !Query(content, &info))
            return noErr;
        bool const vertical = part == kVerticalBarPart;
        CGRect const thumb = Thumb(info, vertical);
        Protector protect(mView);
        if (CGRectContainsPoint(thumb, p)) {
            DragThumb(content, vertical, p);
            return noErr;
        }
        // A press beside the thumb pages towards the press.
        bool const before = vertical ? p.y < thumb.origin.y : p.x < thumb.origin.x;
        HIScrollViewAction const action = vertical ? (before ? kHIScrollViewPageUp : kHIScrollViewPageDown)
                                                   : (before ? kHIScrollViewPageLeft : kHIScrollViewPageRight);
        ScrollTo(content, info, Target(info, action));
        MouseTrackingResult result = kMouseTrackingMouseDown;
        UInt32 modifiers = 0;
        while (result != kMouseTrackingMouseUp && result != kMouseTrackingUserCancelled && !mView->IsDisposed())
            if (HIViewTrackMouseLocation(mView, 0, kEventDurationForever, &p, &modifiers, &result) != noErr)
                break;
        return noErr;
    }

    void ScrollViewBehaviour::DragThumb(View* content, bool vertical, CGPoint start)
    {
        ScrollInfo info;
        Query(content, &info);
        CGPoint const startOrigin = info.origin;
        CGRect const bar = Bar(vertical), thumb = Thumb(info, vertical);
        CGFloat const travel = vertical ? bar.size.height - thumb.size.height : bar.size.width - thumb.size.width;
        CGFloat const range = vertical ? info.image.height - info.view.height : info.image.width - info.view.width;
        MouseTrackingResult result = kMouseTrackingMouseDown;
        UInt32 modifiers = 0;
        HIPoint p = start;
        while (result != kMouseTrackingMouseUp && result != kMouseTrackingUserCancelled) {
            if (HIViewTrackMouseLocation(mView, 0, kEventDurationForever, &p, &modifiers, &result) != noErr
                || mView->IsDisposed() || !HIObject::Live(content) || travel <= 0)
                return;
            CGFloat const moved = (vertical ? p.y - start.y : p.x - start.x) * range / travel;
            Query(content, &info);
            CGPoint to = startOrigin;
            (vertical ? to.y : to.x) += moved;
            ScrollTo(content, info, to);
        }
    }

    OSStatus ScrollViewBehaviour::OtherEvent(EventHandlerCallRef, EventRef event)
    {
        EventClass const eventClass = GetEventClass(event);
        EventKind const kind = GetEventKind(event);
        if (eventClass == kEventClassScrollable && kind == kEventScrollableInfoChanged) {
            Layout();
            InvalidateBars();
            return noErr;
        }
        if (eventClass == kEventClassControl && kind == kEventControlAddedSubControl) {
            Layout();
            return eventNotHandledErr;
        }
        if (eventClass != kEventClassMouse || kind != kEventMouseWheelMoved)
            return eventNotHandledErr;
        View* content = Content();
        ScrollInfo info;
        if (!content || !Query(content, &info))
            return eventNotHandledErr;
        UInt16 axis = kEventMouseWheelAxisY;
        SInt32 delta = 0;
        GetEventParameter(event, kEventParamMouseWheelAxis, typeMouseWheelAxis, nullptr, sizeof axis, nullptr, &axis);
        GetEventParameter(event, kEventParamMouseWheelDelta, typeSInt32, nullptr, sizeof delta, nullptr, &delta);
        CGPoint to = info.origin;
        // Three lines a notch; a positive delta scrolls towards the top or left.
        if (axis == kEventMouseWheelAxisY)
            to.y -= delta * info.line.height * 3;
        else
            to.x -= delta * info.line.width * 3;
        ScrollTo(content, info, to);
        return noErr;
    }

} // namespace

Behaviour* MakeScrollView(View* view) { return new ScrollViewBehaviour(view); }

} // namespace tw::toolbox::controls

using tw::toolbox::controls::FindBehaviour;
using tw::toolbox::controls::ScrollViewBehaviour;

OSStatus HIScrollViewNavigate(HIViewRef view, HIScrollViewAction action)
{
    auto* scroll = dynamic_cast<ScrollViewBehaviour*>(FindBehaviour(view));
    bool possible = false;
    return scroll ? scroll->Navigate(action, false, &possible) : paramErr;
}

Boolean HIScrollViewCanNavigate(HIViewRef view, HIScrollViewAction action)
{
    auto* scroll = dynamic_cast<ScrollViewBehaviour*>(FindBehaviour(view));
    bool possible = false;
    return scroll && scroll->Navigate(action, true, &possible) == noErr && possible;
}
