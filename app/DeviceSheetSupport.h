#pragma once

// What the record-track and transfer sheets share: the application's device
// registry they offer devices from, and the device popup they keep in step
// with it. Main thread only.

#include "foundation/CString.h"

#include <functional>
#include <vector>

class CDevice;
class CDeviceManager;
class CPopupButton;
class CWindowController;
class CWindowDocument;

namespace DeviceSheetSupport {

// The registry the sheets list: the one set here, else the running application's (null: none).
void SetDeviceManager(CDeviceManager* manager);
CDeviceManager* GetDeviceManager();

// The shell's sheets of a document for track recording and transfers (CWindowDocument's
// sheet kinds 8 to 11), made from the nib; null for other kinds or when the window cannot be
// made. The caller owns it.
CWindowController* MakeDocumentSheet(UInt32 kind, CWindowDocument& document);

// The "devi" popup and the devices it lists, in the registry's order.
class DeviceMenu {
public:
    using Filter = std::function<bool(CDevice const*)>;

    void SetPopup(CPopupButton* popup) { mPopup = popup; }
    // Lists the registry's devices that pass the filter, without the one going (if any),
    // keeping the chosen device chosen when it is still there. False when the list is as it was
    // (the popup is then left alone).
    bool Rebuild(Filter const& filter, CDevice const* going = nullptr);
    // The next rebuild fills the popup even when the list is the same.
    void Invalidate() { mBuilt = false; }
    // Null when the list is empty.
    CDevice* GetSelected() const;
    std::vector<CDevice*> const& GetDevices() const { return mDevices; }
    bool IsEmpty() const { return mDevices.empty(); }

private:
    void Fill(CDevice const* keep);

    CPopupButton* mPopup = nullptr; // weak: the sheet window's
    std::vector<CDevice*> mDevices; // borrowed: the registry's; rebuilt on "dvrm" before they go
    bool mBuilt = false;
};

} // namespace DeviceSheetSupport
