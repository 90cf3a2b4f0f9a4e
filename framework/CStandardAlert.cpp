#include "framework/CStandardAlert.h"

#include "display/CursorCalls.h"
#include "framework/CMacWindow.h"
#include "toolbox/WindowCalls.h"

CStandardAlert::CStandardAlert() { GetStandardAlertDefaultParams(&mParams, kStdCFStringAlertVersionOne); }

void CStandardAlert::SetParent(CMacWindow* parent) { mParent = parent ? parent->GetWindowRef() : nullptr; }

CFStringRef CStandardAlert::GetButtonText(CString const& text)
{
    if (text.IsEmpty())
        return nullptr;
    if (text == CString(kDefaultButtonText))
        return kAlertDefaultOKText;
    return text.GetCFString();
}

SInt16 CStandardAlert::DoDialog()
{
    mParams.defaultText = GetButtonText(mTextDefault);
    mParams.cancelText = GetButtonText(mTextCancel);
    mParams.otherText = GetButtonText(mTextOther);
    SetThemeCursor(kThemeArrowCursor);
    mDialog = nullptr;
    if (mParent) {
        if (CreateStandardSheet(mType, mTextMajor.GetCFString(), mTextMinor.GetCFString(), &mParams,
                GetWindowEventTarget(mParent), &mDialog)
            != noErr)
            return kAlertStdAlertCancelButton;
        if (ShowSheetWindow(GetDialogWindow(mDialog), mParent) != noErr)
            DisposeDialog(mDialog);
        mDialog = nullptr;
        return kAlertStdAlertCancelButton;
    }
    if (CreateStandardAlert(mType, mTextMajor.GetCFString(), mTextMinor.GetCFString(), &mParams, &mDialog) != noErr)
        return kAlertStdAlertCancelButton;
    DialogItemIndex hit = kAlertStdAlertCancelButton;
    RunStandardAlert(mDialog, nullptr, &hit);
    mDialog = nullptr;
    return hit;
}
