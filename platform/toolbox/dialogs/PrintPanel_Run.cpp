#include "toolbox/dialogs/DialogKit.h"
#include "toolbox/dialogs/PrintPanel.h"

namespace tw::toolbox::dialogs {

namespace {

    constexpr UInt32 kCommandDestination = 'pdst';
    constexpr UInt32 kCommandAllPages = 'pall';

} // namespace

OSStatus PrintPanel::Run(Boolean* accepted)
{
    if (!mWindow)
        return memFullErr;
    if (mSheet) {
        OSStatus const status = ShowSheetWindow(mWindow, mSession->mSheetWindow);
        if (status != noErr)
            return status;
    } else {
        RepositionWindow(mWindow, nullptr, kWindowAlertPositionOnMainScreen);
        ShowWindow(mWindow);
    }
    DialogKind const kind = IsPrint() ? DialogKind::Print : DialogKind::PageSetup;
    mPending.Schedule(kind, "", [this](Answer const& answer) { ApplyAnswer(answer); });
    if (mSheet)
        return noErr;
    mRunning = true;
    RunAppModalLoopForWindow(mWindow);
    mRunning = false;
    mPending.Clear();
    HideWindow(mWindow);
    if (accepted)
        *accepted = mAccepted;
    return noErr;
}

void PrintPanel::Complete(bool accepted)
{
    if (mDone)
        return;
    mDone = true;
    mAccepted = accepted;
    mPending.Clear();
    if (!mSheet) {
        if (mRunning)
            QuitAppModalLoopForWindow(mWindow);
        return;
    }
    HideSheetWindow(mWindow);
    PrintSession* session = mSession;
    PrintPanel* panel = this;
    // Outside this window's own event: the sheet-done procedure may end the session.
    RunSoon([session, panel, accepted] {
        if (!PrintObject::IsLive(session) || session->mPanel.get() != panel)
            return;
        std::unique_ptr<PrintPanel> ending = std::move(session->mPanel);
        session->Retain();
        WindowRef const window = session->mSheetWindow;
        if (session->mSheetDone)
            session->mSheetDone(session, window, accepted);
        session->Release();
    });
}

void PrintPanel::ApplyAnswer(Answer const& answer)
{
    if (answer.cancel) {
        Complete(false);
        return;
    }
    if (IsPrint() && !answer.paths.empty()) {
        SetControl32BitValue(mDestinationPopup, mPrinter.empty() ? 1 : 2);
        CFStringRef path = tw::cf::CreateString(answer.paths.front());
        SetControlData(mFileField, kControlEditTextPart, kControlEditTextCFStringTag, sizeof path, &path);
        CFRelease(path);
        DestinationChanged();
    }
    if (Store())
        Complete(true);
    else
        Complete(false);
}

OSStatus PrintPanel::Handle(EventHandlerCallRef, EventRef event, void* data)
{
    auto* self = static_cast<PrintPanel*>(data);
    HICommand command {};
    GetEventParameter(event, kEventParamDirectObject, typeHICommand, nullptr, sizeof command, nullptr, &command);
    switch (command.commandID) {
    case kHICommandOK:
        if (self->Store())
            self->Complete(true);
        return noErr;
    case kHICommandCancel:
        self->Complete(false);
        return noErr;
    case kCommandDestination:
    case kCommandAllPages:
        self->DestinationChanged();
        return noErr;
    default:
        return eventNotHandledErr;
    }
}

} // namespace tw::toolbox::dialogs
