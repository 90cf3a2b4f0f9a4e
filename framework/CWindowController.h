#pragma once

#include "framework/CCarbonEventHandler.h"
#include "toolbox/NibCalls.h"

class CMacWindow;
class CString;

// Owns one window made from a nib and turns its close box and its close and
// toolbar commands into virtual calls. Made in two steps: construct, then
// Initialise; the creator deletes a controller whose Initialise failed.
class CWindowController : public CCarbonEventHandler {
public:
    static constexpr UInt32 kCommandClose = 'clos';
    static constexpr UInt32 kCommandToggleToolbar = 'tbTo';

    CWindowController() = default;
    ~CWindowController() override;

    CMacWindow* GetWindow() const { return mWindow; }
    void SetHideOnClose(bool hide) { mHideOnClose = hide; }
    bool GetHideOnClose() const { return mHideOnClose; }
    OSStatus Close() { return CommandClose(); }

    // A sheet or a modal window is in the middle of something: it is not closed by command.
    bool IsBusy() const;
    // The toolbar the window carries, whoever put it there; null without one.
    HIToolbarRef GetWindowToolbar() const;

    SInt32 GetMenuStatus(HICommandExtended const& command) override;
    OSStatus DoEventWindowActivated(CCarbonEvent& event) override;
    OSStatus DoEventWindowDeactivated(CCarbonEvent& event) override;
    OSStatus DoEventWindowClose(CCarbonEvent& event) override;
    OSStatus DoEventCommandProcess(CCarbonEvent& event) override;

    virtual OSStatus Initialise(IBNibRef nibRef, CString const& nib, CString const& window);
    virtual OSStatus InitialiseSelf() { return noErr; }
    virtual OSStatus CommandClose();
    virtual OSStatus CommandToggleToolbar();

private:
    CMacWindow* mWindow = nullptr; // owns
    bool mHideOnClose = false;
};
