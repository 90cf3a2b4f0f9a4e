#include "toolbox/dialogs/NavDialog.h"
#include "toolbox/dialogs/NavFiles.h"

using tw::toolbox::dialogs::DialogKind;
using tw::toolbox::dialogs::NavDialog;

namespace {

OSStatus Make(DialogKind kind, NavDialogCreationOptions const* options, NavEventUPP eventProc,
    NavObjectFilterUPP filterProc, void* userData, NavDialogRef* outDialog, UInt32 detail = 0)
{
    if (!outDialog)
        return paramErr;
    *outDialog = nullptr;
    NavDialogCreationOptions defaults;
    NavGetDefaultDialogCreationOptions(&defaults);
    NavDialogCreationOptions const& o = options ? *options : defaults;
    if (o.modality == kWindowModalityWindowModal && !o.parentWindow)
        return paramErr;
    auto* dialog = new NavDialog(kind, o, eventProc, filterProc, userData);
    dialog->SetAskDetail(detail);
    *outDialog = dialog;
    return noErr;
}

NavDialog* Live(NavDialogRef dialog) { return NavDialog::IsLive(dialog) ? dialog : nullptr; }

} // namespace

OSStatus NavGetDefaultDialogCreationOptions(NavDialogCreationOptions* outOptions)
{
    if (!outOptions)
        return paramErr;
    *outOptions = NavDialogCreationOptions {};
    return noErr;
}

OSStatus NavCreateGetFileDialog(NavDialogCreationOptions const* options, NavTypeListHandle, NavEventUPP eventProc,
    NavPreviewUPP, NavObjectFilterUPP filterProc, void* userData, NavDialogRef* outDialog)
{
    return Make(DialogKind::Open, options, eventProc, filterProc, userData, outDialog);
}

OSStatus NavCreatePutFileDialog(NavDialogCreationOptions const* options, OSType, OSType, NavEventUPP eventProc,
    void* userData, NavDialogRef* outDialog)
{
    return Make(DialogKind::Save, options, eventProc, nullptr, userData, outDialog);
}

OSStatus NavCreateChooseFolderDialog(NavDialogCreationOptions const* options, NavEventUPP eventProc,
    NavObjectFilterUPP filterProc, void* userData, NavDialogRef* outDialog)
{
    return Make(DialogKind::ChooseFolder, options, eventProc, filterProc, userData, outDialog);
}

OSStatus NavCreateAskSaveChangesDialog(NavDialogCreationOptions const* options, NavAskSaveChangesAction action,
    NavEventUPP eventProc, void* userData, NavDialogRef* outDialog)
{
    if (action > kNavSaveChangesQuittingApplication)
        return paramErr;
    return Make(DialogKind::SaveChanges, options, eventProc, nullptr, userData, outDialog, action);
}

OSStatus NavCreateAskReviewDocumentsDialog(NavDialogCreationOptions const* options, UInt32 documentCount,
    NavEventUPP eventProc, void* userData, NavDialogRef* outDialog)
{
    return Make(DialogKind::ReviewDocuments, options, eventProc, nullptr, userData, outDialog, documentCount);
}

OSStatus NavCreateAskDiscardChangesDialog(
    NavDialogCreationOptions const* options, NavEventUPP eventProc, void* userData, NavDialogRef* outDialog)
{
    return Make(DialogKind::DiscardChanges, options, eventProc, nullptr, userData, outDialog);
}

OSStatus NavDialogRun(NavDialogRef dialog)
{
    NavDialog* live = Live(dialog);
    return live ? live->Run() : paramErr;
}

void NavDialogDispose(NavDialogRef dialog)
{
    if (NavDialog* live = Live(dialog))
        live->Dispose();
}

WindowRef NavDialogGetWindow(NavDialogRef dialog)
{
    NavDialog* live = Live(dialog);
    return live ? live->GetWindow() : nullptr;
}

NavUserAction NavDialogGetUserAction(NavDialogRef dialog)
{
    NavDialog* live = Live(dialog);
    return live ? live->GetUserAction() : kNavUserActionNone;
}

OSStatus NavDialogGetReply(NavDialogRef dialog, NavReplyRecord* outReply)
{
    NavDialog* live = Live(dialog);
    return live ? live->GetReply(outReply) : paramErr;
}

OSStatus NavDisposeReply(NavReplyRecord* reply)
{
    if (!reply)
        return paramErr;
    AEDisposeDesc(&reply->selection);
    if (reply->saveFileName)
        CFRelease(reply->saveFileName);
    *reply = NavReplyRecord {};
    return noErr;
}

OSStatus NavCustomControl(NavDialogRef dialog, NavCustomControlMessage selector, void* parms)
{
    NavDialog* live = Live(dialog);
    if (!live)
        return paramErr;
    if (selector != kNavCtlSetLocation)
        return kNavInvalidCustomControlMessageErr;
    return live->SetLocation(tw::toolbox::dialogs::PathFromDesc(static_cast<AEDesc const*>(parms)));
}

OSStatus NavCompleteSave(NavReplyRecord* reply, NavTranslationOptions)
{
    return reply && reply->validRecord ? noErr : paramErr;
}
