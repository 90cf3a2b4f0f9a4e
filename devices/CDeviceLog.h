#pragma once

// Logs the traffic of one receiver to the debug log while the preference
// "DeviceLog" is on: NMEA sentences as text, Garmin packets as hex. The
// preference is read when the driver connects and when a transfer begins.

#include "foundation/CString.h"

#include <cstddef>
#include <string>

class CDeviceLog {
public:
    static constexpr std::size_t kMaxLoggedBytes = 256; // [bytes] of one packet; the rest is counted

    explicit CDeviceLog(CString const& name);

    void Refresh(); // reads "DeviceLog"
    bool IsEnabled() const { return mEnabled; }
    void SetEnabled(bool enabled) { mEnabled = enabled; }

    void LogText(char const* direction, char const* text, std::size_t length) const;
    void LogBytes(char const* direction, UInt32 code, UInt8 const* bytes, std::size_t length) const;
    void LogEvent(char const* format, ...) const __attribute__((format(printf, 2, 3)));

private:
    std::string mName;
    bool mEnabled = false;
};
