#include "mapdata/CMapRegion.h"

#include "foundation/CFArray.h"
#include "mapdata/CMapPack.h"
#include "mapdata/MapDataTypes.h"

#include <algorithm>

namespace {
// A key holding one identifier or an array of them.
std::vector<CString> GetIdentifiers(CFDictionary const& info, char const* key)
{
    std::vector<CString> identifiers;
    if (CString one = info.GetValueString(key); one.IsNotEmpty())
        identifiers.push_back(one);
    CFArray many = info.GetValueArray(key);
    for (UInt32 i = 0; i < many.GetCount(); ++i)
        if (CString identifier = many.GetValueString(i); identifier.IsNotEmpty())
            identifiers.push_back(identifier);
    return identifiers;
}
} // namespace

OSStatus CMapRegion::Initialise(CFile const& bundleFolder)
{
    CFDictionary info;
    CFile resources;
    if (CMapPack::ReadBundle(bundleFolder, info, resources) != noErr)
        return kMapFormatErr;
    mIdentifier = info.GetValueString("TWRegionIdentifier");
    if (mIdentifier.IsEmpty() || !info.HasKey("TWRegionLayers"))
        return kMapFormatErr;
    mReplaces = GetIdentifiers(info, "TWRegionReplaces");
    mReplacedBy = GetIdentifiers(info, "TWRegionReplacedBy");
    CFArray layers = info.GetValueArray("TWRegionLayers");
    for (UInt32 i = 0; i < layers.GetCount(); ++i)
        AddLayers(layers.GetValueDictionary(i).GetValueArray("TWLayerFiles"), resources);
    return noErr;
}

void CMapRegion::AddLayers(CFArray const& files, CFile const& resources)
{
    for (UInt32 i = 0; i < files.GetCount(); ++i) {
        auto layer = std::make_unique<CRegionLayer>();
        if (layer->Initialise(files.GetValueDictionary(i), resources) != noErr)
            continue; // logged by the layer
        SGBounds bounds = layer->GetBounds();
        if (mLayers.empty()) {
            mBounds = bounds;
        } else {
            mBounds.xmin = std::min(mBounds.xmin, bounds.xmin);
            mBounds.ymin = std::min(mBounds.ymin, bounds.ymin);
            mBounds.xmax = std::max(mBounds.xmax, bounds.xmax);
            mBounds.ymax = std::max(mBounds.ymax, bounds.ymax);
        }
        mLayers.push_back(std::move(layer));
    }
}
