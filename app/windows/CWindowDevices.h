#pragma once

#include "app/CTWApplication.h"
#include "docwindow/CTWWindow.h"
#include "app/windows/CBrowserDevices.h"
#include "framework/CWindowController.h"

class CDataBrowser;
class CDeviceManager;

// The list of connected GPS receivers: one window, made on first use and hidden rather
// than closed, kept out of the Window menu. Main thread only.
class CWindowDevices : public CWindowController, public CTWWindow {
public:
    static constexpr char const* kNibFile = "Tarnwick";
    static constexpr char const* kNibWindow = "Devices";
    static constexpr OSType kControlList = 'devl';

    // The manager the window lists; set before the first GetInstance (the application's).
    static void SetDeviceManager(CDeviceManager* manager);
    static CDeviceManager* GetDeviceManager();
    // The one window, made on first use; null when it cannot be made.
    static CWindowDevices* GetInstance();
    // Tests only: the window goes, so that the next GetInstance makes a fresh one.
    static void ResetForTesting();

    CWindowDevices() = default;
    ~CWindowDevices() override;

    CDataBrowser* GetList() const { return mList; }
    CBrowserDevices& GetSource() { return mSource; }

    OSStatus DoEventCommandProcess(CCarbonEvent& event) override;
    OSStatus InitialiseSelf() override;

private:
    CDataBrowser* mList = nullptr; // weak: a view of the window
    CBrowserDevices mSource;
};
