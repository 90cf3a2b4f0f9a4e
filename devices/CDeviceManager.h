#pragma once

// The registry of GPS receivers, built first among the application object's
// members and destroyed last. Its constructor loads the device descriptions
// ("twdevice" bundles in the "Tarnwick/Devices" folder of every Application
// Support domain, then the program's own), registers the driver factories
// (Garmin units over USB, NMEA receivers on serial ports) and starts device
// discovery, so receivers already plugged in are found at once. It owns every
// driver; each driver's CDevice is listed once it connected ("dvad") and
// unlisted when it disconnects or goes ("dvrm"). Main thread.

#include "devices/CDeviceDescription.h"
#include "devices/IDeviceMonitor.h"
#include "devices/IGarminTransport.h"
#include "foundation/CMsgBroadcaster.h"
#include "foundation/CTimerTask.h"

#include <memory>
#include <vector>

class CDevice;
class CDeviceGPS;

class CDeviceManager : public CMsgBroadcaster, public CTimerTask {
public:
    // Makes the driver for a port that was found; null leaves the port alone.
    using Factory = CDeviceGPS* (*)(DeviceNotice const& notice, void* context);
    using TransportMaker = std::unique_ptr<IGarminTransport> (*)(DeviceNotice const& notice);

    static constexpr char kGenericNMEAIdentifier[] = "com.tarnwick.device.nmea";
    // Serial ports to try besides those discovered (a pseudo-terminal fed by a replayed log):
    // device paths separated by colons.
    static constexpr char kSerialPortsVariable[] = "TW_SERIAL_PORTS";

    struct Setup {
        std::vector<CFile> descriptionFolders; // searched in order
        std::unique_ptr<IDeviceMonitor> monitor; // null: no discovery
        TransportMaker garminTransport = nullptr; // null: the USB transport
        std::vector<CString> serialPorts; // tried as if discovered
    };

    // Discovery with udev, the descriptions of every domain and the bundle, and the ports of
    // kSerialPortsVariable.
    CDeviceManager();
    explicit CDeviceManager(Setup setup);
    ~CDeviceManager() override;

    std::vector<CDevice*> const& GetDevices() const { return mDevices; }
    // Some listed device offers a transfer.
    bool IsSyncAvailable() const;
    // Some listed device knows where it is.
    bool IsLocationKnown() const;

    // Called by the devices themselves: list ("dvad") and unlist ("dvrm").
    void AddDevice(CDevice* device);
    void RemoveDevice(CDevice* device);

    // The description for the driver's product number, else the one for its kind; null when none.
    CDeviceDescription const* FindDescription(CDeviceGPS const& driver) const;
    std::vector<std::unique_ptr<CDeviceDescription>> const& GetDescriptions() const { return mDescriptions; }

    // Drivers for the ports found, listed or not.
    std::size_t GetDriverCount() const { return mDrivers.size(); }

    static std::vector<CFile> GetDescriptionFolders();

protected:
    void DoTimer() override;

private:
    struct Driver {
        CString key;
        CDeviceGPS* driver; // owns
    };
    struct FactoryEntry {
        DeviceNotice::Kind kind;
        UInt16 vendor, product; // 0: any
        Factory factory;
        void* context; // borrowed
    };

    void Start(Setup& setup);
    void LoadDescriptions(std::vector<CFile> const& folders);
    static void Notice(DeviceNotice const& notice, void* context);
    void PortAdded(DeviceNotice const& notice);
    void PortRemoved(CString const& key);
    void DeleteDriver(CDeviceGPS* driver);
    static void DriverGone(CDeviceGPS* driver, void* context);
    static CDeviceGPS* MakeGarmin(DeviceNotice const& notice, void* context);
    static CDeviceGPS* MakeNMEA(DeviceNotice const& notice, void* context);

    std::vector<std::unique_ptr<CDeviceDescription>> mDescriptions;
    std::vector<FactoryEntry> mFactories;
    TransportMaker mTransportMaker = nullptr;
    std::unique_ptr<IDeviceMonitor> mMonitor;
    std::vector<Driver> mDrivers;
    std::vector<CDeviceGPS*> mGone; // drivers to delete on the next turn of the loop
    std::vector<CDevice*> mDevices; // listed, in the order they connected
    bool mDestroying = false;
};
