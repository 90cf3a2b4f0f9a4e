#include "corefoundation/CFString.h"
#include "toolbox/MouseTracking.h"
#include "toolbox/controls/Behaviours.h"
#include "toolbox/controls/ControlBehaviour.h"
#include "toolbox/controls/ControlDefinitions.h"
#include "toolbox/controls/ControlTheme.h"
#include "toolbox/controls/ControlsInternal.h"

#include <algorithm>
#include <vector>

namespace tw::toolbox::controls {

namespace {

    // Private data tags of the segmented view's calls; the part is the segment (from 1).
    enum : OSType {
        kSegmentCountTag = 'scnt',
        kSegmentLabelTag = 'slbl',
        kSegmentCommandTag = 'scmd',
        kSegmentBehaviourTag = 'sbhv'
    };

    enum : UInt32 { kSegmentKeyLeft = 123, kSegmentKeyRight = 124 };

    struct Segment {
        CFStringRef label = nullptr; // retains
        UInt32 command = 0;
        HISegmentBehavior behaviour = kHISegmentBehaviorRadio;
    };

    // A row of equal segments. A radio segment becomes the value when clicked; a
    // momentary one only flashes. A segment's own command goes out when it is clicked.
    class SegmentedBehaviour : public Behaviour {
    public:
        using Behaviour::Behaviour;
        ~SegmentedBehaviour() override { Resize(0); }

    protected:
        OSStatus Draw(CGContextRef c) override
        {
            TakeNibLabels();
            std::size_t const count = mSegments.size();
            ControlState s { IsDrawnActive(), false, false };
            for (std::size_t i = 0; i < count; ++i) {
                s.pressed = mPressed == static_cast<int>(i + 1);
                bool const selected = mView->Values().value == static_cast<SInt32>(i + 1)
                    && mSegments[i].behaviour != kHISegmentBehaviorMomentary;
                ControlTheme::DrawSegment(c, Frame(i), mSegments[i].label, selected, i == 0, i + 1 == count, s);
            }
            if (IsFocused() && mView->IsActive())
                ControlTheme::DrawFocusRing(c, CGRectInset(mView->GetBounds(), 0.5, 2), 6);
            return noErr;
        }

        // Tab reaches the segments; Left and Right then choose the neighbouring one, as a click would.
        bool TakesFocus() const override { return !mSegments.empty(); }

        OSStatus Key(EventRef event) override
        {
            UInt32 code = 0, modifiers = 0;
            GetEventParameter(event, kEventParamKeyCode, typeUInt32, nullptr, sizeof code, nullptr, &code);
            GetEventParameter(event, kEventParamKeyModifiers, typeUInt32, nullptr, sizeof modifiers, nullptr, &modifiers);
            if ((code != kSegmentKeyLeft && code != kSegmentKeyRight) || (modifiers & (cmdKey | optionKey | controlKey))
                || !IsFocused() || !mView->IsEnabled() || mSegments.empty())
                return eventNotHandledErr;
            SInt32 const count = static_cast<SInt32>(mSegments.size());
            SInt32 const segment = std::clamp(mView->Values().value + (code == kSegmentKeyLeft ? -1 : 1), SInt32(1), count);
            if (segment != mView->Values().value)
                Choose(static_cast<std::size_t>(segment), modifiers);
            return noErr;
        }

        OSStatus Track(EventHandlerCallRef, EventRef event) override
        {
            TakeNibLabels();
            HIPoint p {};
            GetEventParameter(event, kEventParamMouseLocation, typeHIPoint, nullptr, sizeof p, nullptr, &p);
            int const segment = SegmentAt(p);
            Protector protect(mView);
            UInt32 modifiers = 0;
            MouseTrackingResult result = kMouseTrackingMouseDown;
            SetPressed(segment);
            while (segment != 0 && result != kMouseTrackingMouseUp && result != kMouseTrackingUserCancelled) {
                if (HIViewTrackMouseLocation(mView, 0, kEventDurationForever, &p, &modifiers, &result) != noErr
                    || mView->IsDisposed())
                    break;
                SetPressed(result == kMouseTrackingUserCancelled || SegmentAt(p) != segment ? 0 : segment);
            }
            if (mView->IsDisposed())
                return noErr;
            bool const chosen = mPressed != 0;
            SetPressed(0);
            ControlPartCode const part
                = chosen ? ControlPartCode { kControlButtonPart } : ControlPartCode { kControlNoPart };
            SetEventParameter(event, kEventParamControlPart, typeControlPartCode, sizeof part, &part);
            SetEventParameter(event, kEventParamKeyModifiers, typeUInt32, sizeof modifiers, &modifiers);
            if (chosen)
                Choose(static_cast<std::size_t>(segment), modifiers);
            return noErr;
        }

