#pragma once

// Device discovery on udev: at Start it reports the receivers' ports present
// (serial ports behind USB adapters and ACM modems, and Garmin USB units), then
// a thread of its own sleeps on udev's socket and hands each change to the
// main thread. Nothing runs while nothing is plugged in or pulled out. A
// Garmin unit held by the kernel's serial driver also shows as a serial port;
// that port is left out, as the Garmin driver takes the unit over USB.

#include "devices/CMainThreadPost.h"
#include "devices/IDeviceMonitor.h"
#include "devices/IUdevSource.h"

#include <deque>
#include <memory>
#include <mutex>
#include <thread>

class CUdevMonitor : public IDeviceMonitor {
public:
    // Null: udev itself (CUdevSource).
    explicit CUdevMonitor(std::unique_ptr<IUdevSource> source = nullptr);
    ~CUdevMonitor() override;

    OSStatus Start(Callback callback, void* context) override;
    void Stop() override;

    // Whether the record names a receiver's port, and the notice for it.
    static bool Translate(UdevRecord const& record, DeviceNotice& notice);

private:
    void Run();
    static void Deliver(void* context);
    void Report(UdevRecord const& record);

    std::unique_ptr<IUdevSource> mSource; // owns
    CMainThreadPost mPost;
    Callback mCallback = nullptr;
    void* mContext = nullptr; // borrowed
    std::thread mThread;
    int mWake = -1; // owns: an eventfd that ends the thread
    std::mutex mMutex; // guards mRecords
    std::deque<UdevRecord> mRecords; // for the main thread
    bool mStarted = false;
};
