#pragma once

#include "widgets/CControl.h"

// An edit text field. Its text is the text value; with a target its key filter
// and validation procedure post the framework's notifications ('Pctl' 'Ptfm'
// text modified, 'Ptfn' input done) there, and callbacks hear of them.
class CEditText : public CControl {
public:
    using Callback = void (*)(CEditText* editText, void* data);
    static constexpr UInt32 kEventClassPctl = 'Pctl';
    static constexpr UInt32 kEventTextModified = 'Ptfm';
    static constexpr UInt32 kEventInputDone = 'Ptfn';

    explicit CEditText(HIObjectRef object);
    CEditText(WindowRef window, CRect const& bounds, CString const& text, bool password, bool inlineInput,
        ControlFontStyleRec const* style, bool singleLine);
    ~CEditText() override = default;

    CString GetTextValue() const override;
    void SetTextValue(CString const& text) override;
    bool IsEmpty() const { return GetTextValue().IsEmpty(); }
    bool IsSingleLine() const { return mSingleLine; }

    virtual void SetEnabled(bool enabled) { CControl::SetEnabled(enabled); }
    virtual void GetCurrentSelection(ControlEditTextSelectionRec& selection) const;
    virtual void SetCurrentSelection(ControlEditTextSelectionRec* selection);
    virtual void SetTarget(EventTargetRef target);
    virtual void SetCallback(Callback callback, void* data);
    virtual void SetInputDoneCallback(Callback callback, void* data);

    OSStatus DoEvent(CCarbonEvent& event) override;

    static CEditText* Find(CMacWindow* window, OSType signature, SInt32 id)
    {
        return FindIn<CEditText>(window, signature, id);
    }
    static CEditText* Find(CWindowController* controller, OSType signature, SInt32 id)
    {
        return FindIn<CEditText>(controller, signature, id);
    }
    static OSStatus Create(HIObjectRef object, CHIObject** outObject) { return Make<CEditText>(object, outObject); }

private:
    static ControlKeyFilterResult KeyFilter(ControlRef control, SInt16* keyCode, SInt16* charCode, UInt32* modifiers);
    static void Validate(ControlRef control);
    void Post(UInt32 kind) const;

    EventTargetRef mTarget = nullptr; // weak: the target's owner outlives the field's notifications
    Callback mModified = nullptr;
    void* mModifiedData = nullptr; // borrowed
    Callback mInputDone = nullptr;
    void* mInputDoneData = nullptr; // borrowed
    bool mSingleLine = true;
};
