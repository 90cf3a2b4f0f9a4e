#pragma once

// One control as a binding: keys "value", "minimum", "maximum", "enabled",
// "visible" and "title". The value of a text control is its text. An edit text
// takes what was typed into its key on Return, Enter or Tab only. The binding
// deletes itself when its control is disposed.

#include "bindings/Source/Bindings/CBKeyValueBinding.h"
#include "toolbox/HIViewTypes.h"

class CBControlBinding : public CBKeyValueBinding {
public:
    // The control with id {signature, 0} in the window.
    CBControlBinding(WindowRef theWindow, unsigned long signature);
    explicit CBControlBinding(ControlRef theControl);
    ~CBControlBinding() override;

    CBString GetDebugInfo() const override;
    void SetKeyValue(CBString const& theKeyName, CBValue const& theValue) override;

    ControlRef GetControl() const { return mControl; }
    void SetControl(ControlRef theControl); // null unbinds
    void SyncValue(CBString const& theKey);

    static OSStatus EventHandler(EventHandlerCallRef callRef, EventRef theEvent, void* userData);

private:
    bool IsText() const { return mIsEditText || mIsStaticText; }
    void ApplyValue(CBString const& theKey, CBValue const& theValue);
    CBValue ReadValue(CBString const& theKey) const;
    OSStatus DoEventKeyboard(EventRef theEvent);
    OSStatus DoEventControl(EventRef theEvent);
    void SyncFirstChangedNumber();

    ControlRef mControl = nullptr; // weak: the binding goes when the control does
    EventHandlerRef mHandler = nullptr;
    bool mIsEditText = false;
    bool mIsStaticText = false;
    bool mWriteThrough = true;
    CBString mApplying; // the key being written, whose echo in the control's events is ignored
};
