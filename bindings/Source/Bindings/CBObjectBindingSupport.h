#pragma once

// Helpers shared by the bindings that mirror a toolbox object.

#include "bindings/Source/Core/CBValue.h"

#include <string>

namespace tw::bindings {

// Reports "Error N" for a failed status; answers whether it succeeded.
#define CB_REPORT_STATUS(status) tw::bindings::ReportStatus((status), __FILE__, __LINE__)
bool ReportStatus(OSStatus status, char const* file, int line);

// The text as UTF-8; empty for null.
std::string TextOf(CFStringRef text);
// A string value that takes over the caller's reference; invalid for null.
CBValue AdoptString(CFStringRef text);
CBValue MakeBoolean(bool value);
// A 32-bit value read unsigned, as the control and menu bindings store numbers.
CBValue MakeUnsigned(SInt32 value);
// A coordinate truncated toward zero and held within a QuickDraw coordinate's range.
SInt16 ToCoordinate(double value);

// Clears the write-through flag for its lifetime and puts back what it found.
class StWriteThroughOff {
public:
    explicit StWriteThroughOff(bool& flag)
        : mFlag(flag)
        , mSaved(flag)
    {
        mFlag = false;
    }
    ~StWriteThroughOff() { mFlag = mSaved; }
    StWriteThroughOff(StWriteThroughOff const&) = delete;
    StWriteThroughOff& operator=(StWriteThroughOff const&) = delete;

private:
    bool& mFlag;
    bool const mSaved;
};

} // namespace tw::bindings
