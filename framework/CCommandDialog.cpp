#include "framework/CCommandDialog.h"

#include "display/CursorCalls.h"
#include "framework/CMacWindow.h"
#include "toolbox/HIViewCalls.h"

#include <new>

CCommandDialog::CCommandDialog(CString const& nibFile, CString const& windowName, ControlID* focus)
{
    mStatus = CreateWindow(nibFile, windowName, focus);
}

CCommandDialog::~CCommandDialog()
{
    RemoveHandler();
    delete mWindow;
}

OSStatus CCommandDialog::CreateWindow(CString const& nibFile, CString const& windowName, ControlID* focus)
{
    IBNibRef nib = nullptr;
    OSStatus const status = CreateNibReference(nibFile.GetCFString(), &nib);
    if (status != noErr)
        return status;
    OSStatus const created = CreateWindow(nib, windowName, focus);
    DisposeNibReference(nib);
    return created;
}

OSStatus CCommandDialog::CreateWindow(IBNibRef nib, CString const& windowName, ControlID* focus)
{
    if (mWindow)
        return paramErr; // one window per dialog
    WindowRef window = nullptr;
    OSStatus const status = CreateWindowFromNib(nib, windowName.GetCFString(), &window);
    if (status != noErr)
        return status;
    mWindow = new (std::nothrow) CMacWindow(window);
    ReleaseWindow(window);
    if (!mWindow || !mWindow->GetWindowRef()) {
        delete mWindow;
        mWindow = nullptr;
        return memFullErr;
    }
    ControlRef control = nullptr;
    if (focus && GetControlByID(mWindow->GetWindowRef(), focus, &control) == noErr && control)
        SetKeyboardFocus(mWindow->GetWindowRef(), control, kControlFocusNextPart);
    AddEvent(kEventClassCommand, kEventCommandProcess);
    return InstallHandler(mWindow->GetWindowRef());
}

UInt32 CCommandDialog::DoDialog(bool hideWhenDone)
{
    if (!mWindow)
        return 0;
    mCommand = 0;
    if (!mWindow->IsVisible())
        mWindow->SetVisible(true);
    SetThemeCursor(kThemeArrowCursor);
    mWindow->RunModalEventLoop();
    if (hideWhenDone)
        mWindow->SetVisible(false);
    return mCommand;
}

OSStatus CCommandDialog::DoEventCommandProcess(CCarbonEvent& event)
{
    UInt32 const command = event.GetHICommand().commandID;
    if (command == kCommandSelectWindow)
        return eventNotHandledErr;
    mCommand = command;
    mWindow->QuitModalEventLoop();
    return noErr;
}
