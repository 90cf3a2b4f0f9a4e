#include "widgets/CSlider.h"

CSlider::CSlider(HIObjectRef object)
    : CControl(object)
{
    AddEvent(kEventClassControl, kEventControlTrack);
    SetControlAction(GetControlRef(), LiveAction);
}

OSStatus CSlider::DoEventControlTrack(CCarbonEvent& event)
{
    BroadcastMessage(kMsgTrackingStarted, this);
    OSStatus const status = CallNextHandler(event);
    BroadcastMessage(kMsgTrackingComplete, this);
    return status;
}

// Only a slider whose action is still this one broadcasts.
void CSlider::LiveAction(ControlRef control, ControlPartCode)
{
    if (GetControlAction(control) != LiveAction)
        return;
    if (auto* slider = dynamic_cast<CSlider*>(GetCControl(control)))
        slider->BroadcastMessage(kMsgValueChanged, slider);
}
