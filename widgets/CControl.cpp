#include "widgets/CControl.h"

#include "bindings/Source/Bindings/CBControlBinding.h"
#include "framework/CCarbonEvent.h"
#include "widgets/CHIViewUtilities.h"

#include <cstdio>

CControl::CControl()
    : CHIView(nullptr)
{
    AddEvent(kEventClassControl, kEventControlHit);
}

CControl::CControl(HIObjectRef object)
    : CHIView(object)
{
    AddEvent(kEventClassControl, kEventControlHit);
}

CControl::~CControl() { delete mBinding; }

long CControl::GetMinimumValue() const { return GetControl32BitMinimum(GetControlRef()); }
void CControl::SetMinimumValue(long value) { SetControl32BitMinimum(GetControlRef(), static_cast<SInt32>(value)); }
long CControl::GetMaximumValue() const { return GetControl32BitMaximum(GetControlRef()); }
void CControl::SetMaximumValue(long value) { SetControl32BitMaximum(GetControlRef(), static_cast<SInt32>(value)); }
long CControl::GetCurrentValue() const { return GetControl32BitValue(GetControlRef()); }
void CControl::SetCurrentValue(long value) { SetControl32BitValue(GetControlRef(), static_cast<SInt32>(value)); }

CString CControl::GetTextValue() const
{
    CString text;
    text.Format("%d", static_cast<int>(GetCurrentValue()));
    return text;
}

void CControl::SetTextValue(CString const& text) { SetCurrentValue(text.GetSInt32Value()); }

void CControl::ChangedEnabled() { SetNeedsDisplay(true, nullptr); }

OSStatus CControl::DoEventControlDraw(CCarbonEvent&) { return eventNotHandledErr; }

// The binding deletes itself when its control goes: it must not be deleted again here.
OSStatus CControl::DoEventControlDispose(CCarbonEvent& event)
{
    mBinding = nullptr;
    return CHIView::DoEventControlDispose(event);
}

UInt32 CControl::GetCommandID() const
{
    UInt32 command = 0;
    GetControlCommandID(GetControlRef(), &command);
    return command;
}

void CControl::SetCommandID(UInt32 command) { SetControlCommandID(GetControlRef(), command); }

void CControl::SetFontStyle(ControlFontStyleRec const& style) { SetControlFontStyle(GetControlRef(), &style); }

OSStatus CControl::SetControlSize(UInt16 size)
{
    OSStatus const status
        = ::SetControlData(GetControlRef(), kControlEntireControl, kControlSizeTag, sizeof size, &size);
    if (status != noErr)
        return status;
    ControlFontStyleRec style;
    if (size == kControlSizeSmall || size == kControlSizeLarge || size == kControlSizeMini) {
        style.flags = kControlUseThemeFontIDMask;
        style.font = size == kControlSizeSmall ? 1 : size == kControlSizeLarge ? 0 : 6;
    }
    SetFontStyle(style);
    return noErr;
}

CString CControl::GetTitle() const
{
    CFStringRef title = nullptr;
    if (CopyControlTitleAsCFString(GetControlRef(), &title) != noErr || !title)
        return CString();
    return CString(title, true);
}

void CControl::SetTitle(CString const& title) { SetControlTitleWithCFString(GetControlRef(), title.GetCFString()); }

bool CControl::IsVisible() const { return IsControlVisible(GetControlRef()); }

void CControl::SetVisible(bool visible)
{
    if (IsVisible() == visible)
        return;
    SetControlVisibility(GetControlRef(), visible, true);
    ChangedVisibility();
}

bool CControl::IsEnabled() const { return IsControlEnabled(GetControlRef()); }

void CControl::SetEnabled(bool enabled)
{
    if (enabled)
        EnableControl(GetControlRef());
    else
        DisableControl(GetControlRef());
    ChangedEnabled();
}

void CControl::DispatchCommand()
{
    HICommandExtended command {};
    command.attributes = kHICommandFromControl;
    command.commandID = GetCommandID();
    command.source.control = GetControlRef();
    ProcessHICommand(reinterpret_cast<HICommand const*>(&command));
}

void CControl::AddSubControl(CControl* control) { AddSubHIView(control); }

CControl* CControl::GetCControl(ControlRef control)
{
    return dynamic_cast<CControl*>(CHIViewUtilities::GetCHIView(control, true));
}

CBControlBinding* CControl::GetBinding()
{
    if (!mBinding && GetControlRef())
        mBinding = new CBControlBinding(GetControlRef());
    return mBinding;
}

void CControl::SetControlRef(ControlRef control)
{
    SetHIViewRef(control);
    if (mBinding)
        mBinding->SetControl(control);
}
