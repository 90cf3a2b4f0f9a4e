#pragma once

#include "foundation/CMsgBroadcaster.h"
#include "widgets/CControl.h"

// A slider that tells its listeners when tracking starts ('slst'), at each live
// change ('slch') and when it completes ('slco'); the parameter is the slider.
class CSlider : public CControl, public CMsgBroadcaster {
public:
    static constexpr UInt32 kMsgTrackingStarted = 'slst';
    static constexpr UInt32 kMsgValueChanged = 'slch';
    static constexpr UInt32 kMsgTrackingComplete = 'slco';

    explicit CSlider(HIObjectRef object);

    OSStatus DoEventControlTrack(CCarbonEvent& event) override;

    static CSlider* Find(CMacWindow* window, OSType signature, SInt32 id)
    {
        return FindIn<CSlider>(window, signature, id);
    }
    static CSlider* Find(CWindowController* controller, OSType signature, SInt32 id)
    {
        return FindIn<CSlider>(controller, signature, id);
    }
    static OSStatus Create(HIObjectRef object, CHIObject** outObject) { return Make<CSlider>(object, outObject); }

private:
    static void LiveAction(ControlRef control, ControlPartCode part);
};
