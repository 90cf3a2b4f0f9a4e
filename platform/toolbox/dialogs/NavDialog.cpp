#include "toolbox/dialogs/NavDialog.h"

#include "toolbox/dialogs/DialogKit.h"
#include "toolbox/dialogs/NavFiles.h"

#include <set>

namespace tw::toolbox::dialogs {

namespace {

    std::set<NavDialog const*> sLive;

    void RetainOptionStrings(NavDialogCreationOptions& options)
    {
        CFTypeRef const refs[] = { options.clientName, options.windowTitle, options.actionButtonLabel,
            options.cancelButtonLabel, options.saveFileName, options.message, options.popupExtension };
        for (CFTypeRef ref : refs)
            if (ref)
                CFRetain(ref);
    }

    void ReleaseOptionStrings(NavDialogCreationOptions& options)
    {
        CFTypeRef const refs[] = { options.clientName, options.windowTitle, options.actionButtonLabel,
            options.cancelButtonLabel, options.saveFileName, options.message, options.popupExtension };
        for (CFTypeRef ref : refs)
            if (ref)
                CFRelease(ref);
    }

} // namespace

NavDialog::NavDialog(DialogKind kind, NavDialogCreationOptions const& options, NavEventUPP eventProc,
    NavObjectFilterUPP filterProc, void* userData)
    : mKind(kind)
    , mOptions(options)
    , mEventProc(eventProc)
    , mFilterProc(filterProc)
    , mUserData(userData)
    , mFolder(HomeFolder())
{
    RetainOptionStrings(mOptions);
    sLive.insert(this);
}

NavDialog::~NavDialog()
{
    sLive.erase(this);
    mPending.Clear();
    mAsk.reset();
    if (mWindow) {
        WindowRef parent = nullptr;
        if (GetSheetWindowParent(mWindow, &parent) == noErr && parent)
            HideSheetWindow(mWindow);
        DisposeWindow(mWindow);
    }
    ReleaseOptionStrings(mOptions);
}

bool NavDialog::IsLive(NavDialog const* dialog) { return dialog && sLive.count(dialog) != 0; }

bool NavDialog::IsAsk() const
{
    return mKind == DialogKind::SaveChanges || mKind == DialogKind::ReviewDocuments
        || mKind == DialogKind::DiscardChanges;
}

bool NavDialog::IsSheet() const
{
    return mOptions.modality == kWindowModalityWindowModal && mOptions.parentWindow != nullptr;
}

WindowRef NavDialog::GetWindow() const { return mAsk ? mAsk->GetWindow() : mWindow; }

OSStatus NavDialog::Run()
{
    if (mShown)
        return kNavWrongDialogStateErr;
    if (IsAsk() ? (BuildAsk(), !mAsk->GetWindow()) : (BuildBrowser(), !mWindow))
        return memFullErr;
    mShown = true;
    Callback(kNavCBStart, kNavUserActionNone, nullptr);
    if (!IsLive(this))
        return noErr;
    if (IsSheet()) {
        OSStatus const status = ShowSheetWindow(GetWindow(), mOptions.parentWindow);
        if (status != noErr)
            return status;
    } else {
        RepositionWindow(GetWindow(), nullptr, kWindowAlertPositionOnMainScreen);
        ShowWindow(GetWindow());
    }
    if (!mAsk)
        mPending.Schedule(mKind, ToString(mOptions.message), [this](Answer const& answer) { ApplyAnswer(answer); });
    if (IsSheet())
        return noErr;
    mRunning = true;
    if (mAsk) {
        DialogItemIndex const item = mAsk->RunModal(false);
        mPendingAction = item == 1 ? AskActions()[0] : item == 3 ? AskActions()[2] : kNavUserActionCancel;
    } else {
        RunAppModalLoopForWindow(mWindow);
    }
    mRunning = false;
    if (mDisposeAsked) {
        delete this;
        return noErr;
    }
    Finish(mPendingAction ? mPendingAction : kNavUserActionCancel);
    return noErr;
}

void NavDialog::Dispose()
{
    if (mCallbackDepth > 0 || mRunning) {
        mDisposeAsked = true;
        if (mRunning && GetWindow())
            QuitAppModalLoopForWindow(GetWindow());
        return;
    }
    delete this;
}

void NavDialog::Complete(NavUserAction action)
{
    mCompleting = true;
    if (mRunning) {
        mPendingAction = action;
        QuitAppModalLoopForWindow(GetWindow());
        return;
    }
    mPending.Clear();
    RunSoon([this, action] {
        if (IsLive(this) && mAction == kNavUserActionNone)
            Finish(action);
    });
}

void NavDialog::Finish(NavUserAction action)
{
    mAction = action;
    mPending.Clear();
    if (mWindow) {
        if (IsSheet())
            HideSheetWindow(mWindow);
        else
            HideWindow(mWindow);
    }
    Callback(kNavCBUserAction, action, nullptr);
    if (!IsLive(this))
        return;
    Callback(kNavCBTerminate, action, nullptr);
    if (IsLive(this) && mDisposeAsked)
        delete this;
}

void NavDialog::Callback(NavEventCallbackMessage selector, NavUserAction action, void* param)
{
    if (!mEventProc || mDisposeAsked)
        return; // a client that disposed of the dialog hears nothing more: it may be gone
    NavCBRec record;
    record.context = this;
    record.window = GetWindow();
    record.userAction = action;
    record.eventData.eventDataParms.param = param;
    ++mCallbackDepth;
    mEventProc(selector, &record, mUserData);
    --mCallbackDepth;
}

OSStatus NavDialog::GetReply(NavReplyRecord* reply) const
{
    if (!reply)
        return paramErr;
    *reply = NavReplyRecord {};
    bool const valid
        = mAction == kNavUserActionOpen || mAction == kNavUserActionSaveAs || mAction == kNavUserActionChoose;
    if (!valid)
        return kNavWrongDialogStateErr;
    OSStatus status = AECreateList(nullptr, 0, false, &reply->selection);
    for (std::size_t i = 0; status == noErr && i < mChosen.size(); ++i) {
        AEDesc item {};
        status = MakeFileDesc(mChosen[i], &item);
        if (status == noErr)
            status = AEPutDesc(&reply->selection, static_cast<long>(i + 1), &item);
        AEDisposeDesc(&item);
    }
    if (status != noErr) {
        AEDisposeDesc(&reply->selection);
        return status;
    }
    reply->validRecord = true;
    reply->replacing = mReplacing;
    if (mAction == kNavUserActionSaveAs)
        reply->saveFileName = tw::cf::CreateString(mSaveName);
    return noErr;
}

OSStatus NavDialog::SetLocation(std::string const& path)
{
    std::string const folder = FolderOf(path);
    if (folder.empty())
        return fnfErr;
    mFolder = folder;
    if (mList)
        Fill();
    return noErr;
}

std::vector<FileEntry> NavDialog::ListedEntries() const { return mList ? mList->Entries() : std::vector<FileEntry> {}; }

} // namespace tw::toolbox::dialogs
