#pragma once

// One layer file of a region: a shapefile set (.shp, .shx, .dbf) of one category.
// Made from its file dictionary when the pack loads, reading only the shapefile's
// header; the files are opened and the spatial index built on first use. Owned by
// its CMapRegion; any thread (render, route and search workers); its own lock
// guards opening, and the open files guard themselves.

#include "foundation/CFDictionary.h"
#include "mapdata/CDBaseFile.h"
#include "mapdata/CShapeFile.h"
#include "mapdata/CSpatialIndex.h"
#include "mapdata/LayerFeature.h"

#include <atomic>

class CRegionLayer {
public:
    CRegionLayer() = default;
    CRegionLayer(CRegionLayer const&) = delete;
    CRegionLayer& operator=(CRegionLayer const&) = delete;

    // From a "TWLayerFiles" entry; folder: the region's resources folder. kMapFormatErr for
    // a format we cannot read ("sen", "shs"), a missing key or a folder outside the region.
    OSStatus Initialise(CFDictionary const& fileInfo, CFile const& folder);

    CString const& GetIdentifier() const { return mIdentifier; }
    LayerCategory GetCategory() const { return mCategory; }
    SGShapeType GetShapeType() const { return mShapeType; }
    SGBounds GetBounds() const { return mBounds; } // every shape's, from the header

    // Opens the files and builds the spatial index once; the first status stays.
    OSStatus Open();
    // Ids of the shapes whose bounds meet the rectangle, ascending (the file's order).
    std::vector<UInt32> GetShapes(SGBounds const& bounds);
    // Attribute 0 is the name. Empty when the layer has no such attribute.
    CString GetAttributeString(UInt32 shape, UInt32 attribute, bool trim);
    LayerFeature GetFeature(UInt32 shape);
    CShapeFile const& GetShapeFile();
    CDBaseFile const& GetAttributes();

private:
    OSStatus OpenFiles();
    void BuildIndex();

    CString mIdentifier;
    LayerCategory mCategory = kLayerCategoryNone;
    CFStringEncoding mEncoding = kCFStringEncodingInvalidId; // from the .cpg or the table when invalid
    CFile mShpFile;
    CFile mShxFile;
    CFile mDbfFile;
    SGShapeType mShapeType = kSGShapeNull;
    SGBounds mBounds;

    CMutex mLock; // guards opening
    std::atomic<bool> mOpened = false;
    OSStatus mOpenStatus = noErr;
    CShapeFile mShapeFile;
    CDBaseFile mDBase;
    SInt32 mFeatureField = -1; // the "TWFEATURE" attribute, when there is one
    CSpatialIndex mIndex;
};
