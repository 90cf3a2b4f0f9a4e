#include "bindings/Source/Bindings/CBObjectBindingSupport.h"

#include "bindings/Source/Core/CBDebugObject.h"

#include <algorithm>
#include <cmath>

namespace tw::bindings {

bool ReportStatus(OSStatus status, char const* file, int line)
{
    if (status == noErr)
        return true;
    CBDebugObject::Report(file, line, "Error %ld", static_cast<long>(status));
    return false;
}

std::string TextOf(CFStringRef text) { return text ? tw::cf::ToUTF8(text) : std::string(); }

CBValue AdoptString(CFStringRef text)
{
    CBValue value;
    if (text)
        value.SetString(text, true);
    return value;
}

CBValue MakeBoolean(bool value)
{
    CBValue result;
    result.SetBoolean(value);
    return result;
}

CBValue MakeUnsigned(SInt32 value) { return CBValue(static_cast<UInt32>(value)); }

SInt16 ToCoordinate(double value)
{
    if (!std::isfinite(value))
        return 0;
    return static_cast<SInt16>(std::clamp(std::trunc(value), -32768.0, 32767.0));
}

} // namespace tw::bindings
