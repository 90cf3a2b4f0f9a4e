#pragma once

// A map pack bundle ("twmap"): its Info keys and its region bundles. Owned by the
// CMapManager; made on the main thread by LoadMaps and read-only afterwards.

#include "mapdata/CMapRegion.h"

class CMapPack {
public:
    // kMapFormatErr when the Info dictionary is missing or "TWMapFormat" is not "1.0";
    // regions that cannot be read are left out (and logged).
    OSStatus Initialise(CFile const& bundleFolder);

    CFile const& GetFile() const { return mFile; }
    CString const& GetVersion() const { return mVersion; }
    CString const& GetName() const { return mName; }
    CString const& GetCopyright() const { return mCopyright; }
    CString const& GetIdentifier() const { return mIdentifier; }
    CString const& GetInfoURL() const { return mInfoURL; }
    CString const& GetViewURL() const { return mViewURL; }
    std::size_t GetRegionCount() const { return mRegions.size(); }
    CMapRegion* GetRegion(std::size_t index) const { return mRegions[index].get(); }

    // The bundle's Info dictionary and resources folder; fnfErr when it is no bundle.
    static OSStatus ReadBundle(CFile const& bundleFolder, CFDictionary& info, CFile& resources);

private:
    CFile mFile;
    CString mVersion;
    CString mName;
    CString mCopyright;
    CString mIdentifier;
    CString mInfoURL;
    CString mViewURL;
    std::vector<std::unique_ptr<CMapRegion>> mRegions;
};