        OSStatus SetData(ControlPartCode part, OSType tag, Size size, void const* data) override;
        OSStatus GetData(ControlPartCode part, OSType tag, Size bufferSize, void* data, Size* actualSize) override;

    private:
        // A nib gives the segments as the labels of property ('twbh', 'sgmt'), one a line,
        // taken the first time the view draws or is clicked.
        void TakeNibLabels()
        {
            if (mTriedNib || !mSegments.empty())
                return;
            mTriedNib = true;
            std::vector<CFStringRef> const labels = CopyNibLines(mView, 'sgmt');
            if (labels.empty())
                return;
            SInt32 const value = mView->Values().value;
            Resize(labels.size());
            for (std::size_t i = 0; i < labels.size(); ++i)
                mSegments[i].label = labels[i];
            mView->SetValue(value);
        }

        CGRect Frame(std::size_t i) const
        {
            CGRect const b = mView->GetBounds();
            CGFloat const w = b.size.width / static_cast<CGFloat>(std::max<std::size_t>(1, mSegments.size()));
            CGFloat const x0 = std::round(b.origin.x + w * static_cast<CGFloat>(i));
            CGFloat const x1 = std::round(b.origin.x + w * static_cast<CGFloat>(i + 1));
            return { { x0, b.origin.y }, { x1 - x0, b.size.height } };
        }

        int SegmentAt(CGPoint p) const
        {
            for (std::size_t i = 0; i < mSegments.size(); ++i)
                if (CGRectContainsPoint(Frame(i), p))
                    return static_cast<int>(i + 1);
            return 0;
        }

        void SetPressed(int segment)
        {
            if (segment != mPressed) {
                mPressed = segment;
                mView->Invalidate();
            }
        }

        void Choose(std::size_t segment, UInt32 modifiers)
        {
            Segment const& chosen = mSegments[segment - 1];
            if (chosen.behaviour != kHISegmentBehaviorMomentary)
                mView->SetValue(static_cast<SInt32>(segment));
            if (chosen.command == 0 || mView->IsDisposed())
                return;
            UInt32 const own = mView->Values().command;
            mView->Values().command = chosen.command;
            mView->SendCommand(modifiers);
            if (!mView->IsDisposed())
                mView->Values().command = own;
        }

        void Resize(std::size_t count)
        {
            for (std::size_t i = count; i < mSegments.size(); ++i)
                if (mSegments[i].label)
                    CFRelease(mSegments[i].label);
            mSegments.resize(count);
            mView->Values().minimum = 0;
            mView->Values().maximum = static_cast<SInt32>(count);
            mView->SetValue(mView->Values().value);
            mView->Invalidate();
        }

        std::vector<Segment> mSegments;
        int mPressed = 0;
        bool mTriedNib = false;
    };

    OSStatus SegmentedBehaviour::SetData(ControlPartCode part, OSType tag, Size size, void const* data)
    {
        if (tag == kSegmentCountTag) {
            UInt32 count = 0;
            TW_RETURN_STATUS(Read(size, data, &count));
            if (count > 1000)
                return paramErr;
            Resize(count);
            return noErr;
        }
        if (tag != kSegmentLabelTag && tag != kSegmentCommandTag && tag != kSegmentBehaviourTag)
            return eventNotHandledErr;
        if (part < 1 || static_cast<std::size_t>(part) > mSegments.size())
            return paramErr;
        Segment& segment = mSegments[static_cast<std::size_t>(part) - 1];
        if (tag == kSegmentCommandTag)
            return Read(size, data, &segment.command);
        if (tag == kSegmentBehaviourTag)
            return Read(size, data, &segment.behaviour);
        CFStringRef label = nullptr;
        TW_RETURN_STATUS(Read(size, data, &label));
        label = label ? CFStringCreateCopy(nullptr, label) : nullptr;
        if (segment.label)
            CFRelease(segment.label);
        segment.label = label;
        mView->Invalidate();
        return noErr;
    }

