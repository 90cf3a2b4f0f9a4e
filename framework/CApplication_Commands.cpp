#include "foundation/CFileUtilities.h"
#include "foundation/CTextUtilities.h"
#include "framework/CAboutBox.h"
#include "framework/CApplication.h"
#include "framework/CDocument.h"
#include "framework/CFileDialog.h"
#include "framework/CInternetUtilities.h"
#include "framework/CMacWindow.h"
#include "toolbox/WindowCalls.h"

SInt32 CApplication::GetMenuStatus(HICommandExtended const& command)
{
    switch (command.commandID) {
    case 'new ':
    case 'open':
        return kMenuStatusEnable;
    case 'clos':
        return ActiveNonFloatingWindow() ? kMenuStatusEnable : kMenuStatusDisable;
    default:
        return CCarbonEventHandler::GetMenuStatus(command);
    }
}

OSStatus CApplication::DoEventCommandProcess(CCarbonEvent& event)
{
    switch (event.GetHICommand().commandID) {
    case 'new ':
        return CommandCreate(nullptr, nullptr);
    case 'open':
        return CommandOpen();
    case 'quit':
        return CommandQuit();
    case 'abou':
        return CommandAbout();
    case 'pref':
        return CommandPrefs();
    case 'apUp':
        return CommandCheckForUpdate(true);
    case 'oons':
        return CommandOpenHomePage();
    case 'ohlp':
        return CommandOpenOnlineHelp();
    default:
        return eventNotHandledErr;
    }
}

OSStatus CApplication::DoEventAppActivated(CCarbonEvent& event)
{
    SendEventToDocuments(event, false);
    return eventNotHandledErr;
}

OSStatus CApplication::DoEventAppDeactivated(CCarbonEvent& event) { return eventNotHandledErr; }

OSStatus CApplication::DoEventAppleEvent(CCarbonEvent& event)
{
    EventQueueRef queue = GetMainEventQueue();
    if (IsEventInQueue(queue, event.GetEvent()))
        RemoveEventFromQueue(queue, event.GetEvent());
    EventRecord record {};
    ConvertEventRefToEventRecord(event.GetEvent(), &record);
    return AEProcessAppleEvent(&record);
}

OSStatus CApplication::CommandCreate(CFile const* file, CDocument** document)
{
    if (file) {
        for (CDocument* open : CDocument::GetDocuments(false)) {
            if (open->GetFile().IsSpecified() && open->GetFile().IsSameFile(*file)) {
                if (open->GetWindow())
                    open->GetWindow()->Select(true);
                return noErr;
            }
        }
    }
    CDocument* created = CreateDocument();
    if (!created)
        return memFullErr;
    OSStatus status = created->Initialise(file);
    if (status != noErr) {
        delete created;
        return status;
    }
    if (document)
        *document = created;
    return noErr;
}

CDocument* CApplication::CreateDocument() { return new CDocument(); }

OSStatus CApplication::CommandOpen()
{
    CFileDialog dialog;
    dialog.AddListener(this);
    FileDialogResult result;
    UInt32 action = dialog.ChooseFile(CTextUtilities::GetBundleString("Open"), CString(), nullptr, result);
    if (action == kNavUserActionCancel)
        return userCanceledErr;
    OSStatus status = CommandCreate(&result.file, nullptr);
    if (status != noErr)
        ShowOpenError(result.file, status);
    return status;
}

OSStatus CApplication::CommandAbout()
{
    CAboutBox* about = CAboutBox::GetInstance(false);
    about->SetProductName(GetPropertyString('anam'));
    about->SetProductVersion(GetPropertyString('aver'));
    about->SetCompanyName(GetPropertyString('cnam'));
    about->SetProductURL(GetPropertyString('uhom'));
    about->SetReleaseYear(GetPropertyString('arel'));
    about->SetUserData(this);
    about->DoDialog();
    return noErr;
}

OSStatus CApplication::CommandPrefs()
{
    Beep();
    return noErr;
}

OSStatus CApplication::CommandOpenHomePage()
{
    CInternetUtilities::LaunchURL(GetPropertyString('uhom'));
    return noErr;
}

OSStatus CApplication::CommandOpenOnlineHelp()
{
    CInternetUtilities::LaunchURL(GetPropertyString('uhlp'));
    return noErr;
}

OSStatus CApplication::ShowPrivacyPolicy()
{
    CInternetUtilities::LaunchURL(GetPropertyString('uprv'));
    return noErr;
}

UInt32 CApplication::GetSaveModeForFile(CFile const&) const { return CDocument::kSaveModeAsk; }
