#include "devices/CDeviceManager.h"

#include "devices/CDevice.h"
#include "devices/CDeviceGarmin.h"
#include "devices/CDeviceNMEA.h"
#include "devices/CUSBTransportGarmin.h"
#include "devices/CUdevMonitor.h"
#include "foundation/CDebugLog.h"
#include "foundation/CFileUtilities.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>

namespace {

std::vector<CString> SerialPortsFromEnvironment()
{
    std::vector<CString> ports;
    char const* value = std::getenv(CDeviceManager::kSerialPortsVariable);
    std::string_view list = value ? value : "";
    while (!list.empty()) {
        std::size_t colon = list.find(':');
        std::string path(list.substr(0, colon));
        if (!path.empty())
            ports.emplace_back(path.c_str());
        list = colon == std::string_view::npos ? std::string_view() : list.substr(colon + 1);
    }
    return ports;
}

} // namespace

CDeviceManager::CDeviceManager()
{
    Setup setup;
    setup.descriptionFolders = GetDescriptionFolders();
    setup.monitor = std::make_unique<CUdevMonitor>();
    setup.serialPorts = SerialPortsFromEnvironment();
    Start(setup);
}

CDeviceManager::CDeviceManager(Setup setup) { Start(setup); }

CDeviceManager::~CDeviceManager()
{
    mDestroying = true;
    if (mMonitor)
        mMonitor->Stop();
    mMonitor.reset();
    RemoveTimer();
    mGone.clear();
    while (!mDrivers.empty()) {
        CDeviceGPS* driver = mDrivers.back().driver;
        mDrivers.pop_back();
        DeleteDriver(driver);
    }
}

std::vector<CFile> CDeviceManager::GetDescriptionFolders()
{
    std::vector<CFile> folders;
    for (short domain : { kUserDomain, kLocalDomain, kSystemDomain }) {
        CFile support = CFileUtilities::FindFolder(domain, kApplicationSupportFolderType, false, CString());
        if (support.IsSpecified())
            folders.push_back(support.GetChild("Tarnwick").GetChild("Devices"));
    }
    if (CFile bundled = CFileUtilities::GetBundleResource("Devices", CString(), CString()); bundled.IsSpecified())
        folders.push_back(bundled);
    return folders;
}

void CDeviceManager::Start(Setup& setup)
{
    LoadDescriptions(setup.descriptionFolders);
    mTransportMaker = setup.garminTransport;
    mFactories = {
        { DeviceNotice::kKindUSB, CUSBTransportGarmin::kVendorGarmin, CUSBTransportGarmin::kProductGarminUSB,
            &CDeviceManager::MakeGarmin, this },
        { DeviceNotice::kKindSerial, 0, 0, &CDeviceManager::MakeNMEA, this },
    };
    for (CString const& port : setup.serialPorts) {
        DeviceNotice notice;
        notice.kind = DeviceNotice::kKindSerial;
        notice.key = CString("port:") + port;
        notice.path = port;
        PortAdded(notice);
    }
    mMonitor = std::move(setup.monitor);
    if (mMonitor)
        mMonitor->Start(&CDeviceManager::Notice, this);
}

void CDeviceManager::LoadDescriptions(std::vector<CFile> const& folders)
{
    for (CFile const& folder : folders) {
        std::vector<std::filesystem::path> bundles;
        std::error_code error;
        for (auto const& item : std::filesystem::directory_iterator(folder.GetPath(), error))
            if (item.path().extension() == std::string(".") + CDeviceDescription::kExtension)
                bundles.push_back(item.path());
        std::sort(bundles.begin(), bundles.end());
        for (auto const& path : bundles) {
            auto description = std::make_unique<CDeviceDescription>();
            OSStatus status = description->Initialise(CFile(CString(path.c_str())));
            // A description in the user's folder stands in for the program's own of the same identifier.
            bool duplicate = status == noErr
                && std::any_of(mDescriptions.begin(), mDescriptions.end(),
                    [&](auto const& other) { return other->GetIdentifier() == description->GetIdentifier(); });
            if (status != noErr || duplicate) {
                CDebugLog::GetDebugLog()->Log(CDebugLog::kPriorityWarning, "Device", "Device description %s %s (%d)",
                    path.c_str(), duplicate ? "already loaded from another folder" : "refused", int(status));
                continue;
            }
            mDescriptions.push_back(std::move(description));
        }
    }
}

