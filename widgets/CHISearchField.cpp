#include "widgets/CHISearchField.h"

#include "foundation/CSystemUtilities.h"
#include "framework/CMacWindow.h"
#include "framework/CWindowController.h"
#include "toolbox/toolbar/SearchFieldCalls.h"

#include <new>

CHISearchField::CHISearchField(CGRect const& frame, UInt32 attributes, MenuRef menu, CString const& description)
    : CHIView(nullptr)
{
    SetNewObjectInstance(this);
    HIViewRef view = nullptr;
    OSStatus const status = HISearchFieldCreate(&frame, attributes, menu, description.GetCFString(), &view);
    // Cleared whatever happened: the search field is no registered subclass.
    SetNewObjectInstance(nullptr);
    if (status == noErr) {
        mOwnsReference = true;
        SetHIViewRef(view);
        HIViewSetVisible(view, true);
    }
    SetUp();
}

CHISearchField::CHISearchField(HIObjectRef object)
    : CHIView(object)
{
    SetUp();
}

void CHISearchField::SetUp()
{
    mChanged = false;
    mPolling = CSystemUtilities::GetSystemVersion() < 0x1040;
    AddEvent(kEventClassTextField, kEventTextAccepted);
    AddEvent(kEventClassTextField, kEventTextDidChange);
    if (mPolling)
        InstallTimer(kPollInterval, kPollInterval);
}

CHISearchField* CHISearchField::Find(CMacWindow* window, OSType signature, SInt32 id)
{
    return window ? dynamic_cast<CHISearchField*>(window->FindView(signature, id)) : nullptr;
}

CHISearchField* CHISearchField::Find(CWindowController* controller, OSType signature, SInt32 id)
{
    return controller ? Find(controller->GetWindow(), signature, id) : nullptr;
}

OSStatus CHISearchField::Create(HIObjectRef object, CHIObject** outObject)
{
    *outObject = nullptr;
    auto* wrapper = new (std::nothrow) CHISearchField(object);
    if (!wrapper)
        return memFullErr;
    *outObject = wrapper;
    return noErr;
}

CString CHISearchField::GetTextValue() const
{
    return GetControlString(kControlEditTextPart, kControlEditTextCFStringTag);
}

void CHISearchField::SetTextValue(CString const& text)
{
    SetControlString(kControlEditTextPart, kControlEditTextCFStringTag, text);
}

OSStatus CHISearchField::DoEventTextDidChange(CCarbonEvent&)
{
    mChanged = true;
    // One message per burst of typing: each keystroke pushes it back.
    if (IsInstalled())
        SetNextFireTime(kTypingDelay);
    else
        InstallTimer(kTypingDelay, 0);
    return eventNotHandledErr;
}

void CHISearchField::DoTimer()
{
    if (mPolling) {
        CString const text = GetTextValue();
        mChanged = text != mLastText;
        if (mChanged)
            mLastText = text;
    }
    if (mChanged) {
        mChanged = false;
        BroadcastMessage(kMsgTextChanged, this);
        return;
    }
    mChanged = false;
}

OSStatus CHISearchField::DoEventTextAccepted(CCarbonEvent&)
{
    BroadcastMessage(kMsgTextAccepted, this);
    return eventNotHandledErr;
}
