#include "framework/CPrintDialog.h"

#include "foundation/StCFRef.h"
#include "toolbox/WindowCalls.h"

namespace {

constexpr PropertyCreator kPropertyCreator = 'Twck';

} // namespace

PMSheetDoneUPP const CPrintDialog::mSheetDone = &CPrintDialog::SheetDone;

CPrintDialog::CPrintDialog(bool quickDraw)
    : mQuickDraw(quickDraw)
{
    mResult.dialog = this;
}

CPrintDialog::~CPrintDialog()
{
    RemoveTimer();
    DestroySession();
}

OSStatus CPrintDialog::CreateSession()
{
    OSStatus status = noErr;
    if (!mSession)
        status = PMCreateSession(&mSession);
    if (status == noErr && !mPageFormat) {
        status = PMCreatePageFormat(&mPageFormat);
        if (status == noErr)
            status = PMSessionDefaultPageFormat(mSession, mPageFormat);
    }
    if (status == noErr && !mPrintSettings) {
        status = PMCreatePrintSettings(&mPrintSettings);
        if (status == noErr)
            status = PMSessionDefaultPrintSettings(mSession, mPrintSettings);
    }
    if (status == noErr) {
        StCFRef<CFStringRef> context(CFStringCreateWithCString(
            nullptr, mQuickDraw ? kPMGraphicsContextQuickDraw : kPMGraphicsContextCoreGraphics, kCFStringEncodingUTF8));
        void const* values[1] = { context.Get() };
        StCFRef<CFArrayRef> contexts(CFArrayCreate(nullptr, values, 1, &kCFTypeArrayCallBacks));
        StCFRef<CFStringRef> format(
            CFStringCreateWithCString(nullptr, kPMDocumentFormatDefault, kCFStringEncodingUTF8));
        status = PMSessionSetDocumentFormatGeneration(mSession, format, contexts, nullptr);
    }
    if (status == noErr)
        status = PMSessionValidatePageFormat(mSession, mPageFormat, nullptr);
    return status;
}

OSStatus CPrintDialog::PrepareSession(PrintDialogType kind)
{
    OSStatus const status = CreateSession();
    if (status != noErr)
        return status;
    mResult.kind = kind;
    if (!mParent)
        return PMSessionUseSheets(mSession, nullptr, nullptr);
    SelectWindow(mParent);
    CPrintDialog* self = this;
    SetWindowProperty(mParent, kPropertyCreator, kPropertyPrintDialog, sizeof self, &self);
    mPropertyWindow = mParent;
    return PMSessionUseSheets(mSession, mParent, mSheetDone);
}

void CPrintDialog::ForgetParent()
{
    if (mPropertyWindow) {
        CPrintDialog* current = nullptr;
        if (GetWindowProperty(
                mPropertyWindow, kPropertyCreator, kPropertyPrintDialog, sizeof current, nullptr, &current)
                == noErr
            && current == this)
            RemoveWindowProperty(mPropertyWindow, kPropertyCreator, kPropertyPrintDialog);
    }
    mPropertyWindow = nullptr;
}

void CPrintDialog::EndSession()
{
    ForgetParent();
    // Releasing the session closes a running sheet without its sheet-done call.
    if (mSession)
        PMRelease(mSession);
    if (mPrintSettings)
        PMRelease(mPrintSettings);
    mSession = nullptr;
    mPrintSettings = nullptr;
    mResult.kind = kPrintDialogNone;
}

void CPrintDialog::DestroySession()
{
    EndSession();
    if (mPageFormat)
        PMRelease(mPageFormat);
    mPageFormat = nullptr;
}

OSStatus CPrintDialog::RunDialog(PrintDialogType kind)
{
    OSStatus status = PrepareSession(kind);
    Boolean accepted = false;
    if (status == noErr)
        status = kind == kPrintDialogPageSetup ? PMSessionPageSetupDialog(mSession, mPageFormat, &accepted)
                                               : PMSessionPrintDialog(mSession, mPrintSettings, mPageFormat, &accepted);
    if (mParent && status == noErr)
        return noErr; // the answer comes through SheetDone
    mResult.kind = kPrintDialogNone;
    if (status == noErr && !accepted)
        status = userCanceledErr;
    return status;
}

OSStatus CPrintDialog::DoPageSetup() { return RunDialog(kPrintDialogPageSetup); }

OSStatus CPrintDialog::DoPrint()
{
    if (mBroadcasting) {
        InstallTimer(kDeferredPrintDelay, kDeferredPrintDelay);
        return noErr;
    }
    return RunDialog(kPrintDialogPrint);
}

void CPrintDialog::DoTimer()
{
    if (mBroadcasting)
        return;
    RemoveTimer();
    DoPrint();
}

void CPrintDialog::SheetDone(PMPrintSession, WindowRef window, Boolean accepted)
{
    CPrintDialog* self = nullptr;
    if (!window
        || GetWindowProperty(window, kPropertyCreator, kPropertyPrintDialog, sizeof self, nullptr, &self) != noErr
        || !self)
        return;
    self->mResult.accepted = accepted;
    self->mBroadcasting = true;
    PrintDialogResult result = self->mResult;
    // A listener may destroy the dialog, or end its session (which also forgets the window's
    // property): only the first means the flag cannot be cleared, and a flag left set would
    // hold every later print back.
    std::weak_ptr<char> const life = self->mLife;
    self->BroadcastMessage(kMsgPrintDialogResult, &result);
    if (life.expired())
        return;
    self->mBroadcasting = false;
    self->mResult.kind = kPrintDialogNone;
}
