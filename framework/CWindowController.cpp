#include "framework/CWindowController.h"

#include "foundation/CString.h"
#include "framework/CApplication.h"
#include "framework/CMacWindow.h"
#include "framework/CMenuUtilities.h"
#include "toolbox/toolbar/ToolbarCalls.h"

CWindowController::~CWindowController()
{
    RemoveHandler();
    delete mWindow;
}

OSStatus CWindowController::Initialise(IBNibRef nibRef, CString const& nib, CString const& window)
{
    delete mWindow;
    mWindow = nibRef ? new CMacWindow(nibRef, window) : new CMacWindow(nib, window);
    if (!mWindow->GetWindowRef()) {
        delete mWindow;
        mWindow = nullptr;
        return memFullErr;
    }
    static EventTypeSpec const kEvents[] = {
        { 'wind' /* window */, 5 /* activated */ },
        { 'wind', 6 /* deactivated */ },
        { 'wind', 72 /* close */ },
        { 'cmds' /* command */, 1 /* process */ },
        { 0, 0 },
    };
    OSStatus status = InstallHandler(mWindow->GetWindowRef(), kEvents);
    if (status == noErr)
        status = InitialiseSelf();
    return status;
}

bool CWindowController::IsBusy() const
{
    if (!mWindow || !mWindow->GetWindowRef())
        return false;
    if (mWindow->HasSheet())
        return true;
    WindowClass windowClass = 0;
    GetWindowClass(mWindow->GetWindowRef(), &windowClass);
    switch (windowClass) {
    case kSheetWindowClass:
    case kSheetAlertWindowClass:
    case kModalWindowClass:
    case kMovableModalWindowClass:
    case kAlertWindowClass:
    case kMovableAlertWindowClass:
        return true;
    default:
        return HIWindowIsDocumentModalTarget(mWindow->GetWindowRef(), nullptr);
    }
}

SInt32 CWindowController::GetMenuStatus(HICommandExtended const& command)
{
    switch (command.commandID) {
    case kCommandClose:
        return IsBusy() ? kMenuStatusDisable : kMenuStatusEnable;
    case kCommandToggleToolbar: {
        HIToolbarRef const toolbar = GetWindowToolbar();
        if (!toolbar)
            return kMenuStatusDisable;
        // The item says what choosing it will do.
        if (command.attributes & kHICommandFromMenu) {
            CApplication* app = CApplication::GetApp();
            bool const visible = IsWindowToolbarVisible(mWindow->GetWindowRef());
            if (app)
                CMenuUtilities::SetMenuItemText(command.source.menu.menuRef, false, command.source.menu.menuItemIndex,
                    app->GetPropertyString(visible ? 'tbhd' : 'tbsh'));
        }
        return kMenuStatusEnable;
    }
    default:
        return CCarbonEventHandler::GetMenuStatus(command);
    }
}

OSStatus CWindowController::DoEventWindowActivated(CCarbonEvent& event) { return CallNextHandler(event); }

OSStatus CWindowController::DoEventWindowDeactivated(CCarbonEvent& event) { return CallNextHandler(event); }

OSStatus CWindowController::DoEventWindowClose(CCarbonEvent& event) { return CommandClose(); }

OSStatus CWindowController::DoEventCommandProcess(CCarbonEvent& event)
{
    switch (event.GetHICommand().commandID) {
    case kCommandClose:
        return CommandClose();
    case kCommandToggleToolbar:
        return CommandToggleToolbar();
    default:
        return eventNotHandledErr;
    }
}

OSStatus CWindowController::CommandClose()
{
    if (mHideOnClose) {
        if (mWindow)
            mWindow->SetVisible(false);
        return noErr;
    }
    delete this;
    return noErr;
}

OSStatus CWindowController::CommandToggleToolbar()
{
    if (!GetWindowToolbar())
        return eventNotHandledErr;
    WindowRef const window = mWindow->GetWindowRef();
    ShowHideWindowToolbar(window, !IsWindowToolbarVisible(window), true);
    return noErr;
}

HIToolbarRef CWindowController::GetWindowToolbar() const
{
    HIToolbarRef toolbar = nullptr;
    if (!mWindow || !mWindow->GetWindowRef() || ::GetWindowToolbar(mWindow->GetWindowRef(), &toolbar) != noErr)
        return nullptr;
    return toolbar;
}
