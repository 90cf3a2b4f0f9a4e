#include "app/DeviceSheetSupport.h"

#include "app/CSheetProgress.h"
#include "app/CSheetTrackConfig.h"
#include "app/CSheetTransferConfig.h"
#include "app/CTWApplication.h"
#include "docwindow/CWindowDocument.h"

#include "devices/CDevice.h"
#include "devices/CDeviceManager.h"
#include "widgets/CPopupButton.h"

#include <algorithm>

namespace DeviceSheetSupport {

namespace {
    CDeviceManager* sDeviceManager = nullptr; // borrowed: the application's
}

void SetDeviceManager(CDeviceManager* manager) { sDeviceManager = manager; }
CDeviceManager* GetDeviceManager()
{
    if (sDeviceManager)
        return sDeviceManager;
    return CTWApplication::GetTWApp() ? &CTWApplication::GetDeviceManager() : nullptr;
}

namespace {
    template <typename Sheet> CWindowController* MakeDocumentSheetFromNib(Sheet* sheet)
    {
        if (sheet->Initialise(nullptr, CString("Tarnwick"), CString(Sheet::kNibWindow)) != noErr) {
            delete sheet;
            return nullptr;
        }
        return sheet;
    }
}

CWindowController* MakeDocumentSheet(UInt32 kind, CWindowDocument& document)
{
    switch (kind) {
    case CWindowDocument::kSheetTrackConfig:
        return MakeDocumentSheetFromNib(new CSheetTrackConfig);
    case CWindowDocument::kSheetTrackProgress:
        return MakeDocumentSheetFromNib(new CSheetTrackProgress);
    case CWindowDocument::kSheetTransferConfig:
        return MakeDocumentSheetFromNib(new CSheetTransferConfig(&document));
    case CWindowDocument::kSheetTransferProgress:
    case CWindowDocument::kSheetWorkProgress: // a long import or save: the same counting bar and Cancel
        return MakeDocumentSheetFromNib(new CSheetTransferProgress);
    default:
        return nullptr;
    }
}

bool DeviceMenu::Rebuild(Filter const& filter, CDevice const* going)
{
    std::vector<CDevice*> devices;
    if (CDeviceManager* manager = GetDeviceManager())
        for (CDevice* device : manager->GetDevices())
            if (device != going && (!filter || filter(device)))
                devices.push_back(device);
    if (mBuilt && devices == mDevices)
        return false;
    CDevice* const selected = GetSelected();
    mDevices = std::move(devices);
    mBuilt = true;
    Fill(selected);
    return true;
}

void DeviceMenu::Fill(CDevice const* keep)
{
    if (!mPopup)
        return;
    mPopup->DeleteAllMenuItems();
    UInt16 count = 0;
    for (CDevice* device : mDevices)
        mPopup->InsertItem(device->GetInfo().GetName(), count++, 0, 0);
    mPopup->SetMaximumValue(long(mDevices.size()));
    if (mDevices.empty()) {
        mPopup->SetCurrentValue(0);
        return;
    }
    auto const found = std::find(mDevices.begin(), mDevices.end(), keep);
    mPopup->SetCurrentValue(found == mDevices.end() ? 1 : long(found - mDevices.begin()) + 1);
}

CDevice* DeviceMenu::GetSelected() const
{
    if (!mPopup || mDevices.empty())
        return nullptr;
    long const item = mPopup->GetCurrentValue();
    if (item < 1 || std::size_t(item) > mDevices.size())
        return nullptr;
    return mDevices[std::size_t(item) - 1];
}

} // namespace DeviceSheetSupport
