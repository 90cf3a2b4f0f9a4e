#include "devices/CDeviceLog.h"

#include "foundation/CDebugLog.h"
#include "foundation/CPreferences.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <string>

namespace {
constexpr char kCategory[] = "Device";
}

CDeviceLog::CDeviceLog(CString const& name)
    : mName(name.GetUTF8())
{
}

void CDeviceLog::Refresh()
{
    CPreferences preferences;
    mEnabled = preferences.GetBoolean("DeviceLog", false);
}

void CDeviceLog::LogText(char const* direction, char const* text, std::size_t length) const
{
    if (!mEnabled)
        return;
    std::string line(text, std::min(length, kMaxLoggedBytes));
    for (char& c : line)
        if (c < 0x20 || c == 0x7F)
            c = '.';
    CDebugLog::GetDebugLog()->Log(
        CDebugLog::kPriorityDebug, kCategory, "%s %s %s", mName.c_str(), direction, line.c_str());
}

void CDeviceLog::LogBytes(char const* direction, UInt32 code, UInt8 const* bytes, std::size_t length) const
{
    if (!mEnabled)
        return;
    static char const kHex[] = "0123456789abcdef";
    std::string hex;
    std::size_t const shown = std::min(length, kMaxLoggedBytes);
    for (std::size_t i = 0; i < shown; ++i) {
        hex.push_back(kHex[bytes[i] >> 4]);
        hex.push_back(kHex[bytes[i] & 15]);
        hex.push_back(' ');
    }
    if (shown < length)
        hex += "...";
    CDebugLog::GetDebugLog()->Log(CDebugLog::kPriorityDebug, kCategory, "%s %s %u (%zu bytes) %s", mName.c_str(),
        direction, unsigned(code), length, hex.c_str());
}

void CDeviceLog::LogEvent(char const* format, ...) const
{
    if (!mEnabled)
        return;
    va_list arguments;
    va_start(arguments, format);
    char text[512];
    std::vsnprintf(text, sizeof text, format, arguments);
    va_end(arguments);
    CDebugLog::GetDebugLog()->Log(CDebugLog::kPriorityDebug, kCategory, "%s %s", mName.c_str(), text);
}
