#pragma once

// The connection scan of an NMEA receiver, on a worker of its own: it opens the
// port and tries each speed from the fastest down until a sentence with a good
// checksum arrives, then hands the open port to its driver on the main thread.
// Owned by the driver (CDeviceNMEA), which deletes it before itself.

#include "devices/CSerialPort.h"
#include "foundation/CThreadTask.h"

#include <string>

class CDeviceNMEA;

class CThreadNMEAScan : public CThreadTask {
public:
    explicit CThreadNMEAScan(CDeviceNMEA* driver);
    ~CThreadNMEAScan() override;

    // Main thread, while no scan runs: scans the port, listening `window` seconds at each speed.
    OSStatus Start(CString const& path, double window);

protected:
    void DoTask() override;
    void DoMainTask() override;

private:
    OSStatus Scan(CSerialPort& port);
    OSStatus Listen(CSerialPort& port, bool& heard);

    CDeviceNMEA* mDriver; // borrowed: the driver owns this scan
    // Set on the main thread before a run and read by the worker; the results go the other way
    // and are read on the main thread in DoMainTask.
    std::string mPath;
    double mWindow = 2.0; // [s]
    OSStatus mStatus = noErr;
    CSerialPort mPort;
};
