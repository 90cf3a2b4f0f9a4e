#include "framework/CDisplayManager.h"

#include <utility>

std::map<CDMModuleType, CDMModule*> CDisplayManager::mCDMModuleList;
CDMModuleType CDisplayManager::mCurrentModule = 0;

long CDisplayManager::GetTotalVRAM(CDisplayRef& display)
{
    AGLDevice const device = display.GetGDHandle();
    AGLRendererInfo const first = aglQueryRendererInfo(&device, 1);
    long largest = 0;
    for (AGLRendererInfo info = first; info; info = aglNextRendererInfo(info)) {
        GLint accelerated = 0;
        GLint megabytes = 0;
        // Megabytes: today's cards hold more bytes than a GLint counts.
        if (aglDescribeRenderer(info, AGL_ACCELERATED, &accelerated) && accelerated
            && aglDescribeRenderer(info, AGL_VIDEO_MEMORY_MEGABYTES, &megabytes) && (long(megabytes) << 20) > largest)
            largest = long(megabytes) << 20;
    }
    if (first)
        aglDestroyRendererInfo(first);
    return largest;
}

void CDisplayManager::GetDeviceinfo(CDisplayRef const& display, DeviceInfo& info)
{
    GetDeviceinfo(display, info, tw::toolbox::kDRMFolder);
}

// The kernel names no model: the driver's name stands for the controller's.
void CDisplayManager::GetDeviceinfo(CDisplayRef const&, DeviceInfo& info, std::string const& drmFolder)
{
    info = DeviceInfo { "unknown", "unknown" };
    tw::toolbox::DisplayController controller;
    if (!tw::toolbox::FindDisplayController(drmFolder, controller))
        return;
    if (!controller.driver.empty())
        info.name = CString(controller.driver.c_str(), kCFStringEncodingUTF8);
    info.vendorID = controller.vendorID;
    info.deviceID = controller.deviceID;
    info.revisionID = controller.revisionID;
    info.subsystemID = controller.subsystemID;
}

// Without a display module, the system's main screen, when there is a real one.
CDisplayRef CDisplayManager::GetScreenDevice()
{
    if (CDMModule* const module = GetCurrentModule())
        return module->GetScreenDevice();
    CDisplayRef screen;
    if (GDHandle const device = DMGetFirstScreenDevice(true))
        screen.InitialiseSelf(device, 0);
    return screen;
}

bool CDisplayManager::GLContextIsAGLFullscreen()
{
    CDMModule* const module = GetCurrentModule();
    return module && module->IsFullScreen();
}

CDMModule* CDisplayManager::GetModuleForType(CDMModuleType type)
{
    auto const found = mCDMModuleList.find(type);
    return found == mCDMModuleList.end() ? nullptr : found->second;
}
