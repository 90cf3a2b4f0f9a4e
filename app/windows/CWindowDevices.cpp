#include "app/windows/CWindowDevices.h"

#include "devices/CDeviceManager.h"
#include "foundation/CTextUtilities.h"
#include "framework/CMacWindow.h"
#include "framework/ConstructController.h"
#include "widgets/CDataBrowser.h"

namespace {

CWindowDevices* sDevicesWindow = nullptr; // owns: lives until the process ends
CDeviceManager* sDeviceManager = nullptr; // weak: the application's

} // namespace

void CWindowDevices::SetDeviceManager(CDeviceManager* manager) { sDeviceManager = manager; }

CDeviceManager* CWindowDevices::GetDeviceManager() { return sDeviceManager; }

CWindowDevices* CWindowDevices::GetInstance()
{
    if (!sDevicesWindow)
        sDevicesWindow = ConstructController<CWindowDevices>(kNibFile, kNibWindow, true);
    return sDevicesWindow;
}

void CWindowDevices::ResetForTesting()
{
    delete sDevicesWindow;
    sDevicesWindow = nullptr;
}

// The source stops listening as it goes (a listener leaves its broadcasters).
CWindowDevices::~CWindowDevices()
{
    if (mList)
        mList->SetSource(nullptr);
}

OSStatus CWindowDevices::DoEventCommandProcess(CCarbonEvent& event)
{
    return CWindowController::DoEventCommandProcess(event);
}

OSStatus CWindowDevices::InitialiseSelf()
{
    mList = CDataBrowser::Find(GetWindow(), kControlList, 0);
    if (!mList)
        return errUnknownControl;
    // The nib cannot describe list columns: the one column the list needs is made here.
    DataBrowserTableViewColumnIndex position = 0;
    if (mList->GetStyle() == kDataBrowserListView
        && GetDataBrowserTableViewColumnPosition(mList->GetControlRef(), CBrowserDevices::kPropertyDevice, &position)
            != noErr) {
        DataBrowserListViewColumnDesc column {};
        column.propertyDesc = { CBrowserDevices::kPropertyDevice, kDataBrowserIconAndTextType, 0 };
        column.headerBtnDesc.minimumWidth = 100;
        column.headerBtnDesc.maximumWidth = 1000;
        CString const title = CTextUtilities::GetBundleString("BrowserDevice");
        column.headerBtnDesc.titleString = title.GetCFString();
        AddDataBrowserListViewColumn(mList->GetControlRef(), &column, kDataBrowserListViewAppendColumn);
    }
    mSource.SetDeviceManager(sDeviceManager);
    if (sDeviceManager)
        sDeviceManager->AddListener(&mSource);
    mList->SetSource(&mSource);
    GetWindow()->SetAttributes(0, kWindowInWindowMenuAttribute);
    return noErr;
}
