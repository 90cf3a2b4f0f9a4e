#pragma once

// Facts about displays: the largest video memory of a display's accelerated
// renderers, the display controller's names and ids, and the screen device: the
// current display module's (none is registered), else the system's main screen.
// Main thread.

#include "foundation/CString.h"
#include "framework/CDisplayRef.h"

#include <map>
#include <string>

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
    // Name and model "unknown" and ids 0 when the system lists no display controller.
    static void GetDeviceinfo(CDisplayRef const& display, DeviceInfo& info);
    // As above, from the kernel's list of graphics devices in that folder.
    static void GetDeviceinfo(CDisplayRef const& display, DeviceInfo& info, std::string const& drmFolder);
    static CDisplayRef GetScreenDevice();
    static bool GLContextIsAGLFullscreen();
    static CDMModule* GetModuleForType(CDMModuleType type);
    static CDMModule* GetCurrentModule() { return GetModuleForType(mCurrentModule); }

private:
    static std::map<CDMModuleType, CDMModule*> mCDMModuleList; // none registered
    static CDMModuleType mCurrentModule;
};
