#pragma once

#include "foundation/CMsgListener.h"
#include "widgets/CDataBrowserSource.h"

class CDeviceManager;

// The devices window's list: one row per connected receiver (the item id is the CDevice),
// its icon and description in the column "devi". It follows the device manager's "dvad"
// and "dvrm" while attached; a double-click brings the receiver's status window to the
// front. Main thread only.
class CBrowserDevices : public CDataBrowserSource, public CMsgListener {
public:
    static constexpr DataBrowserPropertyID kPropertyDevice = 'devi';

    CBrowserDevices() = default;

    // The manager whose devices are listed; it is the broadcaster this source listens to.
    void SetDeviceManager(CDeviceManager* manager) { mManager = manager; }

    void PopulateBrowser() override;
    OSStatus GetItemData(DataBrowserItemID item, DataBrowserItemDataRef data, DataBrowserPropertyID property) override;
    long CompareItems(DataBrowserItemID item1, DataBrowserItemID item2, DataBrowserPropertyID property) override;
    void ItemOpened(DataBrowserItemID item) override;
    bool OpensItems() const override { return true; }
    void DoMessage(UInt32 message, void* parameter) override;

private:
    CDeviceManager* mManager = nullptr; // weak: outlives every window
};
