#include "bindings/Source/Bindings/CBControlBinding.h"

#include "bindings/Source/Bindings/CBObjectBindingSupport.h"
#include "toolbox/HIViewCalls.h"

#include <cstdio>
#include <cstring>

using namespace tw::bindings;

namespace {

constexpr char const* kKeys[] = { "value", "minimum", "maximum", "enabled", "visible", "title" };

constexpr OSType kTextTag = 'cfst';
constexpr ControlPartCode kEditTextPart = 5;
constexpr UInt32 kKeyReturn = 36;
constexpr UInt32 kKeyTab = 48;
constexpr UInt32 kKeyEnter = 52;

EventTypeSpec const kControlEvents[] = {
    { kEventClassKeyboard, kEventRawKeyDown },
    { kEventClassControl, kEventControlDispose },
    { kEventClassControl, kEventControlValueFieldChanged },
    { kEventClassControl, kEventControlEnabledStateChanged },
    { kEventClassControl, kEventControlVisibilityChanged },
    { kEventClassControl, kEventControlTitleChanged },
};

EventHandlerUPP HandlerUPP()
{
    static EventHandlerUPP const sUPP = NewEventHandlerUPP(CBControlBinding::EventHandler);
    return sUPP;
}

ControlRef FindControl(WindowRef theWindow, unsigned long signature)
{
    ControlID const id { OSType(signature), 0 };
    ControlRef control = nullptr;
    if (!CB_REPORT_STATUS(GetControlByID(theWindow, &id, &control)))
        return nullptr;
    return control;
}

} // namespace

CBControlBinding::CBControlBinding(WindowRef theWindow, unsigned long signature)
{
    SetControl(FindControl(theWindow, signature));
}

CBControlBinding::CBControlBinding(ControlRef theControl) { SetControl(theControl); }

CBControlBinding::~CBControlBinding() { SetControl(nullptr); }

CBString CBControlBinding::GetDebugInfo() const
{
    ControlID id { 0, 0 };
    if (mControl)
        GetControlID(mControl, &id);
    char signature[5] = {};
    std::memcpy(signature, &id.signature, 4); // in memory order
    char info[128];
    std::snprintf(info, sizeof info, "[ControlRef 0x%.8lX, '%.4s', %ld]", reinterpret_cast<unsigned long>(mControl),
        signature, static_cast<long>(id.id));
    return CBString(info);
}

void CBControlBinding::SetControl(ControlRef theControl)
{
    ReleaseObject();
    mControl = theControl;
    mIsEditText = mIsStaticText = false;
    if (!mControl)
        return;
    ControlKind kind { 0, 0 };
    if (CB_REPORT_STATUS(GetControlKind(mControl, &kind)) && kind.signature == 'appl') {
        mIsEditText = kind.kind == 'etxt' || kind.kind == 'eutx';
        mIsStaticText = kind.kind == 'stxt';
    }
    WatchObject(GetControlEventTarget(mControl), HandlerUPP(), kControlEvents, this, kKeys);
}

void CBControlBinding::ApplyValue(CBString const& theKey, CBValue const& theValue)
{
    CBString const wasApplying = mApplying;
    mApplying = theKey;
    OSStatus status = noErr;
    if (theKey == "value" && IsText()) {
        CFStringRef const text = theValue.IsString() ? theValue.GetString() : nullptr;
        status = text ? SetControlData(mControl, 0, kTextTag, sizeof text, &text) : paramErr;
    } else if (theKey == "value") {
        SetControl32BitValue(mControl, SInt32(theValue.GetUInt32()));
    } else if (theKey == "minimum") {
        SetControl32BitMinimum(mControl, SInt32(theValue.GetUInt32()));
    } else if (theKey == "maximum") {
        SetControl32BitMaximum(mControl, SInt32(theValue.GetUInt32()));
    } else if (theKey == "enabled") {
        status = theValue.GetBoolean() ? EnableControl(mControl) : DisableControl(mControl);
    } else if (theKey == "visible") {
        status = SetControlVisibility(mControl, theValue.GetBoolean(), true);
    } else if (theKey == "title") {
        status = theValue.IsString() ? SetControlTitleWithCFString(mControl, theValue.GetString()) : paramErr;
    }
    CB_REPORT_STATUS(status);
    mApplying = wasApplying;
}

