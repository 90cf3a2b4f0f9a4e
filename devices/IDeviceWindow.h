#pragma once

// The status window of one device. The device layer cannot make windows: the
// application installs a factory (CDevice::SetWindowFactory) whose windows
// implement this face.

class IDeviceWindow {
public:
    virtual ~IDeviceWindow() = default;
    // The device is going away: the window closes and destroys itself. The device has already
    // forgotten it, so a WindowClosed from the window's closing is harmless.
    virtual void DeviceRemoved() = 0;
};
