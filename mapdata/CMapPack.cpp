#include "mapdata/CMapPack.h"

#include "foundation/CDebugLog.h"
#include "foundation/StCFRef.h"
#include "mapdata/MapDataTypes.h"

#include <algorithm>
#include <filesystem>

OSStatus CMapPack::ReadBundle(CFile const& bundleFolder, CFDictionary& info, CFile& resources)
{
    StCFRef<CFURLRef> url(bundleFolder.CopyURL());
    if (url.Get() == nullptr)
        return fnfErr;
    StCFRef<CFBundleRef> bundle(CFBundleCreate(nullptr, url.Get()));
    if (bundle.Get() == nullptr)
        return fnfErr;
    info = CFDictionary(CFBundleGetInfoDictionary(bundle.Get()));
    StCFRef<CFURLRef> resourcesURL(CFBundleCopyResourcesDirectoryURL(bundle.Get()));
    resources = resourcesURL.Get() ? CFile(resourcesURL.Get()) : CFile();
    return noErr;
}

OSStatus CMapPack::Initialise(CFile const& bundleFolder)
{
    mFile = bundleFolder;
    CFDictionary info;
    CFile resources;
    if (ReadBundle(bundleFolder, info, resources) != noErr)
        return kMapFormatErr;
    if (info.GetValueString("TWMapFormat") != CString("1.0"))
        return kMapFormatErr;
    mVersion = info.GetValueString("TWMapVersion");
    mName = info.GetValueString("TWMapName");
    mCopyright = info.GetValueString("TWMapCopyright");
    mIdentifier = info.GetValueString("TWMapIdentifier");
    mInfoURL = info.GetValueString("TWMapInfoURL");
    mViewURL = info.GetValueString("TWMapViewURL");

    // Region bundles in the resources folder, in name order.
    std::vector<std::filesystem::path> folders;
    std::error_code error;
    for (auto const& item : std::filesystem::directory_iterator(resources.GetPath(), error))
        if (item.path().extension() == ".twregion")
            folders.push_back(item.path());
    std::sort(folders.begin(), folders.end());
    for (auto const& folder : folders) {
        auto region = std::make_unique<CMapRegion>();
        OSStatus status = region->Initialise(CFile(CString(folder.c_str())));
        if (status == noErr)
            mRegions.push_back(std::move(region));
        else
            CDebugLog::GetDebugLog()->Log(
                CDebugLog::kPriorityWarning, "MapData", "Region %s refused (%d)", folder.c_str(), int(status));
    }
    return noErr;
}
