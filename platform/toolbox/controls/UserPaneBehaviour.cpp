#include "toolbox/Window.h"
#include "toolbox/controls/Behaviours.h"
#include "toolbox/controls/ControlBehaviour.h"
#include "toolbox/controls/ControlDefinitions.h"

#include <cmath>

namespace tw::toolbox::controls {

namespace {

    CGContextRef sPaneContext = nullptr; // borrowed: the context of the user pane drawing now

    Point ToPoint(CGPoint p) { return { static_cast<SInt16>(std::floor(p.y)), static_cast<SInt16>(std::floor(p.x)) }; }

    // A user pane: draws, hit tests, tracks and takes keys through the procedures
    // set as its control data; without them it is an empty, transparent container.
    class UserPaneBehaviour : public Behaviour {
    public:
        using Behaviour::Behaviour;

    protected:
        OSStatus Draw(CGContextRef context) override
        {
            if (!mDraw)
                return noErr;
            CGContextRef const outer = sPaneContext;
            sPaneContext = context;
            mDraw(mView, kControlEntireControl);
            sPaneContext = outer;
            return noErr;
        }

        ControlPartCode HitTest(CGPoint p) override
        {
            if (!CGRectContainsPoint(mView->GetBounds(), p))
                return kControlNoPart;
            return mHitTest ? mHitTest(mView, ToPoint(p)) : ControlPartCode(kControlNoPart);
        }

        OSStatus Track(EventHandlerCallRef callRef, EventRef event) override
        {
            if (!mTracking)
                return Behaviour::Track(callRef, event);
            HIPoint p {};
            GetEventParameter(event, kEventParamMouseLocation, typeHIPoint, nullptr, sizeof p, nullptr, &p);
            ControlPartCode const part = mTracking(mView, ToPoint(p), GetControlAction(mView));
            SetEventParameter(event, kEventParamControlPart, typeControlPartCode, sizeof part, &part);
            return noErr;
        }

        OSStatus Key(EventRef event) override
        {
            if (!mKeyDown)
                return eventNotHandledErr;
            UInt32 code = 0, modifiers = 0;
            char character = 0;
            GetEventParameter(event, kEventParamKeyCode, typeUInt32, nullptr, sizeof code, nullptr, &code);
            GetEventParameter(
                event, kEventParamKeyMacCharCodes, typeChar, nullptr, sizeof character, nullptr, &character);
            GetEventParameter(
                event, kEventParamKeyModifiers, typeUInt32, nullptr, sizeof modifiers, nullptr, &modifiers);
            ControlPartCode const part = mKeyDown(mView, static_cast<SInt16>(code),
                static_cast<SInt16>(static_cast<unsigned char>(character)), static_cast<SInt16>(modifiers));
            return part != kControlNoPart ? noErr : eventNotHandledErr;
        }

        bool TakesFocus() const override { return mKeyDown != nullptr; }

        OSStatus SetData(ControlPartCode, OSType tag, Size size, void const* data) override
        {
            switch (tag) {
            case kControlUserPaneDrawProcTag:
                return Read(size, data, &mDraw);
            case kControlUserPaneHitTestProcTag:
                return Read(size, data, &mHitTest);
            case kControlUserPaneTrackingProcTag:
                return Read(size, data, &mTracking);
            case kControlUserPaneKeyDownProcTag:
                return Read(size, data, &mKeyDown);
            default:
                return eventNotHandledErr;
            }
        }

        OSStatus GetData(ControlPartCode, OSType tag, Size bufferSize, void* data, Size* actualSize) override
        {
            switch (tag) {
            case kControlUserPaneDrawProcTag:
                return Write(mDraw, bufferSize, data, actualSize);
            case kControlUserPaneHitTestProcTag:
                return Write(mHitTest, bufferSize, data, actualSize);
            case kControlUserPaneTrackingProcTag:
                return Write(mTracking, bufferSize, data, actualSize);
            case kControlUserPaneKeyDownProcTag:
                return Write(mKeyDown, bufferSize, data, actualSize);
            default:
                return eventNotHandledErr;
            }
        }

    private:
        ControlUserPaneDrawProcPtr mDraw = nullptr;
        ControlUserPaneHitTestProcPtr mHitTest = nullptr;
        ControlUserPaneTrackingProcPtr mTracking = nullptr;
        ControlUserPaneKeyDownProcPtr mKeyDown = nullptr;
    };

} // namespace

Behaviour* MakeUserPane(View* view) { return new UserPaneBehaviour(view); }

} // namespace tw::toolbox::controls

OSStatus QDBeginCGContext(CGrafPtr, CGContextRef* outContext)
{
    if (!outContext)
        return paramErr;
    *outContext = tw::toolbox::controls::sPaneContext;
    return *outContext ? noErr : paramErr;
}

OSStatus QDEndCGContext(CGrafPtr, CGContextRef* context)
{
    if (context)
        *context = nullptr;
    return noErr;
}
