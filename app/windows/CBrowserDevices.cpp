#include "app/windows/CBrowserDevices.h"

#include "app/windows/CWindowDevice.h"

#include "devices/CDevice.h"
#include "devices/CDeviceManager.h"
#include "devices/DeviceTypes.h"
#include "widgets/CDataBrowser.h"


void CBrowserDevices::PopulateBrowser()
{
    CDataBrowser* browser = GetBrowser();
    if (!browser || !mManager || mManager->GetDevices().empty())
        return;
    std::vector<DataBrowserItemID> items;
    for (CDevice* device : mManager->GetDevices())
        items.push_back(reinterpret_cast<DataBrowserItemID>(device));
    browser->AddItems(items);
}

OSStatus CBrowserDevices::GetItemData(
    DataBrowserItemID item, DataBrowserItemDataRef data, DataBrowserPropertyID property)
{
    if (property != kPropertyDevice || item == kDataBrowserNoItem)
        return errDataBrowserPropertyNotSupported;
    CDeviceInfo const& info = reinterpret_cast<CDevice*>(item)->GetInfo();
    CIconRef const icon = info.GetIcon();
    if (icon.IsValid())
        SetDataBrowserItemDataIcon(data, icon.GetIconRef());
    return SetDataBrowserItemDataText(data, info.GetDescription().GetCFString());
}

long CBrowserDevices::CompareItems(DataBrowserItemID item1, DataBrowserItemID item2, DataBrowserPropertyID property)
{
    if (property != kPropertyDevice)
        return 0;
    return reinterpret_cast<CDevice*>(item1)->GetInfo().GetDescription().Compare(
        reinterpret_cast<CDevice*>(item2)->GetInfo().GetDescription());
}

void CBrowserDevices::ItemOpened(DataBrowserItemID item)
{
    if (item == kDataBrowserNoItem)
        return;
    CWindowDevice::Show(reinterpret_cast<CDevice*>(item));
}

void CBrowserDevices::DoMessage(UInt32 message, void* parameter)
{
    CDataBrowser* browser = GetBrowser();
    if (!browser || !parameter)
        return;
    DataBrowserItemID const item = reinterpret_cast<DataBrowserItemID>(parameter);
    if (message == kMsgDeviceAdded)
        browser->AddItem(item);
    else if (message == kMsgDeviceRemoved)
        browser->RemoveItem(item);
}
