#pragma once

// The seam between the device manager and device discovery: a monitor reports
// the receivers' ports present when it starts, then each one plugged in or
// pulled out, always on the main thread. CUdevMonitor is the one on libudev;
// tests feed the manager through their own.

#include "foundation/CString.h"

struct DeviceNotice {
    enum Action : UInt32 {
        kAdded,
        kRemoved,
    };
    enum Kind : UInt32 {
        kKindSerial = 1, // a serial port (USB serial adapter, ACM modem), for NMEA receivers
        kKindUSB = 2, // a USB device, for Garmin units
    };

    Action action = kAdded;
    Kind kind = kKindSerial;
    CString key; // names the device from its arrival to its removal (the sysfs path)
    CString path; // device node
    UInt16 vendor = 0; // USB ids: of the device, or of the adapter behind a serial port
    UInt16 product = 0;
    UInt8 bus = 0; // USB bus number and device address
    UInt8 address = 0;
    CString model; // the model as the system names it; may be empty
};

class IDeviceMonitor {
public:
    using Callback = void (*)(DeviceNotice const& notice, void* context);

    virtual ~IDeviceMonitor() = default;
    // Reports every device present before returning, then watches; noErr even when watching
    // is not possible here (the devices present were still reported).
    virtual OSStatus Start(Callback callback, void* context) = 0;
    // No report reaches the callback afterwards.
    virtual void Stop() = 0;
};
