#include "framework/CFileDialog.h"

#include "foundation/CFileUtilities.h"
#include "foundation/StCFRef.h"
#include "toolbox/WindowCalls.h"
#include "toolbox/dialogs/UniformTypes.h"

#include <vector>

NavEventUPP const CFileDialog::mNavEvent = &CFileDialog::NavEvent;
NavObjectFilterUPP const CFileDialog::mNavFilter = &CFileDialog::NavFilter;

CFileDialog::CFileDialog() { mResult.dialog = this; }

CFileDialog::~CFileDialog()
{
    *mAlive = false;
    Cancel();
    if (mTypePopup)
        CFRelease(mTypePopup);
}

void CFileDialog::Cancel()
{
    NavDialogRef const dialog = mDialog;
    mDialog = nullptr;
    if (dialog)
        NavDialogDispose(dialog);
}

void CFileDialog::SetTypePopup(CFArrayRef titles)
{
    if (titles)
        CFRetain(titles);
    if (mTypePopup)
        CFRelease(mTypePopup);
    mTypePopup = titles;
}

NavDialogCreationOptions CFileDialog::MakeOptions(
    CString const& message, CString const& actionButton, CStringList const* types, CFArrayRef& ownedPopup) const
{
    NavDialogCreationOptions options;
    NavGetDefaultDialogCreationOptions(&options);
    options.optionFlags |= kNavPreserveSaveFileExtension;
    ownedPopup = nullptr;
    if (types && !types->IsEmpty() && !mTypePopup) {
        std::vector<void const*> values;
        for (CString const& type : *types)
            values.push_back(type.GetCFString());
        ownedPopup = CFArrayCreate(nullptr, values.data(), static_cast<CFIndex>(values.size()), &kCFTypeArrayCallBacks);
        options.popupExtension = ownedPopup;
    } else {
        options.popupExtension = mTypePopup;
    }
    if (mParent) {
        options.modality = kWindowModalityWindowModal;
        options.parentWindow = mParent;
    }
    if (message.IsNotEmpty())
        options.message = message.GetCFString();
    if (actionButton.IsNotEmpty())
        options.actionButtonLabel = actionButton.GetCFString();
    return options;
}

bool CFileDialog::Created(OSStatus status)
{
    if (status == noErr)
        return true;
    mDialog = nullptr;
    return false;
}

UInt32 CFileDialog::ChooseFile(
    CString const& message, CString const& actionButton, CStringList const* types, FileDialogResult& result)
{
    if (mDialog)
        return kNavUserActionCancel; // one dialog at a time
    if (types)
        mTypeList = *types;
    mSelectedPopupItem = 0;
    CFArrayRef popup = nullptr;
    NavDialogCreationOptions const options = MakeOptions(message, actionButton, types, popup);
    OSStatus const status = NavCreateGetFileDialog(&options, nullptr, mNavEvent, nullptr, mNavFilter, this, &mDialog);
    if (popup)
        CFRelease(popup);
    if (!Created(status)) {
        result = FileDialogResult { this, nullptr, kNavUserActionCancel, {}, {} };
        return kNavUserActionCancel;
    }
    return DoDialog(&result);
}

UInt32 CFileDialog::ChooseSave(CString const& message, CString const& actionButton, CStringList const* types,
    CString const& fileName, OSType fileType, OSType creator, bool packages, FileDialogResult* result)
{
    if (mDialog)
        return kNavUserActionCancel;
    CFArrayRef popup = nullptr;
    NavDialogCreationOptions options = MakeOptions(message, actionButton, types, popup);
    options.saveFileName = fileName.GetCFString();
    if (packages)
        options.optionFlags |= kNavSupportPackages;
    OSStatus const status = NavCreatePutFileDialog(&options, fileType, creator, mNavEvent, this, &mDialog);
    if (popup)
        CFRelease(popup);
    if (!Created(status))
        return kNavUserActionCancel;
    return DoDialog(result);
}

UInt32 CFileDialog::AskReviewDocuments(UInt32 count)
{
    if (mDialog)
        return kNavUserActionCancel;
    CFArrayRef popup = nullptr;
    NavDialogCreationOptions const options = MakeOptions(CString(), CString(), nullptr, popup);
    if (!Created(NavCreateAskReviewDocumentsDialog(&options, count, mNavEvent, this, &mDialog)))
        return kNavUserActionCancel;
    return DoDialog(nullptr);
}

UInt32 CFileDialog::AskSaveChanges(UInt32 action)
{
    if (mDialog)
        return kNavUserActionCancel;
    CFArrayRef popup = nullptr;
    NavDialogCreationOptions const options = MakeOptions(CString(), CString(), nullptr, popup);
    if (!Created(NavCreateAskSaveChangesDialog(&options, action, mNavEvent, this, &mDialog)))
        return kNavUserActionCancel;
    return DoDialog(nullptr);
}

UInt32 CFileDialog::AskDiscardChanges(CString const& name)
{
    if (mDialog)
        return kNavUserActionCancel;
    CFArrayRef popup = nullptr;
    NavDialogCreationOptions options = MakeOptions(CString(), CString(), nullptr, popup);
    options.saveFileName = name.GetCFString();
    if (!Created(NavCreateAskDiscardChangesDialog(&options, mNavEvent, this, &mDialog)))
        return kNavUserActionCancel;
    return DoDialog(nullptr);
}

UInt32 CFileDialog::DoDialog(FileDialogResult* result)
{
    if (!mDialog)
        return kNavUserActionCancel;
    if (mParent)
        SelectWindow(mParent);
    if (mDefaultLocation.Exists()) {
        AEDesc location {};
        if (CFileUtilities::GetAEDescFromFile(mDefaultLocation, &location) == noErr) {
            NavCustomControl(mDialog, kNavCtlSetLocation, &location);
            AEDisposeDesc(&location);
        }
    }
    mResult.reply = nullptr;
    mResult.action = kNavUserActionNone;
    std::shared_ptr<bool> const alive = mAlive;
    NavDialogRef const dialog = mDialog;
    if (NavDialogRun(dialog) != noErr) {
        if (!*alive)
            return kNavUserActionCancel;
        mResult.action = kNavUserActionCancel;
        if (mDialog == dialog)
            Cancel();
    }
    if (!*alive)
        return kNavUserActionCancel; // the owner went while the dialog ran
    if (result) {
        *result = mResult;
        result->reply = nullptr;
    }
    return mResult.action;
}
