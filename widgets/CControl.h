#pragma once

#include "toolbox/controls/ControlDefinitions.h"
#include "widgets/CHIView.h"

class CBControlBinding;
class CMacWindow;
class CWindowController;

// The wrapper of one toolbox control: value range and value, text value,
// title, command, font and size, visibility and enabled state, and a control
// binding made on first use. Made over an existing control (nib, registry) or
// in code by a wrapper's window constructor, which adopts the new control.
class CControl : public CHIView {
public:
    CControl();
    explicit CControl(HIObjectRef object);
    ~CControl() override;

    virtual long GetMinimumValue() const;
    virtual void SetMinimumValue(long value);
    virtual long GetMaximumValue() const;
    virtual void SetMaximumValue(long value);
    virtual long GetCurrentValue() const;
    virtual void SetCurrentValue(long value);
    // By default the value written as a number, and the text read as one (non-numbers read as 0).
    virtual CString GetTextValue() const;
    virtual void SetTextValue(CString const& text);
    virtual void ChangedVisibility() { }
    virtual void ChangedEnabled();

    // The toolbox draws the control.
    OSStatus DoEventControlDraw(CCarbonEvent& event) override;
    OSStatus DoEventControlDispose(CCarbonEvent& event) override;

    ControlRef GetControlRef() const { return GetHIViewRef(); }
    UInt32 GetCommandID() const;
    void SetCommandID(UInt32 command);
    void SetFontStyle(ControlFontStyleRec const& style);
    OSStatus SetControlSize(UInt16 size);
    CString GetTitle() const;
    void SetTitle(CString const& title);
    bool IsVisible() const;
    void SetVisible(bool visible);
    bool IsEnabled() const;
    void SetEnabled(bool enabled);
    void DispatchCommand();
    void AddSubControl(CControl* control);
    CBControlBinding* GetBinding();
    void SetControlRef(ControlRef control);

    static CControl* GetCControl(ControlRef control);

protected:
    // The wrapper of the view with that id in the window, when it is a T.
    template <typename T> static T* FindIn(CMacWindow* window, OSType signature, SInt32 id);
    template <typename T> static T* FindIn(CWindowController* controller, OSType signature, SInt32 id);
    // A registry creator: the wrapper over the object, its handler installed.
    template <typename T> static OSStatus Make(HIObjectRef object, CHIObject** outObject);

private:
    CBControlBinding* mBinding = nullptr; // owns, until the control's dispose (the binding then deletes itself)
};

#include "widgets/CControl_Templates.h"
