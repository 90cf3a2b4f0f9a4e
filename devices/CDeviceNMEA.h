#pragma once

// The driver of an NMEA 0183 receiver on a serial port. Connecting runs the
// speed scan on its worker; once a speed is found, the position timer reads
// the port every 0.75 s and broadcasts a "tpvt" for each fix. A receiver that
// stays quiet for kQuietTicks ticks is disconnected ("ddis"); a port that
// hangs up or vanishes is reported gone. NMEA receivers offer no transfers.
// Main thread.

#include "devices/CDeviceGPS.h"
#include "devices/CNMEAParser.h"
#include "devices/CSerialPort.h"
#include "foundation/CTimerTask.h"

#include <memory>

class CThreadNMEAScan;

class CDeviceNMEA : public CDeviceGPS, public CTimerTask {
public:
    static constexpr double kPositionInterval = 0.75; // [s]
    static constexpr UInt32 kQuietTicks = 8; // ticks without a valid sentence before giving up on it
    static constexpr double kDefaultScanWindow = 2.0; // [s] at each speed: a receiver talks every second
    static constexpr std::size_t kMaxReadPerTick = 64 * 1024; // [bytes]

    // `usbIDs`: the serial adapter's USB vendor (high half) and product, 0 when unknown.
    CDeviceNMEA(CString const& path, UInt32 usbIDs, CString const& model);
    ~CDeviceNMEA() override;

    OSStatus Connect() override;
    void Disconnect() override;
    bool IsScanning() const { return mScanning; }
    UInt32 GetSpeed() const { return mPort.GetSpeed(); } // [baud]; 0 while not connected
    void SetScanWindow(double seconds) { mScanWindow = seconds; }
    // How often the port is read once connected; a silent receiver is given up after kQuietTicks.
    void SetPositionInterval(double seconds) { mPositionInterval = seconds; }

    // From the scan, on the main thread: the port open at the speed found, or why not.
    void ScanFinished(OSStatus status, CSerialPort&& port);

protected:
    void DoTimer() override;

private:
    void Close(OSStatus status);

    std::unique_ptr<CThreadNMEAScan> mScan; // owns
    CSerialPort mPort;
    CNMEAParser mParser;
    bool mScanning = false;
    double mScanWindow = kDefaultScanWindow; // [s]
    double mPositionInterval = kPositionInterval; // [s]
    UInt32 mQuiet = 0; // ticks since the last valid sentence
    UInt32 mLastValidCount = 0;
};