    OSStatus SegmentedBehaviour::GetData(
        ControlPartCode part, OSType tag, Size bufferSize, void* data, Size* actualSize)
    {
        TakeNibLabels();
        if (tag == kSegmentCountTag)
            return Write(UInt32(mSegments.size()), bufferSize, data, actualSize);
        if (tag != kSegmentLabelTag && tag != kSegmentCommandTag && tag != kSegmentBehaviourTag)
            return eventNotHandledErr;
        if (part < 1 || static_cast<std::size_t>(part) > mSegments.size())
            return paramErr;
        Segment const& segment = mSegments[static_cast<std::size_t>(part) - 1];
        if (tag == kSegmentCommandTag)
            return Write(segment.command, bufferSize, data, actualSize);
        if (tag == kSegmentBehaviourTag)
            return Write(segment.behaviour, bufferSize, data, actualSize);
        return Write(segment.label, bufferSize, data, actualSize); // borrowed
    }

    template <typename T> T GetSegmentData(HIViewRef view, UInt32 segment, OSType tag)
    {
        T value {};
        GetControlData(view, static_cast<ControlPartCode>(segment), tag, sizeof value, &value, nullptr);
        return value;
    }

    template <typename T> OSStatus SetSegmentData(HIViewRef view, UInt32 segment, OSType tag, T const& value)
    {
        if (segment > 32767)
            return paramErr;
        return SetControlData(view, static_cast<ControlPartCode>(segment), tag, sizeof value, &value);
    }

} // namespace

Behaviour* MakeSegmentedView(View* view) { return new SegmentedBehaviour(view); }

} // namespace tw::toolbox::controls

using tw::toolbox::controls::GetSegmentData;
using tw::toolbox::controls::SetSegmentData;

OSStatus HISegmentedViewSetSegmentCount(HIViewRef view, UInt32 count) { return SetSegmentData(view, 0, 'scnt', count); }
UInt32 HISegmentedViewGetSegmentCount(HIViewRef view) { return GetSegmentData<UInt32>(view, 0, 'scnt'); }

OSStatus HISegmentedViewSetSegmentLabel(HIViewRef view, UInt32 segment, CFStringRef label)
{
    return SetSegmentData(view, segment, 'slbl', label);
}

OSStatus HISegmentedViewCopySegmentLabel(HIViewRef view, UInt32 segment, CFStringRef* outLabel)
{
    if (!outLabel)
        return paramErr;
    *outLabel = nullptr;
    CFStringRef label = nullptr;
    OSStatus const status
        = GetControlData(view, static_cast<ControlPartCode>(segment), 'slbl', sizeof label, &label, nullptr);
    if (status == noErr && label)
        *outLabel = CFStringCreateCopy(nullptr, label);
    return status;
}

OSStatus HISegmentedViewSetSegmentCommand(HIViewRef view, UInt32 segment, UInt32 command)
{
    return SetSegmentData(view, segment, 'scmd', command);
}
UInt32 HISegmentedViewGetSegmentCommand(HIViewRef view, UInt32 segment)
{
    return GetSegmentData<UInt32>(view, segment, 'scmd');
}

OSStatus HISegmentedViewSetSegmentBehavior(HIViewRef view, UInt32 segment, HISegmentBehavior behavior)
{
    return SetSegmentData(view, segment, 'sbhv', behavior);
}
HISegmentBehavior HISegmentedViewGetSegmentBehavior(HIViewRef view, UInt32 segment)
{
    return GetSegmentData<HISegmentBehavior>(view, segment, 'sbhv');
}
