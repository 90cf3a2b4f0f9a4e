#include "toolbox/KeyCodes.h"
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

    // A horizontal slider with optional tick marks. Dragging the thumb (or pressing
    // in the track, which moves it there first) changes the value live, calling the
    // control's action procedure after each change. Tab reaches it; the arrow keys
    // move it one step (one tick when it has ticks), Home and End to its ends, each
    // move ending as a click does.
    class SliderBehaviour : public Behaviour {
    public:
        using Behaviour::Behaviour;

    protected:
        OSStatus Draw(CGContextRef c) override
        {
            UInt32 nibTicks = 0; // a nib gives the tick marks as property ('twbh', 'tick')
            if (mTicks == 0
                && mView->GetProperty(kControlsCreator, 'tick', sizeof nibTicks, nullptr, &nibTicks) == noErr)
                mTicks = static_cast<int>(std::min<UInt32>(nibTicks, 1000));
            ControlState const s { IsDrawnActive(), mView->GetHilite() != kControlNoPart, IsFocused() };
            ControlTheme::DrawSlider(c, mView->GetBounds(), Fraction(), mTicks, s);
            return noErr;
        }

        ControlPartCode HitTest(CGPoint p) override
        {
            return CGRectContainsPoint(mView->GetBounds(), p) ? kControlIndicatorPart : kControlNoPart;
        }

        OSStatus Track(EventHandlerCallRef, EventRef event) override
        {
            HIPoint p {};
            GetEventParameter(event, kEventParamMouseLocation, typeHIPoint, nullptr, sizeof p, nullptr, &p);
            Protector protect(mView);
            CGRect const thumb = ControlTheme::SliderThumb(mView->GetBounds(), Fraction());
            // Grabbing the thumb keeps the offset; a press in the track centres the thumb there.
            CGFloat const grab = CGRectContainsPoint(thumb, p) ? p.x - CGRectGetMidX(thumb) : 0;
            SInt32 const before = mView->Values().value;
            mView->SetHilite(kControlIndicatorPart);
            MoveTo(p.x - grab);
            UInt32 modifiers = 0;
            MouseTrackingResult result = kMouseTrackingMouseDown;
            while (result != kMouseTrackingMouseUp && result != kMouseTrackingUserCancelled && !mView->IsDisposed()) {
                if (HIViewTrackMouseLocation(mView, 0, kEventDurationForever, &p, &modifiers, &result) != noErr
                    && result != kMouseTrackingUserCancelled)
                    break;
                if (!mView->IsDisposed() && result != kMouseTrackingUserCancelled)
                    MoveTo(p.x - grab);
            }
            if (mView->IsDisposed())
                return noErr;
            mView->SetHilite(kControlNoPart);
            ControlPartCode const part = mView->Values().value != before || result == kMouseTrackingMouseUp
                ? ControlPartCode { kControlIndicatorPart }
                : ControlPartCode { kControlNoPart };
            SetEventParameter(event, kEventParamControlPart, typeControlPartCode, sizeof part, &part);
            SetEventParameter(event, kEventParamKeyModifiers, typeUInt32, sizeof modifiers, &modifiers);
            return noErr;
        }

        OSStatus SetData(ControlPartCode, OSType tag, Size size, void const* data) override
        {
            if (tag != kControlSliderTickCountTag)
                return eventNotHandledErr;
            UInt16 ticks = 0;
            TW_RETURN_STATUS(Read(size, data, &ticks));
            mTicks = ticks;
            mView->Invalidate();
            return noErr;
        }

        OSStatus GetData(ControlPartCode, OSType tag, Size bufferSize, void* data, Size* actualSize) override
        {
            if (tag != kControlSliderTickCountTag)
                return eventNotHandledErr;
            return Write(UInt16(mTicks), bufferSize, data, actualSize);
        }

        bool TakesFocus() const override { return true; }

        OSStatus Key(EventRef event) override
        {
            UInt32 code = 0, modifiers = 0;
            GetEventParameter(event, kEventParamKeyCode, typeUInt32, nullptr, sizeof code, nullptr, &code);
            GetEventParameter(
                event, kEventParamKeyModifiers, typeUInt32, nullptr, sizeof modifiers, nullptr, &modifiers);
            if (!IsFocused() || !mView->IsEnabled() || (modifiers & (cmdKey | optionKey | controlKey)))
                return eventNotHandledErr;
            ControlValues const& v = mView->Values();
            SInt32 const step = mTicks > 1
                ? std::max<SInt32>(1, static_cast<SInt32>(std::lround((double(v.maximum) - v.minimum) / (mTicks - 1))))
                : 1;
            SInt64 value = v.value;
            switch (code) {
            case kKeyLeft:
            case kKeyDown:
                value -= step;
                break;
            case kKeyRight:
            case kKeyUp:
                value += step;
                break;
            case kKeyHome:
                value = v.minimum;
                break;
            case kKeyEnd:
                value = v.maximum;
                break;
            default:
                return eventNotHandledErr;
            }
            if (GetEventKind(event) != kEventRawKeyDown && GetEventKind(event) != kEventRawKeyRepeat)
                return noErr;
            value = std::clamp<SInt64>(value, v.minimum, v.maximum);
            if (value == v.value)
                return noErr;
            Protector protect(mView);
            mView->SetValue(static_cast<SInt32>(value));
            if (ControlActionUPP action = GetControlAction(mView))
                action(mView, kControlIndicatorPart);
            if (!mView->IsDisposed())
                SendHit(kControlIndicatorPart, modifiers);
            return noErr;
        }

    private:
        double Fraction() const
        {
            ControlValues const& v = mView->Values();
            return v.maximum > v.minimum ? double(v.value - v.minimum) / (double(v.maximum) - v.minimum) : 0.0;
        }

        // Puts the thumb's centre at x (snapping to a tick when there are ticks) and tells the action procedure.
        void MoveTo(CGFloat x)
        {
            ControlValues const& v = mView->Values();
            CGRect const b = mView->GetBounds();
            CGFloat const thumb = ControlTheme::SliderThumb(b, 0).size.width;
            double const span = std::max<CGFloat>(1, b.size.width - thumb);
            double fraction = std::clamp((x - b.origin.x - thumb / 2) / span, 0.0, 1.0);
            if (mTicks > 1)
                fraction = std::round(fraction * (mTicks - 1)) / (mTicks - 1);
            auto const value = static_cast<SInt32>(std::lround(v.minimum + fraction * (double(v.maximum) - v.minimum)));
            if (value == v.value)
                return;
            mView->SetValue(value);
            if (ControlActionUPP action = GetControlAction(mView))
                action(mView, kControlIndicatorPart);
        }

        int mTicks = 0;
    };

} // namespace

Behaviour* MakeSlider(View* view) { return new SliderBehaviour(view); }

} // namespace tw::toolbox::controls
