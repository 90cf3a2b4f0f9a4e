#pragma once

// A region bundle ("twregion") of a map pack: its identifier, the regions it
// replaces or is replaced by, and its layers. Owned by its CMapPack; made on
// the main thread by LoadMaps and read-only afterwards.

#include "mapdata/CRegionLayer.h"

#include <memory>

class CMapRegion {
public:
    // kMapFormatErr without "TWRegionIdentifier" or "TWRegionLayers"; layers that cannot be
    // read are left out (and logged).
    OSStatus Initialise(CFile const& bundleFolder);

    CString const& GetIdentifier() const { return mIdentifier; }
    std::vector<CString> const& GetReplaces() const { return mReplaces; }
    std::vector<CString> const& GetReplacedBy() const { return mReplacedBy; }
    SGBounds GetBounds() const { return mBounds; } // of every layer
    std::size_t GetLayerCount() const { return mLayers.size(); }
    CRegionLayer* GetLayer(std::size_t index) const { return mLayers[index].get(); }

private:
    void AddLayers(CFArray const& files, CFile const& resources);

    CString mIdentifier;
    std::vector<CString> mReplaces;
    std::vector<CString> mReplacedBy;
    std::vector<std::unique_ptr<CRegionLayer>> mLayers;
    SGBounds mBounds;
};