CBValue CBControlBinding::ReadValue(CBString const& theKey) const
{
    if (theKey == "value" && IsText()) {
        CFStringRef text = nullptr;
        if (!CB_REPORT_STATUS(GetControlData(mControl, 0, kTextTag, sizeof text, &text, nullptr)))
            return CBValue();
        return AdoptString(text);
    }
    if (theKey == "value")
        return MakeUnsigned(GetControl32BitValue(mControl));
    if (theKey == "minimum")
        return MakeUnsigned(GetControl32BitMinimum(mControl));
    if (theKey == "maximum")
        return MakeUnsigned(GetControl32BitMaximum(mControl));
    if (theKey == "enabled")
        return MakeBoolean(IsControlEnabled(mControl));
    if (theKey == "visible")
        return MakeBoolean(IsControlVisible(mControl));
    if (theKey == "title") {
        CFStringRef title = nullptr;
        CB_REPORT_STATUS(CopyControlTitleAsCFString(mControl, &title));
        return AdoptString(title);
    }
    return CBValue();
}

bool CBControlBinding::CheckBound() const { return CB_CHECK(mControl != NULL); }

OSStatus CBControlBinding::EventHandler(EventHandlerCallRef, EventRef theEvent, void* userData)
{
    if (!CB_CHECK(userData != NULL))
        return eventNotHandledErr;
    auto* const binding = static_cast<CBControlBinding*>(userData);
    if (GetEventClass(theEvent) == kEventClassKeyboard)
        return binding->DoEventKeyboard(theEvent);
    return binding->DoEventControl(theEvent);
}

OSStatus CBControlBinding::DoEventKeyboard(EventRef theEvent)
{
    if (!CB_CHECK(GetEventClass(theEvent) == kEventClassKeyboard))
        return eventNotHandledErr;
    StWriteThroughOff const reading(mWriteThrough);
    UInt32 keyCode = 0;
    GetEventParameter(theEvent, kEventParamKeyCode, typeUInt32, nullptr, sizeof keyCode, nullptr, &keyCode);
    if (GetEventKind(theEvent) != kEventRawKeyDown || !mIsEditText)
        return eventNotHandledErr;
    if (keyCode != kKeyReturn && keyCode != kKeyEnter && keyCode != kKeyTab)
        return eventNotHandledErr;
    SyncValue("value");
    // Tab goes on, so the focus still moves.
    if (keyCode == kKeyTab || !mControl)
        return eventNotHandledErr;
    return SetKeyboardFocus(GetControlOwner(mControl), mControl, kEditTextPart);
}

void CBControlBinding::SyncFirstChangedNumber()
{
    for (char const* key : { "value", "minimum", "maximum" }) {
        if (mApplying == key)
            continue; // the key takes the written value when the write returns
        CBValue const current = ReadValue(key);
        CBValue const stored = GetKeyValue(key);
        if (!stored.IsNumber() || current.GetSInt32() != stored.GetSInt32()) {
            SyncValue(key);
            return;
        }
    }
}

OSStatus CBControlBinding::DoEventControl(EventRef theEvent)
{
    if (!CB_CHECK(GetEventClass(theEvent) == kEventClassControl))
        return eventNotHandledErr;
    UInt32 const kind = GetEventKind(theEvent);
    if (kind == kEventControlDispose) {
        delete this;
        return eventNotHandledErr;
    }
    // Only the echo of the key being written is left out: a range write that clamps the
    // value changes "value" too, and its partners must hear of it.
    StWriteThroughOff const reading(mWriteThrough);
    if (kind == kEventControlValueFieldChanged && !IsText())
        SyncFirstChangedNumber();
    else if (kind == kEventControlVisibilityChanged && mApplying != "visible")
        SyncValue("visible");
    else if (kind == kEventControlTitleChanged && mApplying != "title")
        SyncValue("title");
    else if (kind == kEventControlEnabledStateChanged && mApplying != "enabled")
        SyncValue("enabled");
    return eventNotHandledErr;
}
