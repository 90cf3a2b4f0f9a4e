#include "framework/CDisplayManager.h"

std::map<CDMModuleType, CDMModule*> CDisplayManager::mCDMModuleList;
CDMModuleType CDisplayManager::mCurrentModule = 0;

long CDisplayManager::GetTotalVRAM(CDisplayRef& display)
{
    AGLDevice const device = display.GetGDHandle();
    AGLRendererInfo const first = aglQueryRendererInfo(&device, 1);
    long largest = 0;
    for (AGLRendererInfo info = first; info; info = aglNextRendererInfo(info)) {
        GLint accelerated = 0;
        GLint memory = 0;
        if (aglDescribeRenderer(info, AGL_ACCELERATED, &accelerated) && accelerated
            && aglDescribeRenderer(info, AGL_VIDEO_MEMORY, &memory) && memory > largest)
            largest = memory;
    }
    if (first)
        aglDestroyRendererInfo(first);
    return largest;
}

// The display controller would be asked through the system's device registry, which
// this platform does not offer: the neutral answer stands.
void CDisplayManager::GetDeviceinfo(CDisplayRef const&, DeviceInfo& info)
{
    info = DeviceInfo { "unknown", "unknown" };
}

CDisplayRef CDisplayManager::GetScreenDevice()
{
    CDMModule* const module = GetCurrentModule();
    return module ? module->GetScreenDevice() : CDisplayRef();
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
