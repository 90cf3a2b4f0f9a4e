#include "framework/CApplication.h"
#include "framework/CDocument.h"
#include "framework/CMacWindow.h"

// Also reached through the close box and the application's close events while quitting.
OSStatus CDocument::CommandClose()
{
    // The work has the document on its stack: a close or quit asked for meanwhile is refused.
    if (IsBusy()) {
        if (GetWindow())
            GetWindow()->Select(true);
        EndClosing();
        return noErr;
    }
    bool wasClosingForQuit = mClosingForQuit;
    if (mModified && mSaveMode == kSaveModeAlways && CommandSave() != noErr)
        return noErr; // the failure was reported and the document stays
    UInt32 mode = CApplication::GetAppMode();
    if (mModified) {
        if (IsDialogActive()) {
            if (GetWindow())
                GetWindow()->Select(true);
            return noErr;
        }
        switch (mode) {
        case CApplication::kModeQuitDiscard:
            delete this;
            break;
        case CApplication::kModeQuitOne:
        case CApplication::kModeQuitReview:
            mClosingForQuit = true;
            mFileDialog.AskSaveChanges(kNavSaveChangesOther);
            break;
        case CApplication::kModeRunning:
            mFileDialog.AskSaveChanges(kNavSaveChangesClosingDocument);
            break;
        default:
            break;
        }
        return noErr;
    }
    bool continueQuit
        = wasClosingForQuit && (mode == CApplication::kModeQuitOne || mode == CApplication::kModeQuitReview);
    delete this;
    if (continueQuit && CApplication::GetApp())
        CApplication::GetApp()->ContinueClosingDocs();
    return noErr;
}

OSStatus CDocument::CommandCancel()
{
    mCloseAfterSave = false;
    mClosingForQuit = false;
    if (mFileDialog.IsActive())
        mFileDialog.Cancel();
    if (mPrintDialog.IsActive())
        mPrintDialog.EndSession();
    return noErr;
}

OSStatus CDocument::DoEventAppActivated(CCarbonEvent& event)
{
    UpdateFileProxy(false);
    return noErr;
}

OSStatus CDocument::DoEventWindowActivated(CCarbonEvent& event)
{
    CApplication* app = CApplication::GetApp();
    // While the user reviews unsaved documents, the one brought forward asks about itself.
    // One that saves on close is gone afterwards: nothing of it is touched, and answering
    // "not handled" passes the event on as the call below would.
    if (CApplication::GetAppMode() == CApplication::kModeQuitReview && mModified && !IsDialogActive()) {
        CommandClose();
        if (!IsDocument(this))
            return eventNotHandledErr;
    }
    if (app && app->GetCurrentDocument() != this)
        app->SetCurrentDocument(this);
    return CallNextHandler(event);
}
