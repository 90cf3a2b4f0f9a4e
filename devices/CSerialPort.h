#pragma once

// One serial port opened raw (8 data bits, no parity, one stop bit, no flow
// control) at a chosen speed, read without blocking. A hang-up or a port that
// vanished reads as kDeviceGoneErr. Not shared between threads: the scan
// worker opens it and hands it whole to the driver.

#include "foundation/CString.h"

#include <cstddef>

class CSerialPort {
public:
    // Speeds tried when looking for a receiver, fastest first.
    static constexpr UInt32 kScanSpeeds[] = { 230400, 115200, 57600, 38400, 19200, 9600, 4800, 2400 }; // [baud]

    CSerialPort() = default;
    CSerialPort(CSerialPort const&) = delete;
    CSerialPort& operator=(CSerialPort const&) = delete;
    CSerialPort(CSerialPort&& other) noexcept;
    CSerialPort& operator=(CSerialPort&& other) noexcept;
    ~CSerialPort();

    // fnfErr when the port does not exist, kDeviceOpenErr when it cannot be opened (in use,
    // no permission, not a terminal).
    OSStatus Open(CString const& path);
    void Close();
    bool IsOpen() const { return mFD >= 0; }
    // paramErr for a speed the system does not offer. Drops what was read at the old speed.
    OSStatus SetSpeed(UInt32 baud);
    UInt32 GetSpeed() const { return mSpeed; }

    // What has arrived, without waiting: noErr with count 0 when nothing has.
    OSStatus Read(char* buffer, std::size_t size, std::size_t& count);
    // Waits until something can be read or the time is up (noErr either way), or the port failed.
    OSStatus WaitReadable(double seconds, bool& readable);

private:
    int mFD = -1; // owns
    UInt32 mSpeed = 0; // [baud]
};
