#include "widgets/CHISegmentedView.h"

CHISegmentedView::CHISegmentedView(HIObjectRef object)
    : CControl(object)
{
    InitialiseSelf();
}

// The new view's reference is ours until a parent takes it over (AddSubHIView).
CHISegmentedView::CHISegmentedView(CGRect const& frame)
{
    HIViewRef view = nullptr;
    if (HISegmentedViewCreate(&frame, &view) == noErr && view)
        mOwnsReference = true;
    SetControlRef(view);
    InitialiseSelf();
}

// The nib's chosen segment ('pelp', 'valu') becomes the value.
void CHISegmentedView::InitialiseSelf()
{
    UInt32 value = 0;
    if (GetControlProperty('pelp', 'valu', value) == noErr)
        SetCurrentValue(static_cast<long>(value));
}

void CHISegmentedView::SetSegmentLabel(UInt32 segment, CString const& label)
{
    HISegmentedViewSetSegmentLabel(GetControlRef(), segment, label.GetCFString());
}

void CHISegmentedView::SetSegmentCommandID(UInt32 segment, UInt32 command)
{
    HISegmentedViewSetSegmentCommand(GetControlRef(), segment, command);
}

void CHISegmentedView::SetSegmentBehaviour(UInt32 segment, UInt32 behaviour)
{
    HISegmentedViewSetSegmentBehavior(GetControlRef(), segment, behaviour);
}

void CHISegmentedView::SetSegmentBehaviour(UInt32 behaviour)
{
    for (UInt32 segment = 1; segment <= GetSegmentCount(); ++segment)
        SetSegmentBehaviour(segment, behaviour);
}
