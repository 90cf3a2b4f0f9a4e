#pragma once

// One control as a binding: keys "value", "minimum", "maximum", "enabled",
// "visible" and "title". The value of a text control is its text. An edit text
// takes what was typed into its key on Return, Enter or Tab only. The binding
// deletes itself when its control is disposed.

#include "bindings/Source/Bindings/CBObjectBinding.h"
#include "toolbox/HIViewTypes.h"

class CBControlBinding : public CBObjectBinding {
public:
    // The control with id {signature, 0} in the window.
    CBControlBinding(WindowRef theWindow, unsigned long signature);
    explicit CBControlBinding(ControlRef theControl);
    ~CBControlBinding() override;

    CBString GetDebugInfo() const override;

    ControlRef GetControl() const { return mControl; }
    void SetControl(ControlRef theControl); // null unbinds

    static OSStatus EventHandler(EventHandlerCallRef callRef, EventRef theEvent, void* userData);

private:
    bool IsText() const { return mIsEditText || mIsStaticText; }
    bool IsBound() const override { return mControl != nullptr; }
    bool CheckBound() const override;
    void ApplyValue(CBString const& theKey, CBValue const& theValue) override;
    CBValue ReadValue(CBString const& theKey) const override;
    OSStatus DoEventKeyboard(EventRef theEvent);
    OSStatus DoEventControl(EventRef theEvent);
    void SyncFirstChangedNumber();

    ControlRef mControl = nullptr; // weak: the binding goes when the control does
    bool mIsEditText = false;
    bool mIsStaticText = false;
    CBString mApplying; // the key being written, whose echo in the control's events is ignored
};
