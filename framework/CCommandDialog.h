#pragma once

// A window from a nib run modally until a command other than window selection
// arrives; the command's id is the answer. The window stays loaded between runs.

#include "foundation/CString.h"
#include "framework/CCarbonEventHandler.h"
#include "toolbox/HIViewTypes.h"
#include "toolbox/NibCalls.h"

class CMacWindow;

class CCommandDialog : public CCarbonEventHandler {
public:
    static constexpr UInt32 kCommandSelectWindow = 'swin';

    CCommandDialog(CString const& nibFile, CString const& windowName, ControlID* focus);
    ~CCommandDialog() override;

    OSStatus CreateWindow(CString const& nibFile, CString const& windowName, ControlID* focus);
    OSStatus CreateWindow(IBNibRef nib, CString const& windowName, ControlID* focus);
    OSStatus GetCreationStatus() const { return mStatus; }
    CMacWindow* GetWindow() const { return mWindow; }

    // The id of the ending command; 0 without a window.
    UInt32 DoDialog(bool hideWhenDone);

    OSStatus DoEventCommandProcess(CCarbonEvent& event) override;

private:
    CMacWindow* mWindow = nullptr; // owns
    UInt32 mCommand = 0;
    OSStatus mStatus = noErr;
};
