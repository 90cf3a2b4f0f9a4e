#pragma once

// What CUdevMonitor needs of udev, so that tests can stand in for it: the
// devices present, and a descriptor that turns readable when a change waits.
// Records carry plain text, as udev gives it. Enumerate runs on the main
// thread; Receive on the monitor's thread only.

#include <string>
#include <vector>

struct UdevRecord {
    std::string action; // "add", "remove", "change", ...
    std::string subsystem; // "tty", "usb"
    std::string devtype; // "usb_device" for a whole USB device
    std::string devnode; // "/dev/ttyUSB0", "/dev/bus/usb/001/004"
    std::string syspath;
    std::string vendor, product; // hexadecimal USB ids: of the device, or of its USB parent
    std::string busnum, devnum; // decimal
    std::string model;
};

class IUdevSource {
public:
    virtual ~IUdevSource() = default;

    // Starts listening for changes before the present devices are listed, so none is missed.
    virtual bool Open() = 0;
    virtual std::vector<UdevRecord> Enumerate() = 0;
    // Readable when Receive has a change; -1 when changes cannot be watched.
    virtual int GetDescriptor() const = 0;
    // The next change; false when none could be read.
    virtual bool Receive(UdevRecord& record) = 0;
    virtual void Close() = 0;
};
