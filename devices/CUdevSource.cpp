#include "devices/CUdevSource.h"

#include <libudev.h>

namespace {

std::string Text(char const* text) { return text ? text : ""; }

} // namespace

CUdevSource::~CUdevSource() { Close(); }

bool CUdevSource::Open()
{
    Close();
    mUdev = udev_new();
    if (!mUdev)
        return false;
    // Without a udev daemon (a container, a chroot) there is no monitor: the devices present
    // are still listed.
    mMonitor = udev_monitor_new_from_netlink(mUdev, "udev");
    if (mMonitor
        && (udev_monitor_filter_add_match_subsystem_devtype(mMonitor, "tty", nullptr) < 0
            || udev_monitor_filter_add_match_subsystem_devtype(mMonitor, "usb", "usb_device") < 0
            || udev_monitor_enable_receiving(mMonitor) < 0)) {
        udev_monitor_unref(mMonitor);
        mMonitor = nullptr;
    }
    return true;
}

void CUdevSource::Close()
{
    if (mMonitor)
        udev_monitor_unref(mMonitor);
    if (mUdev)
        udev_unref(mUdev);
    mMonitor = nullptr;
    mUdev = nullptr;
}

void CUdevSource::Fill(udev_device* device, char const* action, UdevRecord& record)
{
    record.action = Text(action);
    record.subsystem = Text(udev_device_get_subsystem(device));
    record.devtype = Text(udev_device_get_devtype(device));
    record.devnode = Text(udev_device_get_devnode(device));
    record.syspath = Text(udev_device_get_syspath(device));
    record.model = Text(udev_device_get_property_value(device, "ID_MODEL"));
    udev_device* usb = record.devtype == "usb_device"
        ? device
        : udev_device_get_parent_with_subsystem_devtype(device, "usb", "usb_device");
    if (usb) {
        record.vendor = Text(udev_device_get_sysattr_value(usb, "idVendor"));
        record.product = Text(udev_device_get_sysattr_value(usb, "idProduct"));
        record.busnum = Text(udev_device_get_sysattr_value(usb, "busnum"));
        record.devnum = Text(udev_device_get_sysattr_value(usb, "devnum"));
    }
}

std::vector<UdevRecord> CUdevSource::Enumerate()
{
    std::vector<UdevRecord> records;
    if (!mUdev)
        return records;
    udev_enumerate* enumerate = udev_enumerate_new(mUdev);
    if (!enumerate)
        return records;
    udev_enumerate_add_match_subsystem(enumerate, "tty");
    udev_enumerate_add_match_subsystem(enumerate, "usb");
    udev_enumerate_scan_devices(enumerate);
    udev_list_entry* entry = nullptr;
    udev_list_entry_foreach(entry, udev_enumerate_get_list_entry(enumerate))
    {
        udev_device* device = udev_device_new_from_syspath(mUdev, udev_list_entry_get_name(entry));
        if (!device)
            continue;
        UdevRecord record;
        Fill(device, "add", record);
        records.push_back(std::move(record));
        udev_device_unref(device);
    }
    udev_enumerate_unref(enumerate);
    return records;
}

int CUdevSource::GetDescriptor() const { return mMonitor ? udev_monitor_get_fd(mMonitor) : -1; }

bool CUdevSource::Receive(UdevRecord& record)
{
    if (!mMonitor)
        return false;
    udev_device* device = udev_monitor_receive_device(mMonitor);
    if (!device)
        return false;
    record = UdevRecord();
    Fill(device, udev_device_get_action(device), record);
    udev_device_unref(device);
    return true;
}
