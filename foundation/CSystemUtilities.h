#pragma once

// Facts about the system and the user, read from /proc, sysconf and the
// password database, and functions looked up by name in shared libraries.

#include "foundation/CString.h"

class CSystemUtilities {
public:
    // The interface level this layer offers, as a binary-coded-decimal version: 10.4.
    static constexpr UInt32 kSystemVersion = 0x1040;

    static UInt32 GetSystemVersion() { return kSystemVersion; }
    // The running kernel's name and release, such as "Linux 6.1.0".
    static void GetSystemVersion(CString& version);
    static UInt32 GetCPUSpeed(); // [MHz]; 0 when unknown
    static UInt64 GetPhysicalMemory(); // [bytes]
    static bool IsRunningOnX() { return true; }
    // The full name from the password database's comment field, else the login name.
    static CString GetUsersName();
    // The exported function of that name in the named shared library; null when either is missing.
    static void* GetFrameworkFunction(CString const& function, CString const& framework);
};
