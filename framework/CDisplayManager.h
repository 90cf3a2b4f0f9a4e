#pragma once

// Facts about displays: the largest video memory of a display's accelerated
// renderers, the display controller's names and ids, and what the current
// display module (none is registered) answers. Main thread.

#include "foundation/CString.h"
#include "framework/CDisplayRef.h"

#include <map>

struct DeviceInfo {
    CString name;
    CString model;
    UInt32 vendorID = 0;
    UInt32 deviceID = 0;
    UInt32 revisionID = 0;
    UInt32 subsystemID = 0;
};

using CDMModuleType = UInt32;

// What a display module offers: the screen it draws on and whether it runs full screen.
class CDMModule {
public:
    virtual ~CDMModule() = default;
    virtual CDisplayRef GetScreenDevice() = 0;
    virtual bool IsFullScreen() = 0;
};

class CDisplayManager {
public:
    static long GetTotalVRAM(CDisplayRef& display); // [bytes]; 0 when no renderer says
    // Name and model "unknown" and ids 0 when the display controller cannot be asked.
    static void GetDeviceinfo(CDisplayRef const& display, DeviceInfo& info);
    static CDisplayRef GetScreenDevice();
    static bool GLContextIsAGLFullscreen();
    static CDMModule* GetModuleForType(CDMModuleType type);
    static CDMModule* GetCurrentModule() { return GetModuleForType(mCurrentModule); }

private:
    static std::map<CDMModuleType, CDMModule*> mCDMModuleList; // none registered
    static CDMModuleType mCurrentModule;
};
