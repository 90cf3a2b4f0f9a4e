#pragma once

// Process Manager for the running process only: its serial number, name,
// type, signature and bundle. Bringing it to the front is the presenter's job;
// headless it does nothing.

#include "services/Files.h"

#include <functional>

struct ProcessSerialNumber {
    UInt32 highLongOfPSN;
    UInt32 lowLongOfPSN;
};

enum : UInt32 {
    kNoProcess = 0,
    kSystemProcess = 1,
    kCurrentProcess = 2,
};

inline constexpr OSStatus procNotFound = -600;

struct ProcessInfoRec {
    UInt32 processInfoLength; // sizeof(ProcessInfoRec)
    StringPtr processName; // caller's Str255 or null: the bundle name (else the executable's)
    ProcessSerialNumber processNumber;
    OSType processType; // 'APPL'
    OSType processSignature; // the bundle's CFBundleSignature, or kUnknownType
    UInt32 processMode;
    ProcessSerialNumber processLauncher;
    FSRef* processAppRef; // caller's FSRef or null: the bundle (else the executable)
};

OSErr GetCurrentProcess(ProcessSerialNumber* psn);
OSErr GetFrontProcess(ProcessSerialNumber* psn);
// procNotFound for any process but this one; paramErr when the length is not sizeof(ProcessInfoRec).
OSErr GetProcessInformation(ProcessSerialNumber const* psn, ProcessInfoRec* info);
OSErr SetFrontProcess(ProcessSerialNumber const* psn);

namespace tw::services {

// The presenter raises the application's windows through this; unset, nothing happens.
void SetFrontProcessHandler(std::function<void()> handler);

} // namespace tw::services
