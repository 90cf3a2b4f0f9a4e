#pragma once

// A standard alert from five texts: application-modal, or a sheet on a parent
// window whose button later reaches the parent as a command ('ok  ', 'not!',
// 'othr'). An empty button text means no such button; "•default•" means the
// system's own title for it.

#include "foundation/CString.h"
#include "toolbox/dialogs/StandardAlert.h"

class CMacWindow;

class CStandardAlert {
public:
    static constexpr char const* kDefaultButtonText = "\u2022default\u2022";

    CStandardAlert();

    void SetParent(WindowRef parent) { mParent = parent; }
    void SetParent(CMacWindow* parent);
    void SetType(SInt16 type) { mType = type; }
    void SetButtonDefault(SInt16 button) { mParams.defaultButton = button; }
    void SetTextMajor(CString const& text) { mTextMajor = text; }
    void SetTextMinor(CString const& text) { mTextMinor = text; }
    void SetTextDefault(CString const& text) { mTextDefault = text; }
    void SetTextCancel(CString const& text) { mTextCancel = text; }
    void SetTextOther(CString const& text) { mTextOther = text; }

    // Modal: the button (1 default, 2 cancel, 3 other). Sheet: 2 at once. 2 when it cannot be made.
    SInt16 DoDialog();

    // Null for an empty text, -1 for the default marker, else the text (borrowed).
    static CFStringRef GetButtonText(CString const& text);

private:
    SInt16 mType = kAlertNoteAlert;
    WindowRef mParent = nullptr; // weak
    DialogRef mDialog = nullptr; // weak: a sheet disposes of itself, a modal alert is gone after the run
    CString mTextMajor;
    CString mTextMinor;
    CString mTextDefault;
    CString mTextCancel;
    CString mTextOther;
    AlertStdCFStringAlertParamRec mParams;
};