CDeviceDescription const* CDeviceManager::FindDescription(CDeviceGPS const& driver) const
{
    if (UInt32 productID = driver.GetProductID(); productID != 0)
        for (auto const& description : mDescriptions)
            if (description->HasProductID(productID))
                return description.get();
    if (driver.GetKind() == CDeviceGPS::kKindNMEA)
        for (auto const& description : mDescriptions)
            if (description->GetIdentifier() == CString(kGenericNMEAIdentifier))
                return description.get();
    return nullptr;
}

bool CDeviceManager::IsSyncAvailable() const
{
    return std::any_of(mDevices.begin(), mDevices.end(),
        [](CDevice const* device) { return (device->GetFeatures() & kDeviceFeatureTransfers) != 0; });
}

bool CDeviceManager::IsLocationKnown() const
{
    return std::any_of(
        mDevices.begin(), mDevices.end(), [](CDevice const* device) { return device->IsLocationKnown(); });
}

void CDeviceManager::AddDevice(CDevice* device)
{
    if (!device || std::find(mDevices.begin(), mDevices.end(), device) != mDevices.end())
        return;
    mDevices.push_back(device);
    BroadcastMessage(kMsgDeviceAdded, device);
}

void CDeviceManager::RemoveDevice(CDevice* device)
{
    auto it = std::find(mDevices.begin(), mDevices.end(), device);
    if (it == mDevices.end())
        return;
    mDevices.erase(it);
    BroadcastMessage(kMsgDeviceRemoved, device);
}

void CDeviceManager::Notice(DeviceNotice const& notice, void* context)
{
    auto* self = static_cast<CDeviceManager*>(context);
    if (notice.action == DeviceNotice::kAdded)
        self->PortAdded(notice);
    else
        self->PortRemoved(notice.key);
}

void CDeviceManager::PortAdded(DeviceNotice const& notice)
{
    if (mDestroying
        || std::any_of(mDrivers.begin(), mDrivers.end(), [&](Driver const& entry) { return entry.key == notice.key; }))
        return;
    for (FactoryEntry const& entry : mFactories) {
        if (entry.kind != notice.kind || (entry.vendor && entry.vendor != notice.vendor)
            || (entry.product && entry.product != notice.product))
            continue;
        CDeviceGPS* driver = entry.factory(notice, entry.context);
        if (!driver)
            return;
        driver->SetGoneHandler(&CDeviceManager::DriverGone, this);
        mDrivers.push_back({ notice.key, driver });
        new CDevice(this, driver); // lives as long as its driver
        return;
    }
}

void CDeviceManager::PortRemoved(CString const& key)
{
    auto it = std::find_if(mDrivers.begin(), mDrivers.end(), [&](Driver const& entry) { return entry.key == key; });
    if (it == mDrivers.end())
        return;
    CDeviceGPS* driver = it->driver;
    mDrivers.erase(it);
    mGone.erase(std::remove(mGone.begin(), mGone.end(), driver), mGone.end());
    DeleteDriver(driver);
}

// "ddis" unlists the device, then "ebde" deletes it.
void CDeviceManager::DeleteDriver(CDeviceGPS* driver)
{
    driver->Disconnect();
    delete driver;
}

// A driver says so from inside its own work: it is deleted on the next turn of the loop.
void CDeviceManager::DriverGone(CDeviceGPS* driver, void* context)
{
    auto* self = static_cast<CDeviceManager*>(context);
    if (self->mDestroying || std::find(self->mGone.begin(), self->mGone.end(), driver) != self->mGone.end())
        return;
    self->mGone.push_back(driver);
    self->InstallTimer(0, 0);
}

void CDeviceManager::DoTimer()
{
    RemoveTimer();
    std::vector<CDeviceGPS*> gone = std::move(mGone);
    mGone.clear();
    for (CDeviceGPS* driver : gone) {
        auto it = std::find_if(
            mDrivers.begin(), mDrivers.end(), [&](Driver const& entry) { return entry.driver == driver; });
        if (it == mDrivers.end())
            continue;
        mDrivers.erase(it);
        DeleteDriver(driver);
    }
}

CDeviceGPS* CDeviceManager::MakeGarmin(DeviceNotice const& notice, void* context)
{
    auto* self = static_cast<CDeviceManager*>(context);
    std::unique_ptr<IGarminTransport> transport = self->mTransportMaker
        ? self->mTransportMaker(notice)
        : std::make_unique<CUSBTransportGarmin>(notice.bus, notice.address, notice.path);
    return transport ? new CDeviceGarmin(std::move(transport)) : nullptr;
}

CDeviceGPS* CDeviceManager::MakeNMEA(DeviceNotice const& notice, void*)
{
    return new CDeviceNMEA(notice.path, (UInt32(notice.vendor) << 16) | notice.product, notice.model);
}
