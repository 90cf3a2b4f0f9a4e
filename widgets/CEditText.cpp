#include "widgets/CEditText.h"

#include "framework/CCarbonEvent.h"

CEditText::CEditText(HIObjectRef object)
    : CControl(object)
{
}

CEditText::CEditText(WindowRef window, CRect const& bounds, CString const& text, bool password, bool inlineInput,
    ControlFontStyleRec const* style, bool singleLine)
    : mSingleLine(singleLine)
{
    // Our toolbox always has the Unicode field, so no lookup by name and no fallback is needed.
    (void)inlineInput;
    ControlRef control = nullptr;
    CreateEditUnicodeTextControl(window, &bounds, text.GetCFString(), password, style, &control);
    Boolean const single = singleLine;
    ::SetControlData(control, kControlEntireControl, kControlEditTextSingleLineTag, sizeof single, &single);
    SetControlRef(control);
}

CString CEditText::GetTextValue() const
{
    CFStringRef text = nullptr;
    if (::GetControlData(
            GetControlRef(), kControlEntireControl, kControlEditTextCFStringTag, sizeof text, &text, nullptr)
            != noErr
        || !text)
        return CString();
    return CString(text, true);
}

void CEditText::SetTextValue(CString const& text)
{
    CFStringRef value = text.GetCFString();
    ::SetControlData(GetControlRef(), kControlEntireControl, kControlEditTextCFStringTag, sizeof value, &value);
    SetNeedsDisplay(true, nullptr);
}

void CEditText::GetCurrentSelection(ControlEditTextSelectionRec& selection) const
{
    ControlEditTextSelectionRec read;
    Size size = 0;
    if (::GetControlData(
            GetControlRef(), kControlEntireControl, kControlEditTextSelectionTag, sizeof read, &read, &size)
            == noErr
        && size == static_cast<Size>(sizeof read))
        selection = read;
}

void CEditText::SetCurrentSelection(ControlEditTextSelectionRec* selection)
{
    if (!selection)
        return;
    ::SetControlData(
        GetControlRef(), kControlEntireControl, kControlEditTextSelectionTag, sizeof *selection, selection);
    SetNeedsDisplay(true, nullptr);
}

void CEditText::SetTarget(EventTargetRef target)
{
    mTarget = target;
    ControlKeyFilterUPP filter = KeyFilter;
    ControlEditTextValidationUPP validation = Validate;
    ::SetControlData(GetControlRef(), kControlEntireControl, kControlEditTextKeyFilterTag, sizeof filter, &filter);
    ::SetControlData(
        GetControlRef(), kControlEntireControl, kControlEditTextValidationProcTag, sizeof validation, &validation);
}

void CEditText::SetCallback(Callback callback, void* data)
{
    SetTarget(GetEventTarget());
    AddEvent(kEventClassPctl, kEventTextModified);
    mModified = callback;
    mModifiedData = data;
}

void CEditText::SetInputDoneCallback(Callback callback, void* data)
{
    if (!mSingleLine)
        return;
    SetTarget(GetEventTarget());
    AddEvent(kEventClassPctl, kEventInputDone);
    mInputDone = callback;
    mInputDoneData = data;
}

// Notifications stay unhandled so that other handlers hear of them too.
OSStatus CEditText::DoEvent(CCarbonEvent& event)
{
    if (!event.IsClass(kEventClassPctl))
        return CControl::DoEvent(event);
    if (event.IsKind(kEventTextModified) && mModified)
        mModified(this, mModifiedData);
    else if (event.IsKind(kEventInputDone) && mSingleLine && mInputDone)
        mInputDone(this, mInputDoneData);
    return eventNotHandledErr;
}

void CEditText::Post(UInt32 kind) const
{
    if (!mTarget)
        return;
    CCarbonEvent event(kEventClassPctl, kind);
    ControlRef control = GetControlRef();
    EventTargetRef target = mTarget;
    event.SetParameter(kEventParamDirectObject, typeControlRef, sizeof control, &control);
    event.SetParameter(kEventParamPostTarget, typeEventTargetRef, sizeof target, &target);
    event.PostToQueue(GetMainEventQueue(), kEventPriorityStandard);
}

ControlKeyFilterResult CEditText::KeyFilter(ControlRef control, SInt16*, SInt16* charCode, UInt32*)
{
    auto* field = dynamic_cast<CEditText*>(GetCControl(control));
    if (!field)
        return kControlKeyFilterPassKey;
    if (field->mSingleLine && (*charCode == 3 || *charCode == 13)) {
        field->Post(kEventInputDone);
        return kControlKeyFilterBlockKey;
    }
    field->Post(kEventTextModified);
    return kControlKeyFilterPassKey;
}

void CEditText::Validate(ControlRef control)
{
    if (auto* field = dynamic_cast<CEditText*>(GetCControl(control)))
        field->Post(kEventTextModified);
}
