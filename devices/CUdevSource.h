#pragma once

// udev itself behind IUdevSource: a monitor on the "udev" netlink group
// filtered to serial ports and whole USB devices, and an enumeration of both.

#include "devices/IUdevSource.h"

struct udev;
struct udev_device;
struct udev_monitor;

class CUdevSource : public IUdevSource {
public:
    CUdevSource() = default;
    CUdevSource(CUdevSource const&) = delete;
    CUdevSource& operator=(CUdevSource const&) = delete;
    ~CUdevSource() override;

    bool Open() override;
    std::vector<UdevRecord> Enumerate() override;
    int GetDescriptor() const override;
    bool Receive(UdevRecord& record) override;
    void Close() override;

private:
    static void Fill(udev_device* device, char const* action, UdevRecord& record);

    udev* mUdev = nullptr; // owns
    udev_monitor* mMonitor = nullptr; // owns
};
